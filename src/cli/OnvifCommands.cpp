// onvif read and onvif set: other makers' cameras over ONVIF, addressed by
// address, address:port, device service URL or endpoint reference.
#include <strings.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <functional>
#include <thread>
#include <cstdio>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CommandLine.h"
#include "PasswordInput.h"
#include "OnvifReach.h"
#include "core/hostnet/ExitSignals.h"
#include "core/onvif/device/ChangeCheck.h"
#include "core/onvif/soap/ClockSkew.h"
#include "core/onvif/search/ClaimCheck.h"
#include "core/onvif/search/OnvifDeviceList.h"
#include "core/onvif/device/NetworkOnvifService.h"
#include "core/onvif/search/OnvifDiscovery.h"
#include "core/onvif/device/PosixTimeZone.h"
#include "core/onvif/soap/ServiceAddress.h"
#include "core/onvif/search/UnicastProbe.h"
#include "core/base/OutputText.h"
#include "core/base/AddressText.h"
#include "core/output/RecordWriter.h"

namespace orvanta::cli {

namespace {

using namespace orvanta::onvif;
using output::JsonString;

// Moving a camera may take a restart: longer than a read.
constexpr int kSetTimeoutSeconds = 300;
// How long a search for an endpoint reference given as the target lasts.
constexpr std::chrono::milliseconds kFindTargetLimit{10000};
// How long an address given without a port is asked where its device
// service is before port 80 is assumed (cameras answer a probe within a
// few hundred milliseconds; a closed discovery port says so at once).
constexpr std::chrono::milliseconds kPortProbeLimit{1000};

const std::vector<OptionSpec> kLoginOptions = {
    {"--user", true}, {"--password", true}, {"--password-file", true}, {"--format", true}};

int ExitFor(OnvifStatus s) {
    switch (s) {
        case OnvifStatus::Ok: return kExitDone;
        case OnvifStatus::Unreachable:
        case OnvifStatus::TimedOut:
        case OnvifStatus::NotFound: return kExitNoAnswer;
        case OnvifStatus::NotAuthorized:
        case OnvifStatus::NoOnvifUser: return kExitRefused;
        case OnvifStatus::Refused: return kExitUsage;
        default: return kExitFailed;
    }
}

// The failure in words an installer can act on, the camera's own after it.
std::string Explain(const OnvifResult& r, const OnvifCredentials& login) {
    switch (r.status) {
        case OnvifStatus::NotAuthorized:
            return (login.user.empty() ? std::string("the camera asks for a user name and password (--user and a password)")
                                       : "the camera refused user '" + login.user +
                                             "': wrong password, or no ONVIF user of that name (many cameras keep "
                                             "ONVIF users apart from web users)") +
                   " [" + r.detail + "]";
        case OnvifStatus::NoOnvifUser:
            return "the camera has no ONVIF user '" + login.user + "': add one in its web page [" + r.detail + "]";
        case OnvifStatus::OnvifDisabled:
            return "the camera answers, but not as an ONVIF device: ONVIF may be switched off in its web page [" +
                   r.detail + "]";
        default: return r.detail;
    }
}

struct Target {
    std::string text;
    bool byEndpoint = false;  // given as urn:uuid: and found by a search
    OnvifDevice device;
};

// An endpoint reference is searched for first; its card is where a
// temporary address goes if one is needed.
OnvifResult ResolveTarget(Target& t, OnvifReach& reach) {
    if (!t.byEndpoint) {
        if (!reach.Ensure(t.device.service.host, 0, t.device.service.port))
            return {OnvifStatus::Unreachable, "the PC cannot be given an address beside " + t.device.service.host};
        return {};
    }
    const auto found = FindOnvifEndpoint(t.device.endpoint, kFindTargetLimit);
    if (!found) return {OnvifStatus::NotFound, "no camera answered the search for " + t.device.endpoint};
    // The answer counts for the address it came from, and only when no
    // other device answered with the same reference.
    const LinkLookup link = SystemLinkLookup();
    if (OnvifResult r = SoleClaimant(*found, t.device.service, link); !r.ok()) return r;
    reach.SetCard(found->interfaceName);
    t.device.card = found->interfaceName;
    // A temporary address only for an address the link layer shows on
    // the card the answer came in on: a sender address alone is easily
    // made up.
    const hostnet::LinkLayerAnswer seen = link(t.device.service.host, found->interfaceName, t.device.service.port);
    if (seen.status == hostnet::LinkLayerStatus::Routed)
        return {OnvifStatus::Unreachable, t.device.endpoint + " answered from " + t.device.service.host + ": " + seen.detail +
                                              "; name the camera by its address to reach it there"};
    if (!reach.Ensure(t.device.service.host, 0, t.device.service.port))
        return {OnvifStatus::Unreachable, "the PC cannot be given an address beside " + t.device.service.host};
    return {};
}

// "urn:uuid:...", "uuid:..." or a bare UUID (8-4-4-4-12 hexadecimal digits),
// in any case: every form a search prints or a person copies.
bool LooksLikeEndpoint(const std::string& text) {
    if (strncasecmp(text.c_str(), "urn:", 4) == 0 || strncasecmp(text.c_str(), "uuid:", 5) == 0) return true;
    if (text.size() != 36) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

bool ParseTarget(const std::string& text, Target& t, std::string& why) {
    t.text = text;
    if (LooksLikeEndpoint(text)) {
        t.byEndpoint = true;
        t.device.endpoint = CanonicalEndpoint(text);
        if (t.device.endpoint.size() < 10 || text.find_first_of(" \t\r\n") != std::string::npos) {
            why = "'" + output::TerminalSafe(text) + "' is not an endpoint reference";
            return false;
        }
        return true;
    }
    if (!ParseDeviceTarget(text, t.device.service, why)) {
        why = output::TerminalSafe(why);
        return false;
    }
    return true;
}

// "192.168.1.64" with neither port nor path: the port is not known yet.
bool IsBareAddress(const Target& t) {
    uint32_t address = 0;
    return !t.byEndpoint && ParseIpv4(t.text, address);
}

// A bare address is asked by a unicast probe where its device service is
// (any port, any path), and called there; port 80 when that answers as a
// device service first, or when nothing tells.
// The endpoint reference it announced is kept for a camera that will not
// tell its own.
void LearnServicePort(Target& t, const OnvifCallSettings& call) {
    if (!IsBareAddress(t)) return;
    const std::optional<ProbedService> probed = LocateDeviceService(t.device.service.host, kPortProbeLimit, call);
    if (!probed) return;
    t.device.service = probed->url;
    if (t.device.endpoint.empty()) t.device.endpoint = probed->endpoint;
}

bool ReadLogin(const char* command, const ParsedArgs& p, OnvifCredentials& login, std::string& why) {
    bool havePassword = false;
    if (!ReadPassword(command, p, login.password, havePassword, why)) return false;
    login.user = p.Get("--user");
    if (havePassword && login.user.empty()) {
        why = "a password needs --user";
        return false;
    }
    return true;
}

std::string JsonList(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + JsonString(items[i]);
    return out + "]";
}

std::string StateJson(const OnvifDeviceState& s) {
    return "{\"uuid\": " + JsonString(s.endpoint) + ", \"manufacturer\": " + JsonString(s.manufacturer) +
           ", \"model\": " + JsonString(s.model) + ", \"firmware\": " + JsonString(s.firmware) +
           ", \"serial\": " + JsonString(s.serial) + ", \"hardware_id\": " + JsonString(s.hardwareId) +
           ", \"mac\": " + JsonString(s.mac) + ", \"hostname\": " + JsonString(s.hostname) +
           ", \"ipv4\": {\"dhcp\": " + (s.ipv4.dhcp ? "true" : "false") + ", \"address\": " +
           JsonString(s.ipv4.address) + ", \"prefix\": " + std::to_string(s.ipv4.prefix) +
           "}, \"gateway\": " + JsonString(s.gateway) + ", \"dns\": " + JsonList(s.dns) + ", \"ntp\": " +
           JsonList(s.ntp) + ", \"time\": {\"utc\": " + JsonString(s.time.utc) + ", \"tz\": " + JsonString(s.time.tz) +
           ", \"offset_s\": " + std::to_string(s.time.offsetSeconds) + "}, \"stream_uris\": " + JsonList(s.streamUris) +
           ", \"missing\": " + JsonList(s.missing) + "}";
}

const std::vector<std::string> kFlatColumns = {
    "uuid",     "manufacturer", "model",   "firmware", "serial", "hardware_id",   "mac",
    "hostname", "ipv4.dhcp",    "ipv4.address", "ipv4.prefix", "gateway", "dns", "ntp",
    "time.utc", "time.tz",      "time.offset_s", "stream_uris", "missing"};

// The flat form for text and CSV: lists joined by spaces (no list item
// holds one).
std::vector<std::string> FlatValues(const OnvifDeviceState& s) {
    const auto joined = [](const std::vector<std::string>& v) {
        std::string out;
        for (const std::string& i : v) out += (out.empty() ? "" : " ") + i;
        return out;
    };
    return {s.endpoint, s.manufacturer, s.model, s.firmware, s.serial, s.hardwareId, s.mac, s.hostname,
            s.ipv4.dhcp ? "true" : "false", s.ipv4.address, std::to_string(s.ipv4.prefix), s.gateway, joined(s.dns),
            joined(s.ntp), s.time.utc, s.time.tz, std::to_string(s.time.offsetSeconds), joined(s.streamUris),
            joined(s.missing)};
}

std::string StateText(const OnvifDeviceState& s) {
    std::string out;
    const std::vector<std::string> values = FlatValues(s);
    for (std::size_t i = 0; i < kFlatColumns.size(); ++i) {
        // A whole read has nothing to name: the line appears only when a
        // field could not be read.
        if (kFlatColumns[i] == "missing" && values[i].empty()) continue;
        out += output::TerminalSafe(kFlatColumns[i] + "=" + values[i]) + "\n";
    }
    return out;
}

std::string StateCsv(const std::vector<OnvifDeviceState>& states) {
    output::OutputTable table;
    for (const std::string& c : kFlatColumns) {
        std::string name = c;
        for (char& ch : name)
            if (ch == '.') ch = '_';
        table.columns.push_back(name);
    }
    for (const OnvifDeviceState& s : states) {
        std::vector<output::OutputValue> row;
        const std::vector<std::string> values = FlatValues(s);
        for (std::size_t i = 0; i < values.size(); ++i) {
            // Our own numbers go out bare, not as a camera's text.
            const bool number = kFlatColumns[i] == "ipv4.prefix" || kFlatColumns[i] == "time.offset_s";
            row.push_back(number ? output::OutputValue::Number(std::stoll(values[i])) : output::OutputValue::Text(values[i]));
        }
        table.rows.push_back(row);
    }
    return WriteOutputTable("csv", table);
}

// A clock far off is signed with anyway (a skewed camera logs in only so),
// but said on stderr as every warning is, with or without --verbose.
void WarnFarClock(const char* command, const std::string& label, const OnvifDeviceState& s, const char* hint) {
    const std::string note = ClockSkewNote(s.time.offsetSeconds);
    if (note.empty()) return;
    const std::string line = (label.empty() ? "" : label + ": ") + note + hint;
    std::fprintf(stderr, "orvanta-cli %s: warning: %s\n", command, output::TerminalSafe(line).c_str());
}

// Runs `work` (which may wait minutes for a restarting camera) while
// Ctrl-C, SIGTERM and SIGHUP are watched for: on one, the temporary
// addresses go before the process ends (with 128 + the signal).
void RunUntilSignal(const std::function<void()>& work, OnvifReach& reach) {
    hostnet::InstallExitSignals();
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        work();
        finished = true;
    });
    while (!finished) {
        if (const int signal = hostnet::ExitSignalReceived()) {
            reach.RemoveAll();
            std::_Exit(128 + signal);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    worker.join();
}

// The command's time limit, from now, as the deadline every ONVIF call and
// wait of the command ends by.
OnvifApplySettings WithinCommandLimit(const TransportSettings& limits) {
    OnvifApplySettings settings;
    settings.call.within = Deadline::After(limits.overallLimitMs);
    return settings;
}

// A moved camera is reached the way the target was.
void ReachThrough(NetworkOnvifService& service, OnvifReach& reach) {
    service.reach = [&reach](const std::string& address, int prefix) { return reach.Ensure(address, prefix); };
}

// A camera that could not be read at all outweighs one read in part; a
// part read is told apart from a whole one, so a script never takes an
// empty field for the camera's value.
int ReadExit(const std::vector<std::pair<int, std::string>>& failures, bool partial) {
    if (!failures.empty()) return failures.front().first;
    return partial ? kExitPartial : kExitDone;
}

int RunOnvifRead(const Args& args) {
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, kLoginOptions, p, why) || !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("onvif", why);
    if (p.positional.empty()) return UsageError("onvif", "onvif read expects at least one TARGET");
    std::vector<Target> targets(p.positional.size());
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (!ParseTarget(p.positional[i], targets[i], why)) return UsageError("onvif", why);
    // The watchdog first: reading a password below may block.
    TransportSettings limits;
    if (!ApplyCommonOptions("onvif read", p, kDefaultTimeoutSeconds, why, &limits)) return UsageError("onvif", why);
    OnvifCredentials login;
    if (!ReadLogin("onvif read", p, login, why)) return UsageError("onvif", why);
    const OnvifApplySettings settings = WithinCommandLimit(limits);
    const bool json = format == "json";

    OnvifReach reach;
    NetworkOnvifService service(settings);
    ReachThrough(service, reach);
    std::vector<OnvifDeviceState> states;
    std::vector<std::string> labels;
    std::vector<std::pair<int, std::string>> failures;
    bool partial = false;
    for (Target& t : targets) {
        OnvifDeviceState state;
        OnvifResult r = ResolveTarget(t, reach);
        // Asked once the address is reachable (a temporary address may
        // have been needed for it).
        if (r.ok()) LearnServicePort(t, settings.call);
        if (r.ok()) r = service.Read(t.device, login, state);
        if (r.ok()) {
            WarnFarClock("onvif read", targets.size() > 1 ? t.text : "", state, " (onvif set --sync-time sets it)");
            state.KnowEndpoint(t.device.endpoint);
            if (state.Partial()) partial = true;
            states.push_back(state);
            labels.push_back(t.text);
        } else {
            std::string message = Explain(r, login);
            if (targets.size() > 1) message = t.text + ": " + message;
            failures.emplace_back(ExitFor(r.status), output::TerminalSafe(message));
        }
    }
    for (std::size_t i = 0; i < failures.size(); ++i) {
        if (states.empty() && i + 1 == failures.size())
            return Fail("onvif read", failures.front().first, failures.back().second, json);
        std::fprintf(stderr, "orvanta-cli onvif read: %s\n", failures[i].second.c_str());
    }
    std::string out;
    if (json) {
        out = "[\n";
        for (std::size_t i = 0; i < states.size(); ++i) out += StateJson(states[i]) + (i + 1 < states.size() ? ",\n" : "\n");
        out += "]\n";
    } else if (format == "csv") {
        out = StateCsv(states);
    } else {
        for (std::size_t i = 0; i < states.size(); ++i) {
            if (targets.size() > 1) out += "[" + output::TerminalSafe(labels[i]) + "]\n";
            out += StateText(states[i]);
        }
    }
    PrintResult(out);
    return ReadExit(failures, partial);
}

bool SplitList(const std::string& text, std::vector<std::string>& out) {
    out.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (item.empty()) return false;
        out.push_back(item);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return !out.empty();
}

// The options of `onvif set` as one change; false with `why` on a value
// that may not be sent (nothing is sent then).
bool ReadChange(const ParsedArgs& p, OnvifChange& change, std::string& why) {
    if (p.Has("--address") && p.Has("--dhcp")) {
        why = "give --address or --dhcp, not both";
        return false;
    }
    if (p.Has("--address")) {
        const std::string a = p.Get("--address");
        const std::size_t slash = a.find('/');
        const std::string prefix = slash == std::string::npos ? "" : a.substr(slash + 1);
        if (slash == std::string::npos || prefix.empty() || prefix.size() > 2 ||
            prefix.find_first_not_of("0123456789") != std::string::npos) {
            why = "--address takes ADDRESS/PREFIX, such as 192.168.5.20/24";
            return false;
        }
        change.ipv4 = OnvifIpv4{false, a.substr(0, slash), std::stoi(prefix)};
    }
    if (p.Has("--dhcp")) change.ipv4 = OnvifIpv4{true, "", 0};
    if (p.values.count("--gateway")) change.gateway = p.Get("--gateway");
    std::vector<std::string> list;
    if (p.values.count("--dns")) {
        if (!SplitList(p.Get("--dns"), list)) {
            why = "--dns takes D[,D]";
            return false;
        }
        change.dns = list;
    }
    if (p.values.count("--ntp")) {
        if (!SplitList(p.Get("--ntp"), list)) {
            why = "--ntp takes N[,N]";
            return false;
        }
        change.ntp = list;
    }
    if (p.values.count("--hostname")) change.hostname = p.Get("--hostname");
    change.syncTime = p.Has("--sync-time");
    if (p.values.count("--tz")) {
        std::string tz = p.Get("--tz");
        // A zone name is taken as the zone's POSIX string.
        if (tz.find('/') != std::string::npos)
            if (const auto posix = PosixTimeZoneFor(tz)) tz = *posix;
        change.tz = tz;
    }
    if (p.values.count("--new-password-file")) {
        std::string line;
        if (!ReadPasswordFile("onvif set", p.Get("--new-password-file"), line, why)) return false;
        change.newPassword = line;
    }
    if (change.empty()) {
        why = "nothing to set: give at least one of --address, --dhcp, --gateway, --dns, --ntp, --hostname, "
              "--sync-time, --tz, --new-password-file";
        return false;
    }
    if (!CheckChange(change, why)) return false;
    return true;
}

std::string ChangesText(const std::vector<FieldChange>& changes) {
    std::string out;
    for (const FieldChange& c : changes)
        out += output::TerminalSafe(c.field + ": " + c.before + " \u2192 " + c.after) + "\n";
    return out;
}

std::string ChangesJson(const std::vector<FieldChange>& changes) {
    std::string out = "[";
    for (std::size_t i = 0; i < changes.size(); ++i)
        out += std::string(i ? ", " : "") + "{\"field\": " + JsonString(changes[i].field) +
               ", \"before\": " + JsonString(changes[i].before) + ", \"after\": " + JsonString(changes[i].after) + "}";
    return out + "]";
}

int RunOnvifSet(const Args& args) {
    std::vector<OptionSpec> specs = kLoginOptions;
    specs.insert(specs.end(), {{"--address", true},
                               {"--dhcp", false},
                               {"--gateway", true},
                               {"--dns", true},
                               {"--ntp", true},
                               {"--hostname", true},
                               {"--sync-time", false},
                               {"--tz", true},
                               {"--new-password-file", true},
                               {"--dry-run", false}});
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, specs, p, why) || !ParseFormatOption(p, {"text", "json"}, "text", format, why))
        return UsageError("onvif", why);
    if (p.positional.size() != 1) return UsageError("onvif", "onvif set expects one TARGET");
    Target target;
    if (!ParseTarget(p.positional.front(), target, why)) return UsageError("onvif", why);
    // The watchdog first: reading the password files below may block.
    TransportSettings limits;
    if (!ApplyCommonOptions("onvif set", p, kSetTimeoutSeconds, why, &limits)) return UsageError("onvif", why);
    OnvifChange change;
    if (!ReadChange(p, change, why)) return UsageError("onvif", output::TerminalSafe(why));
    OnvifCredentials login;
    if (!ReadLogin("onvif set", p, login, why)) return UsageError("onvif", why);
    if (change.newPassword && login.user.empty()) return UsageError("onvif", "--new-password-file needs --user");
    const OnvifApplySettings settings = WithinCommandLimit(limits);
    const bool json = format == "json";

    OnvifReach reach;
    NetworkOnvifService service(settings);
    if (OnvifResult r = ResolveTarget(target, reach); !r.ok())
        return Fail("onvif set", ExitFor(r.status), Explain(r, login) + "; nothing was changed", json);
    LearnServicePort(target, settings.call);
    ReachThrough(service, reach);
    const OnvifDevice& device = target.device;
    OnvifDeviceState before;
    if (OnvifResult r = service.Read(device, login, before); !r.ok())
        return Fail("onvif set", ExitFor(r.status), output::TerminalSafe(Explain(r, login)) + "; nothing was changed", json);
    WarnFarClock("onvif set", "", before, change.syncTime ? "" : " (--sync-time sets it)");
    const std::vector<FieldChange> planned = PlannedChanges(before, change, service.localTimeZone());
    if (p.Has("--dry-run")) {
        if (json) PrintResult("{\"uuid\": " + JsonString(before.endpoint) + ", \"changes\": " + ChangesJson(planned) + "}\n");
        else PrintResult(planned.empty() ? "no change\n" : ChangesText(planned));
        return kExitDone;
    }
    OnvifDeviceState after;
    OnvifResult r;
    RunUntilSignal([&] { r = service.Apply(device, login, change, after); }, reach);
    if (!r.ok()) {
        if (!json && r.status == OnvifStatus::Mismatch) PrintResult(StateText(after));
        return Fail("onvif set", ExitFor(r.status), output::TerminalSafe(Explain(r, login)), json);
    }
    if (json)
        PrintResult("{\"uuid\": " + JsonString(after.endpoint.empty() ? before.endpoint : after.endpoint) +
                    ", \"address\": " + JsonString(after.ipv4.address) + ", \"changes\": " + ChangesJson(planned) +
                    ", \"verified\": true}\n");
    else
        PrintResult(ChangesText(planned) + "verified: the camera reads back every field as set\n");
    return kExitDone;
}

}  // namespace

int RunOnvif(const Args& args) {
    if (args.empty()) return UsageError("onvif", "expected read or set");
    const Args rest(args.begin() + 1, args.end());
    if (args.front() == "read") return RunOnvifRead(rest);
    if (args.front() == "set") return RunOnvifSet(rest);
    return UsageError("onvif", "expected read or set, not '" + output::TerminalSafe(args.front()) + "'");
}

}  // namespace orvanta::cli
