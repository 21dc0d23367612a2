// server-list: the cameras a listing server holds for an ID and password.
#include <cerrno>
#include <cstdlib>
#include <string>

#include "CliCommands.h"
#include "CommandLine.h"
#include "PasswordInput.h"
#include "core/camera/ListingServerQuery.h"
#include "core/settings/FixedField.h"

namespace orvanta::cli {

namespace {

using output::OutputValue;

OutputValue PortValue(std::string_view text) {
    const std::string s(text);
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (s.empty() || errno != 0 || *end != '\0') return s.empty() ? OutputValue::Null() : OutputValue::Text(s);
    return OutputValue::Number(v);
}

}  // namespace

int RunServerList(const Args& args) {
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args,
                      {{"--host", true},
                       {"--port", true},
                       {"--id", true},
                       {"--password", true},
                       {"--password-file", true},
                       {"--type", true},
                       {"--format", true}},
                      p, why) ||
        !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("server-list", why);
    if (!p.positional.empty()) return UsageError("server-list", "unexpected argument '" + p.positional.front() + "'");
    // The watchdog first: reading the password may block.
    TransportSettings limits;
    if (!ApplyCommonOptions("server-list", p, kDefaultTimeoutSeconds, why, &limits))
        return UsageError("server-list", why);
    std::string password;
    bool havePassword = false;
    if (!ReadPassword("server-list", p, password, havePassword, why)) return UsageError("server-list", why);
    const std::string id = p.Get("--id");
    const std::string type = p.Get("--type");
    if (!p.values.count("--host") || !p.values.count("--id") || !havePassword)
        return UsageError("server-list", "--host, --id and a password are required");
    std::string host, port;
    if (!ParseHostPort(p.Get("--host") + ":" + p.Get("--port", "80"), host, port, why))
        return UsageError("server-list", why);
    if (type != "device" && type != "user") return UsageError("server-list", "--type takes device or user");
    // The login page takes at most 32 characters each; so does the query.
    if (id.size() > 32 || password.size() > 32) return UsageError("server-list", "ID and password hold at most 32 bytes");
    const bool json = format == "json";

    ServerCredentials credentials{};
    SetField(credentials.ID, id);
    SetField(credentials.Password, password);
    const ListingResult result =
        QueryListing(limits, Deadline::After(limits.overallLimitMs), credentials, host.c_str(), port.c_str(),
                     type == "device" ? ListingLogin::Device : ListingLogin::User);
    switch (result.outcome) {
        case ListingOutcome::Listed: break;
        case ListingOutcome::Refused: return Fail("server-list", kExitRefused, result.why, json);
        case ListingOutcome::NoAnswer: return Fail("server-list", kExitNoAnswer, result.why, json);
        case ListingOutcome::Failed: return Fail("server-list", kExitFailed, result.why, json);
    }
    output::OutputTable table;
    table.columns = {"id", "ip", "port", "mac", "model"};
    for (const ServerCameraEntry& e : result.entries) {
        table.rows.push_back({OutputValue::Text(FieldText(e.ID)), OutputValue::Text(FieldText(e.IP)),
                              PortValue(FieldText(e.Port)), OutputValue::Text(FieldText(e.Mac_address)),
                              OutputValue::Text(FieldText(e.Modelname))});
    }
    PrintResult(WriteOutputTable(format, table));
    return kExitDone;
}

}  // namespace orvanta::cli
