// server-list: the cameras a listing server holds for an ID and password.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CliCommands.h"
#include "TerminalText.h"
#include "core/camera/ListingServerQuery.h"
#include "core/settings/FixedField.h"

namespace orvanta::cli {

namespace {

int Usage(const std::string& why) {
    std::fprintf(stderr, "orvanta-cli server-list: %s\n", why.c_str());
    return 2;
}

}  // namespace

int RunServerList(const Args& args) {
    std::string host, port = "80", id, password, type;
    bool haveId = false, havePassword = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i + 1 >= args.size()) return Usage(a + " needs a value");
        if (a == "--host") host = args[++i];
        else if (a == "--port") port = args[++i];
        else if (a == "--id") id = args[++i], haveId = true;
        else if (a == "--password") password = args[++i], havePassword = true;
        else if (a == "--type") type = args[++i];
        else return Usage("unknown argument " + a);
    }
    if (host.empty() || !haveId || !havePassword) return Usage("--host, --id and --password are required");
    if (type != "device" && type != "user") return Usage("--type takes device or user");
    // The login page takes at most 32 characters each; so does the query.
    if (id.size() > 32 || password.size() > 32) return Usage("ID and password hold at most 32 bytes");
    char* end = nullptr;
    const long p = std::strtol(port.c_str(), &end, 10);
    if (port.empty() || *end != '\0' || p < 1 || p > 65535) return Usage("bad port '" + port + "'");

    ServerCredentials credentials{};
    SetField(credentials.ID, id);
    SetField(credentials.Password, password);
    uint32_t count = 0;
    const auto entries = QueryServerCameras(credentials, count, host.c_str(), port.c_str(), kListingActionQuery,
                                            type == "device" ? kLoginDevice : kLoginUser);
    if (!entries) {
        std::fprintf(stderr, "orvanta-cli: server-list failed: no list from %s:%s\n", host.c_str(), port.c_str());
        return 1;
    }
    std::printf("Total Camera=%u\n", count);
    for (const ServerCameraEntry& e : *entries) {
        std::printf("ID=%s\tIP=%s\tPort=%s\tMac_address=%s\tModelname=%s\n", TerminalText(e.ID).c_str(),
                    TerminalText(e.IP).c_str(), TerminalText(e.Port).c_str(), TerminalText(e.Mac_address).c_str(),
                    TerminalText(e.Modelname).c_str());
    }
    return 0;
}

}  // namespace orvanta::cli
