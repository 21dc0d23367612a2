// read, save, scan-ap and wps: camera operations against HOST[:PORT].
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CommandLine.h"
#include "PasswordInput.h"
#include "core/camera/AccessPointScan.h"
#include "core/settings/CameraKeys.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/NetworkCameraService.h"
#include "core/output/CameraRecordWriter.h"
#include "core/base/OutputText.h"
#include "core/settings/FixedField.h"
#include "core/settings/SettingsText.h"

namespace orvanta::cli {

namespace {

using output::OutputTable;
using output::OutputValue;

// The record fields each save sends. The normal save's list starts with the
// WPS save's, so a file lacking several names the same first one to both.
const std::vector<std::string> kWpsSaveFields =
    FieldsSentBy({ParameterGroup::Sysinfo, ParameterGroup::Ddns, ParameterGroup::NetworkShort});
const std::vector<std::string> kNormalSaveFields =
    FieldsSentBy({ParameterGroup::Sysinfo, ParameterGroup::Ddns, ParameterGroup::NetworkShort, ParameterGroup::Time,
                  ParameterGroup::Network});

const std::vector<OptionSpec> kCredentialOptions = {
    {"--user", true}, {"--password", true}, {"--password-file", true}};

const char* kCredentialHint =
    "give --user with --password, --password-file FILE, --password - (standard input) or ORVANTA_PASSWORD";

struct Credentials {
    bool haveUser = false;
    bool havePassword = false;
    std::string user;
    std::string password;
    CameraLogin Login() const {
        CameraLogin login;
        if (haveUser) login.user = user;
        if (havePassword) login.password = password;
        return login;
    }
};

std::vector<OptionSpec> With(std::vector<OptionSpec> specs, const std::vector<OptionSpec>& more) {
    specs.insert(specs.end(), more.begin(), more.end());
    return specs;
}

bool ReadCredentials(const char* command, const ParsedArgs& args, Credentials& c, std::string& why) {
    if (!ReadPassword(command, args, c.password, c.havePassword, why)) return false;
    c.haveUser = args.values.count("--user") > 0;
    c.user = args.Get("--user");
    if (c.user.size() > 63 || c.password.size() > 63) {
        why = "user name and password hold at most 63 bytes";
        return false;
    }
    return true;
}

void SetEndpoint(const std::string& host, const std::string& port, CameraSettings& s) {
    SetField(s.CamIP, host);
    SetField(s.CamPort, port);
}

struct Failure {
    int code = kExitDone;
    std::string message;
};

// The camera's login, in the words of the command line: `failedAs` starts
// the line of a login request that failed for another reason than the
// credentials.
Failure LogIn(CameraService& camera, CameraSettings& s, const Credentials& c, const Deadline& within,
              const char* failedAs) {
    const CameraResult r = camera.LogIn(s, c.Login(), within);
    switch (r.outcome) {
        case CameraOutcome::Done: return {};
        case CameraOutcome::LoginRequired:
            return {kExitRefused, std::string("the camera asks for a user name and password: ") + kCredentialHint};
        case CameraOutcome::Refused: return {kExitRefused, "the camera refused the user name and password"};
        default: return {ExitForResult(r.last), failedAs + ResultText(r.last)};
    }
}

// Why a write was not taken, as the command line has always said it.
std::string WriteFailureText(const CameraResult& r) {
    if (r.last.status == HttpStatus::Failure && (r.replyCode < 200 || r.replyCode > 299))
        return r.replyCode == 0 ? "the camera's answer is not an HTTP reply"
                                : "the camera answered with status " + std::to_string(r.replyCode);
    return ResultText(r.last);
}

struct ReadOutcome {
    CameraSettings settings;
    Failure failure;
};

ReadOutcome ReadCamera(CameraService& camera, const std::string& host, const std::string& port,
                       const Credentials& c, const Deadline& within) {
    ReadOutcome out;
    CameraSettings& s = out.settings;
    SetEndpoint(host, port, s);
    out.failure = LogIn(camera, s, c, within, "login failed: ");
    if (out.failure.code != kExitDone) return out;
    std::vector<AccessPointEntry> aps;
    const CameraResult read = camera.Read(s, aps, within);
    if (!read.ok()) {
        out.failure = read.last.Failed()
                          ? Failure{ExitForResult(read.last), "read failed: " + ResultText(read.last)}
                          : Failure{kExitFailed, "read failed: the camera's reply held no access-point scan"};
    }
    return out;
}

// Field=value lines, one block a camera. The login credentials stay out
// unless asked for; on a terminal, control characters are replaced.
std::string IniText(const CameraSettings& read, bool showSecrets) {
    CameraSettings s = read;
    if (!showSecrets) {
        SetField(s.User, "");
        SetField(s.Password, "");
    }
    std::string text = WriteSettingsText(s);
    if (!StdoutIsTerminal()) return text;
    std::string safe;
    std::size_t start = 0;
    for (std::size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
        safe += output::TerminalSafe(std::string_view(text).substr(start, nl - start)) + "\n";
        start = nl + 1;
    }
    return safe;
}

}  // namespace

int RunRead(const Args& args) {
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, With(kCredentialOptions, {{"--format", true}, {"--show-secrets", false}}), p, why) ||
        !ParseFormatOption(p, {"ini", "text", "csv", "json"}, "ini", format, why))
        return UsageError("read", why);
    // The watchdog first: reading a file or standard input below may block.
    TransportSettings limits;
    if (!ApplyCommonOptions("read", p, kDefaultTimeoutSeconds, why, &limits)) return UsageError("read", why);
    if (p.positional.empty()) return UsageError("read", "expected HOST[:PORT]");
    std::vector<std::pair<std::string, std::string>> targets;
    for (const std::string& t : p.positional) {
        std::string host, port;
        if (!ParseHostPort(t, host, port, why)) return UsageError("read", why);
        targets.emplace_back(host, port);
    }
    Credentials c;
    if (!ReadCredentials("read", p, c, why)) return UsageError("read", why);
    const bool json = format == "json";
    const bool secrets = p.Has("--show-secrets");

    NetworkCameraService camera(limits);
    // --timeout bounds the whole command, every camera of it.
    const Deadline within = Deadline::After(limits.overallLimitMs);
    std::vector<CameraSettings> cameras;
    std::vector<Failure> failures;
    for (const auto& [host, port] : targets) {
        ReadOutcome o = ReadCamera(camera, host, port, c, within);
        if (o.failure.code == kExitDone) {
            cameras.push_back(o.settings);
        } else {
            if (targets.size() > 1) o.failure.message = host + ":" + port + ": " + o.failure.message;
            failures.push_back(o.failure);
        }
    }
    // The exit code is the first failure's; each failure is one line.
    for (std::size_t i = 0; i < failures.size(); ++i) {
        if (cameras.empty() && i + 1 == failures.size())
            return Fail("read", failures.front().code, failures.back().message, json);
        std::fprintf(stderr, "orvanta-cli read: %s\n", failures[i].message.c_str());
    }
    std::string out;
    if (format == "ini" || format == "text") {
        for (const CameraSettings& s : cameras) {
            if (cameras.size() > 1 || targets.size() > 1)
                out += "[" + std::string(FieldText(s.CamIP)) + ":" + std::string(FieldText(s.CamPort)) + "]\n";
            out += IniText(s, secrets);
        }
    } else {
        OutputTable table;
        table.columns = output::CameraRecordColumns(secrets);
        for (const CameraSettings& s : cameras) table.rows.push_back(output::CameraRecordRow(s, secrets));
        out = WriteOutputTable(format, table);
    }
    PrintResult(out);
    return failures.empty() ? kExitDone : failures.front().code;
}

int RunSave(const Args& args) {
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, With(kCredentialOptions, {{"--settings", true}, {"--wps", false}, {"--format", true}}), p,
                      why) ||
        !ParseFormatOption(p, {"text", "json"}, "text", format, why))
        return UsageError("save", why);
    // The watchdog first: reading a file or standard input below may block.
    TransportSettings limits;
    if (!ApplyCommonOptions("save", p, kDefaultTimeoutSeconds, why, &limits)) return UsageError("save", why);
    if (p.positional.size() != 1) return UsageError("save", "expected one HOST[:PORT]");
    std::string host, port;
    if (!ParseHostPort(p.positional.front(), host, port, why)) return UsageError("save", why);
    const std::string file = p.Get("--settings");
    if (file.empty()) return UsageError("save", "--settings FILE is required");
    std::string content;
    if (!ReadWholeFile(file, content, why)) return UsageError("save", why);
    CameraSettings s;
    std::vector<std::string> named;
    if (!ReadSettingsText(content, s, why, &named)) return UsageError("save", file + ": " + why);
    // A field the file leaves out would go to the camera as empty or 0 and
    // wipe what it holds: every field the save sends must be named.
    const bool wps = p.Has("--wps");
    for (const std::string& field : wps ? kWpsSaveFields : kNormalSaveFields) {
        if (std::find(named.begin(), named.end(), field) == named.end())
            return UsageError("save", file + " lacks " + field + " (start from what 'read --format ini' prints)");
    }
    Credentials c;
    if (!ReadCredentials("save", p, c, why)) return UsageError("save", why);
    const bool json = format == "json";

    SetEndpoint(host, port, s);
    // The file may come from another session: this run decides whether to go on.
    s.KeepConnecting = 1;
    NetworkCameraService camera(limits);
    const Deadline within = Deadline::After(limits.overallLimitMs);
    // The login reads the system page: on a copy, so the file's own values go out.
    CameraSettings login = s;
    if (const Failure f = LogIn(camera, login, c, within, "failed: "); f.code != kExitDone)
        return Fail("save", f.code, f.message + "; nothing was written", json);
    SetField(s.User, FieldText(login.User));
    SetField(s.Password, FieldText(login.Password));

    const CameraResult r = camera.Save(s, wps ? SaveForm::AfterWps : SaveForm::Normal, within);
    std::string text;
    std::string doneList;
    for (const char* step : r.done) {
        text += std::string(step) + ": done\n";
        doneList += (doneList.empty() ? "" : ", ") + std::string(step);
    }
    if (r.last.Failed()) {
        const bool write = std::string_view(r.step).starts_with("write");
        const bool last = std::string_view(r.step).starts_with("write network");
        std::string message = std::string(r.step) + " failed: " + (write ? WriteFailureText(r) : ResultText(r.last));
        message += doneList.empty() ? "; nothing was written" : "; done before it: " + doneList;
        // The camera may move to its new address before it answers the
        // network form: a missing answer there is reported, not assumed.
        if (last && write && (r.last.status == HttpStatus::NoReply || r.last.status == HttpStatus::SendFailed))
            message = std::string(r.step) +
                      ": sent, but the camera did not confirm it (it may be restarting at its new address)";
        if (!text.empty() && !json) PrintResult(text);
        return Fail("save", ExitForResult(r.last), message, json);
    }
    if (json) {
        std::string out = "{\"saved\": true, \"steps\": [";
        for (std::size_t i = 0; i < r.done.size(); ++i) out += (i ? ", " : "") + output::JsonString(r.done[i]);
        PrintResult(out + "]}\n");
    } else {
        PrintResult(text);
    }
    return kExitDone;
}

int RunScanAp(const Args& args) {
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, With(kCredentialOptions, {{"--format", true}}), p, why) ||
        !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("scan-ap", why);
    // The watchdog first: reading a file or standard input below may block.
    TransportSettings limits;
    if (!ApplyCommonOptions("scan-ap", p, kDefaultTimeoutSeconds, why, &limits)) return UsageError("scan-ap", why);
    if (p.positional.size() != 1) return UsageError("scan-ap", "expected one HOST[:PORT]");
    std::string host, port;
    if (!ParseHostPort(p.positional.front(), host, port, why)) return UsageError("scan-ap", why);
    Credentials c;
    if (!ReadCredentials("scan-ap", p, c, why)) return UsageError("scan-ap", why);
    const bool json = format == "json";

    CameraSettings s;
    SetEndpoint(host, port, s);
    NetworkCameraService camera(limits);
    const Deadline within = Deadline::After(limits.overallLimitMs);
    if (const Failure f = LogIn(camera, s, c, within, "failed: "); f.code != kExitDone)
        return Fail("scan-ap", f.code, f.message, json);
    std::vector<AccessPointEntry> list;
    const CameraResult r = camera.ScanAccessPoints(s, list, within);
    if (!r.ok())
        return r.last.Failed() ? Fail("scan-ap", ExitForResult(r.last), "failed: " + ResultText(r.last), json)
                               : Fail("scan-ap", kExitFailed, "the camera's reply held no access-point scan", json);
    OutputTable table;
    table.columns = {"ssid", "mac", "channel", "quality", "mode", "security", "algorithm"};
    for (const AccessPointEntry& e : list) {
        table.rows.push_back({OutputValue::Text(FieldText(e.SSID)), OutputValue::Text(FieldText(e.Mac_address)),
                              OutputValue::Number(e.Channel), OutputValue::Number(e.Quality),
                              OutputValue::Text(FieldText(e.Mode)), OutputValue::Text(FieldText(e.Security)),
                              OutputValue::Text(FieldText(e.Algorithm))});
    }
    PrintResult(WriteOutputTable(format, table));
    return kExitDone;
}

int RunWps(const Args& args) {
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, With(kCredentialOptions, {{"--format", true}}), p, why) ||
        !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("wps", why);
    // The watchdog first: reading a file or standard input below may block.
    TransportSettings limits;
    if (!ApplyCommonOptions("wps", p, kDefaultTimeoutSeconds, why, &limits)) return UsageError("wps", why);
    if (p.positional.size() != 2) return UsageError("wps", "expected start or status, then HOST[:PORT]");
    const std::string& action = p.positional.front();
    if (action != "start" && action != "status") return UsageError("wps", "expected start or status");
    std::string host, port;
    if (!ParseHostPort(p.positional.back(), host, port, why)) return UsageError("wps", why);
    Credentials c;
    if (!ReadCredentials("wps", p, c, why)) return UsageError("wps", why);
    const bool json = format == "json";
    const bool start = action == "start";

    CameraSettings s;
    SetEndpoint(host, port, s);
    NetworkCameraService camera(limits);
    const Deadline within = Deadline::After(limits.overallLimitMs);
    // The WPS page answers without asking for credentials on some cameras; a
    // status read that the camera would refuse elsewhere is no status.
    if (const Failure f = LogIn(camera, s, c, within, "failed: "); f.code != kExitDone)
        return Fail("wps", f.code, f.message, json);
    // A reply without the status keys leaves these untouched, and then there
    // is nothing true to print.
    constexpr uint8_t kUnset = 0xFF;
    s.WPSState = s.WPSAck = kUnset;
    const HttpResult r = camera.Wps(s, start ? WpsAction::Start : WpsAction::Status, within);
    if (r.Failed()) return Fail("wps", ExitForResult(r), action + " failed: " + ResultText(r), json);
    OutputTable table;
    if (start) {
        table.columns = {"sent"};
        table.rows.push_back({OutputValue::Number(r.length)});
        if (format == "text") {
            PrintResult("sent=" + std::to_string(r.length) + "\n");
            return kExitDone;
        }
    } else {
        if (s.WPSState == kUnset || s.WPSAck == kUnset)
            return Fail("wps", kExitFailed, "the camera's reply holds no WPS status", json);
        if (format == "text") {
            PrintResult("WPS=" + std::to_string(s.WPSState) + "\nWPS_ACK=" + std::to_string(s.WPSAck) + "\n");
            return kExitDone;
        }
        table.columns = {"wps", "wps_ack"};
        table.rows.push_back({OutputValue::Number(s.WPSState), OutputValue::Number(s.WPSAck)});
    }
    if (json) PrintResult(output::WriteJsonObject(table.columns, table.rows.front()));
    else PrintResult(WriteOutputTable(format, table));
    return kExitDone;
}

}  // namespace orvanta::cli
