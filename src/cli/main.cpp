// orvanta-cli: the wizard's camera operations without a window, for scripts
// and for the tests.
#include <cstdio>
#include <cstring>
#include <string>

#include "CliCommands.h"
#include "CommandLine.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const orvanta::cli::Args&);
    const char* usage;
    const char* summary;
};

const Command kCommands[] = {
    {"discover", orvanta::cli::RunDiscover, "discover [--seconds N] [--format text|csv|json] [--interface NAME] [--kind native|onvif|all] [--range CIDR[,CIDR...] [--rate N]]",
     "Searches the local network by broadcast for N seconds (default 6; fractions down to 0.2) and lists\n"
     "every camera that answered, sorted by address. The request leaves through every card that is up, or\n"
     "only NAME. Text output prints each ONVIF row as it is heard (--kind onvif). --range asks every\n"
     "address of the ranges (at most 65536) beyond the PC's own links for ONVIF devices, through the PC's\n"
     "routes, at N packets a second (default 1000); it ends when every address answered or had its last try."},
    {"read", orvanta::cli::RunRead,
     "read HOST[:PORT]... [--user U] [PASSWORD] [--format ini|text|csv|json] [--show-secrets]",
     "Reads everything each camera reports. ini (the default, also 'text') prints Field=value lines that\n"
     "'save --settings' takes back; csv and json print one row or object a camera. Secrets (keys,\n"
     "passwords) are left out unless --show-secrets is given."},
    {"save", orvanta::cli::RunSave,
     "save HOST[:PORT] --settings FILE [--wps] [--user U] [PASSWORD] [--format text|json]",
     "Writes the settings of FILE (start from 'read --format ini') to the camera. The credentials are\n"
     "checked before anything is written; each write's answer is checked."},
    {"scan-ap", orvanta::cli::RunScanAp, "scan-ap HOST[:PORT] [--user U] [PASSWORD] [--format text|csv|json]",
     "Lists the wireless access points the camera sees."},
    {"wps", orvanta::cli::RunWps, "wps start|status HOST[:PORT] [--user U] [PASSWORD] [--format text|csv|json]",
     "Starts WPS on the camera, or reads its progress (WPS and WPS_ACK)."},
    {"server-list", orvanta::cli::RunServerList,
     "server-list --host H [--port P] --id ID [PASSWORD] --type device|user [--format text|csv|json]",
     "Lists the cameras a camera-listing server holds for an ID and password."},
    {"free-ip", orvanta::cli::RunFreeIp,
     "free-ip --start IP --source IP|--interface NAME --mask MASK --mac MAC [--format text|csv|json]",
     "Proposes a free address for a camera by ARP probes through orvanta-netadmin, walking down from --start."},
    {"probe", orvanta::cli::RunProbe, "probe TARGET [--source IP | --interface NAME] [--format text|csv|json]",
     "Asks by ARP whether a device uses TARGET: prints 'in use' or 'free'."},
    {"provision", orvanta::cli::RunProvision,
     "provision PLAN [--dry-run] [--parallel N] [--search-seconds N] [--refind-seconds N] [--user U] [PASSWORD]\n"
     "          [--report FILE] [--format text|csv|json]",
     "Sets up every camera of PLAN (CSV or JSON: one row a camera, found by mac, serial or address; the other\n"
     "columns are read's JSON keys to set, user and password its credentials). The plan is checked whole first\n"
     "(exit 2 naming every problem). Each camera is found, read, saved if it differs, found again by serial and\n"
     "read back; --dry-run lists the changes only. --parallel N works on N cameras at once (default 4).\n"
     "ONVIF rows may name firmware_file (relative to the plan's folder) and firmware_version: the image is\n"
     "installed first (a camera already at the version is left alone), so at most N upload at once; a camera\n"
     "that does not come back within its announced down time plus --refind-seconds fails its row alone.\n"
     "Statuses: done, unchanged, not-found, refused, unreachable, failed, verify-mismatch; exit 0 only when\n"
     "all are done or unchanged."},
    {"onvif", orvanta::cli::RunOnvif,
     "onvif read TARGET... [--user U] [PASSWORD] [--format text|csv|json]\n"
     "       onvif set TARGET [--address A/PREFIX|--dhcp] [--gateway G] [--dns D[,D]] [--ntp N[,N]] [--hostname H]\n"
     "          [--sync-time] [--tz TZ] [--new-password-file F] [--dry-run] [--user U] [PASSWORD] [--format text|json]\n"
     "          [--profile TOKEN|N [--encoding H264|H265|JPEG] [--resolution WxH] [--fps N] [--bitrate KBPS] [--gop N]\n"
     "          [--quality Q]] [--add-user NAME [--user-level Administrator|Operator|User] | --set-user-password NAME]\n"
     "          [--user-password-file F] [--remove-user NAME]\n"
     "       onvif users TARGET [--user U] [PASSWORD] [--format text|json]\n"
     "       onvif firmware TARGET --file F [--expect-version V] [--wait-seconds N] [--user U] [PASSWORD] [--format text|json]\n"
     "       onvif reboot TARGET [--yes] [--wait-seconds N] [--user U] [PASSWORD] [--format text|json]\n"
     "       onvif reset TARGET --soft [--yes] [--wait-seconds N] [--user U] [PASSWORD] [--format text|json]\n"
     "       onvif snapshot TARGET [-o FILE] [--user U] [PASSWORD] [--format text|json]",
     "Other makers' cameras over ONVIF. TARGET is an address, address:port, a device service URL\n"
     "(http://ADDRESS/onvif/device_service) or an endpoint reference (urn:uuid:..., uuid:... or a bare UUID)\n"
     "found by a search; a reference answered from two addresses is refused, naming both.\n"
     "A camera outside the PC's subnets is reached through a temporary address, as for our own cameras.\n"
     "read prints uuid, manufacturer, model, firmware, serial, hardware_id, mac, hostname, ipv4 (dhcp, address,\n"
     "prefix), gateway, dns, ntp, time (utc, tz, offset_s: camera minus PC), stream_uris and profiles (token,\n"
     "name, encoding, resolution, fps, bitrate, GOP, quality, stream URI; Media2 where the camera has it).\n"
     "--profile sets that profile's video encoder; every value is checked against the camera's options first and\n"
     "one it does not offer is refused, naming what it offers. users lists the camera's users and levels; the user\n"
     "logged in with and the last administrator are never removed; passwords come only from files.\n"
     "set changes what its options name: --sync-time sets the camera's clock to the PC's UTC and its zone to the\n"
     "PC's (or --tz, a POSIX TZ string or a zone name such as Europe/Berlin); --new-password-file changes the\n"
     "password of --user. --dry-run prints 'field: old -> new' and sends no change. Otherwise the change is\n"
     "applied, the camera is found again by its uuid (after a restart when it asks for one) and read back;\n"
     "exit 0 only when every field reads back as set.\n"
     "firmware sends F (a regular file of at most 256 MiB) by the upload address the camera gives, or inside\n"
     "UpgradeSystemFirmware where that is all it offers; progress on stderr. The camera is then waited for (the\n"
     "down time it announces plus --wait-seconds, default 120), found again by its uuid and MAC, and its version\n"
     "read; exit 0 only when the version changed (or is --expect-version; a camera already at it is left alone).\n"
     "reboot restarts the camera, reset --soft puts its settings back to the maker's but keeps its network\n"
     "settings; both ask on a terminal first (--yes in scripts), then wait for it to answer again (--wait-seconds,\n"
     "default 180).\n"
     "snapshot fetches the camera's still picture (its first media profile's snapshot address, on the camera's own\n"
     "address whatever host the address names; Digest or Basic as the camera asks), at most 8 MiB, checked to be a\n"
     "JPEG, and writes it to FILE, or to standard output when that is not a terminal."},
    {"report", orvanta::cli::RunReport,
     "report TARGET...|--plan-result FILE [-o FILE] [--title T] [--site S] [--no-pictures] [--user U] [PASSWORD]",
     "Writes the handover report: one self-contained, printable HTML file (no scripts, nothing fetched), one row\n"
     "per camera with its kind, address, MAC, host name, maker and model, firmware, serial, streams, what the plan\n"
     "changed and when, and each ONVIF camera's picture. TARGET is named as for onvif read; FILE is what\n"
     "'provision --format json' (or csv) printed, its ONVIF cameras read again at their addresses. Exit 5 when a\n"
     "camera could not be read (the report says why)."},
};

const char* kCommonHelp =
    "PASSWORD is one of: --password - (one line of standard input, not echoed at a terminal),\n"
    "--password-file FILE (the first line of a regular file of at most 4 KiB; - is standard input),\n"
    "--password TEXT (visible to other users in the process list), or ORVANTA_PASSWORD in the\n"
    "environment.\n"
    "Every command also takes:\n"
    "  --timeout SECONDS  give up after this long overall, exit 4 (default 120; discover: N + 30)\n"
    "  --verbose          diagnostic lines on standard error\n"
    "  --help             this text\n"
    "Exit codes: 0 done, 1 the operation failed, 2 usage error (nothing sent), 3 credentials refused,\n"
    "4 no answer, not reachable or --timeout passed. See orvanta-cli(1).\n";

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: orvanta-cli COMMAND [ARGS]\n       orvanta-cli help COMMAND\n\ncommands:\n");
    for (const auto& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
    std::fprintf(out, "\n%s", kCommonHelp);
}

const Command* Find(const std::string& name) {
    for (const auto& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

int PrintCommandHelp(const Command& c) {
    std::printf("usage: orvanta-cli %s\n\n%s\n\n%s", c.usage, c.summary, kCommonHelp);
    return 0;
}

// --help anywhere among a command's arguments, unless it is an option's value.
bool AsksForHelp(const orvanta::cli::Args& args) {
    static const char* kValued[] = {"--user", "--password", "--password-file", "--format", "--settings",
                                    "--seconds", "--timeout", "--host", "--port", "--id",
                                    "--type", "--start", "--source", "--mask", "--mac", "--interface", "--report",
                                    "--parallel", "--search-seconds", "--refind-seconds",
                                    "--address", "--gateway", "--dns", "--ntp", "--hostname", "--tz",
                                    "--new-password-file", "-o", "--output", "--plan-result", "--title", "--site"};
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") return false;
        if (args[i] == "--help" || args[i] == "-h") return true;
        for (const char* v : kValued)
            if (args[i] == v) ++i;
    }
    return false;
}

}  // namespace

namespace orvanta::cli {

std::string CommandUsage(const std::string& command) {
    const Command* c = Find(command);
    return c ? c->usage : command;
}

}  // namespace orvanta::cli

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return orvanta::cli::kExitUsage;
    }
    const std::string name = argv[1];
    const orvanta::cli::Args args(argv + 2, argv + argc);
    if (name == "--help" || name == "-h") {
        PrintUsage(stdout);
        return 0;
    }
    if (name == "help") {
        if (args.empty()) {
            PrintUsage(stdout);
            return 0;
        }
        if (const Command* c = Find(args.front())) return PrintCommandHelp(*c);
        std::fprintf(stderr, "orvanta-cli: unknown command '%s'\n", args.front().c_str());
        return orvanta::cli::kExitUsage;
    }
    if (name == "--version") {
        std::printf("orvanta-cli %s\n", ORVANTA_VERSION);
        return 0;
    }
    if (const Command* c = Find(name)) return AsksForHelp(args) ? PrintCommandHelp(*c) : c->run(args);
    std::fprintf(stderr, "orvanta-cli: unknown command '%s'\n", name.c_str());
    PrintUsage(stderr);
    return orvanta::cli::kExitUsage;
}
