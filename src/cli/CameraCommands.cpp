// read, save, scan-ap and wps: one camera operation each, against HOST[:PORT].
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "TerminalText.h"
#include "core/camera/AccessPointScan.h"
#include "core/camera/CameraParameters.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/CameraSequences.h"
#include "core/camera/WpsRequest.h"
#include "core/settings/FixedField.h"
#include "core/settings/SettingsText.h"

namespace orvanta::cli {

namespace {

struct CameraArgs {
    std::vector<std::string> positional;
    std::string host;
    std::string port = "80";
    bool haveUser = false;
    bool havePassword = false;
    std::string user;
    std::string password;
    std::string format = "ini";
    std::string settingsFile;
    bool wps = false;
};

// The record fields each save sends.
#define OV_COMMON_FIELDS                                                                                        \
    "TitleBar", "Desp", "DDNSSrv", "DDNS", "DDNSUser", "DDNSPwd", "DDNSHost", "IPType", "IPAddr", "Netmask",  \
        "Gateway", "DNS1", "DNS2", "UPnPE", "PAccount", "PPwd", "PVP", "HttpPort", "RTPPort", "RTSPPort"
const std::vector<const char*> kWpsSaveFields = {OV_COMMON_FIELDS};
const std::vector<const char*> kNormalSaveFields = {
    OV_COMMON_FIELDS, "NTPEN", "NTPName", "NTPPoll", "Timezone", "Date", "Time", "LinkWireless", "WIPType",
    "WIPAddr", "WNetmask", "WGateway", "WDNS1", "WDNS2", "WireType", "WireSec", "SSID", "WireCh", "WEPAuthM",
    "WEPMode", "WEPKey0", "WEPKey1", "WEPKey2", "WEPKey3", "WEPKeyE0", "WPAKey", "WPAEnc", "WPAPSKeyM", "TxRate",
    "WepKeyL"};
#undef OV_COMMON_FIELDS

int Usage(const char* command, const std::string& why) {
    std::fprintf(stderr, "orvanta-cli %s: %s\n", command, why.c_str());
    return 2;
}

// Options may come before or after the positional arguments. Returns false
// with `why` set on anything it does not know.
bool ParseArgs(const Args& args, CameraArgs& out, std::string& why) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= args.size()) {
                why = a + " needs a value";
                return false;
            }
            target = args[++i];
            return true;
        };
        if (a == "--user") {
            if (!value(out.user)) return false;
            out.haveUser = true;
        } else if (a == "--password") {
            if (!value(out.password)) return false;
            out.havePassword = true;
        } else if (a == "--format") {
            if (!value(out.format)) return false;
            if (out.format != "ini" && out.format != "json") {
                why = "--format takes ini or json";
                return false;
            }
        } else if (a == "--settings") {
            if (!value(out.settingsFile)) return false;
        } else if (a == "--wps") {
            out.wps = true;
        } else if (a.rfind("--", 0) == 0) {
            why = "unknown option " + a;
            return false;
        } else {
            out.positional.push_back(a);
        }
    }
    return true;
}

// HOST[:PORT] into the record's endpoint fields; refuses what they cannot hold.
bool SetEndpoint(const std::string& target, CameraArgs& a, std::string& why) {
    const std::size_t colon = target.rfind(':');
    a.host = target.substr(0, colon);
    if (colon != std::string::npos) a.port = target.substr(colon + 1);
    if (a.host.empty() || a.host.size() > 63) {
        why = "bad host '" + a.host + "'";
        return false;
    }
    char* end = nullptr;
    const long port = std::strtol(a.port.c_str(), &end, 10);
    if (a.port.empty() || *end != '\0' || port < 1 || port > 65535) {
        why = "bad port '" + a.port + "'";
        return false;
    }
    return true;
}

bool ApplyCredentials(const CameraArgs& a, CameraSettings& s, std::string& why) {
    if ((a.haveUser && a.user.size() > 63) || (a.havePassword && a.password.size() > 63)) {
        why = "user name and password hold at most 63 bytes";
        return false;
    }
    if (a.haveUser) SetField(s.User, a.user);
    if (a.havePassword) SetField(s.Password, a.password);
    return true;
}

void PrepareRecord(const CameraArgs& a, CameraSettings& s) {
    SetField(s.CamIP, a.host);
    SetField(s.CamPort, a.port);
}

int Failed(const char* what, HttpResult r) {
    std::fprintf(stderr, "orvanta-cli: %s failed: %d (%s)\n", what, r, HttpResultName(r));
    return 1;
}

void PrintStep(const char* step, HttpResult r) {
    std::printf("%s: %d (%s)\n", step, r, HttpResultName(r));
    std::fflush(stdout);
}

// Common head of every command: options, then exactly `positionals` arguments
// of which the last is HOST[:PORT].
int Prepare(const char* command, const Args& args, std::size_t positionals, CameraArgs& a, CameraSettings& s) {
    std::string why;
    if (!ParseArgs(args, a, why)) return Usage(command, why);
    if (a.positional.size() != positionals) return Usage(command, "expected HOST[:PORT] (see --help)");
    if (!SetEndpoint(a.positional.back(), a, why)) return Usage(command, why);
    if (!ApplyCredentials(a, s, why)) return Usage(command, why);
    PrepareRecord(a, s);
    return 0;
}

}  // namespace

int RunRead(const Args& args) {
    CameraArgs a;
    CameraSettings s;
    if (const int rc = Prepare("read", args, 1, a, s); rc != 0) return rc;
    // Login step: the camera is first asked without credentials; only when it
    // refuses are the given ones tried.
    s.User[0] = s.Password[0] = '\0';
    HttpResult r = ReadParameters(s, kPageSysinfo);
    if (r == kHttpUnauthorized) {
        if (!a.haveUser && !a.havePassword) return Failed("login (the camera asks for --user and --password)", r);
        std::string why;
        ApplyCredentials(a, s, why);
        r = ReadSysinfoAuth(s);
    }
    if (r < 0) return Failed("login", r);
    std::vector<AccessPointEntry> aps;
    const SequenceOutcome outcome = RunReadSequence(s, aps);
    if (!outcome.succeeded) return Failed("read", outcome.lastResult);
    const std::string dump = a.format == "json" ? WriteSettingsJson(s) : WriteSettingsText(s);
    std::fwrite(dump.data(), 1, dump.size(), stdout);
    return 0;
}

int RunSave(const Args& args) {
    CameraArgs a;
    std::string why;
    if (!ParseArgs(args, a, why)) return Usage("save", why);
    if (a.settingsFile.empty()) return Usage("save", "--settings FILE is required");
    std::ifstream in(a.settingsFile, std::ios::binary);
    if (!in) return Usage("save", "cannot read " + a.settingsFile);
    std::stringstream buffer;
    buffer << in.rdbuf();
    CameraSettings s;
    std::vector<std::string> named;
    if (!ReadSettingsText(buffer.str(), s, why, &named)) return Usage("save", a.settingsFile + ": " + why);
    // A field the file leaves out would go to the camera as empty or 0 and
    // wipe what it holds: every field the save sends must be named.
    for (const char* field : a.wps ? kWpsSaveFields : kNormalSaveFields) {
        if (std::find(named.begin(), named.end(), field) == named.end())
            return Usage("save", a.settingsFile + " lacks " + field + " (start from what 'read --format ini' prints)");
    }
    if (a.positional.size() != 1) return Usage("save", "expected HOST[:PORT] (see --help)");
    if (!SetEndpoint(a.positional.back(), a, why)) return Usage("save", why);
    if (!ApplyCredentials(a, s, why)) return Usage("save", why);
    PrepareRecord(a, s);
    // The file may come from another session: this run decides whether to go on.
    s.KeepConnecting = 1;
    const SequenceOutcome outcome = a.wps ? RunWpsSave(s, PrintStep) : RunNormalSave(s, PrintStep);
    if (!outcome.succeeded) return Failed("save", outcome.lastResult);
    return 0;
}

int RunScanAp(const Args& args) {
    CameraArgs a;
    CameraSettings s;
    if (const int rc = Prepare("scan-ap", args, 1, a, s); rc != 0) return rc;
    HttpResult r = 0;
    const std::vector<AccessPointEntry> list = ScanAccessPoints(s, &r);
    if (s.APScanOK != 1) return Failed("scan-ap", r);
    std::printf("APCount=%u\n", s.APCount);
    for (const AccessPointEntry& e : list) {
        std::printf("Channel=%u\tMac_address=%s\tSSID=%s\tQuality=%u\tMode=%s\tSecurity=%s\tAlgorithm=%s\n",
                    e.Channel, TerminalText(e.Mac_address).c_str(), TerminalText(e.SSID).c_str(), e.Quality,
                    TerminalText(e.Mode).c_str(), TerminalText(e.Security).c_str(),
                    TerminalText(e.Algorithm).c_str());
    }
    return 0;
}

int RunWps(const Args& args) {
    CameraArgs a;
    CameraSettings s;
    if (const int rc = Prepare("wps", args, 2, a, s); rc != 0) return rc;
    const std::string& action = a.positional.front();
    if (action != "start" && action != "status") return Usage("wps", "expected start or status");
    const bool start = action == "start";
    const HttpResult r = WpsRequest(s, start ? WpsAction::Start : WpsAction::Status);
    if (r < 0) return Failed(start ? "wps start" : "wps status", r);
    if (start) std::printf("sent=%d\n", r);
    else std::printf("WPS=%u\nWPS_ACK=%u\n", s.WPSState, s.WPSAck);
    return 0;
}

}  // namespace orvanta::cli
