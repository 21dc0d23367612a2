// free-ip and probe: the wizard's ARP questions for scripts and tests. Both
// go through orvanta-netadmin like the wizard does.
#include <cstdio>
#include <string>

#include "CliCommands.h"
#include "CommandLine.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/hostnet/AddressProbe.h"
#include "core/hostnet/HostNetwork.h"
#include "core/base/AddressText.h"
#include "core/base/OutputText.h"
#include "core/settings/FixedField.h"

namespace orvanta::cli {

namespace {

using namespace orvanta::hostnet;
using output::OutputValue;

// Why an ARP request could not be made, in one line.
std::string ArpFailure(const ArpReply& reply) {
    std::string why = reply.text.empty() ? "the ARP request failed" : reply.text;
    if (reply.failure == AliasStatus::PermissionDenied) why += " (grant orvanta-netadmin its capabilities with setcap-netadmin.sh)";
    return output::TerminalSafe(why);
}

std::string AddressOutput(const std::string& format, const std::string& address, const OutputValue* inUse) {
    output::OutputTable table;
    table.columns = {"address"};
    table.rows.push_back({OutputValue::Text(address)});
    if (inUse) {
        table.columns.push_back("in_use");
        table.rows.front().push_back(*inUse);
    }
    if (format == "json") return output::WriteJsonObject(table.columns, table.rows.front());
    // A single answer: the address alone on its line, for $(...) in scripts.
    if (format == "text" && !inUse) return address + "\n";
    return WriteOutputTable(format, table);
}

// The first IPv4 address of card `name`, the source of requests the user
// sends through it; false when it has none.
bool AddressOfCard(HostNetwork& net, const std::string& name, uint32_t& address) {
    for (const auto& a : net.ListAdapters().adapters)
        if (a.name == name && !a.addresses.empty()) {
            address = a.addresses.front().address;
            return true;
        }
    return false;
}

}  // namespace

int RunFreeIp(const Args& args) {
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, {{"--start", true}, {"--source", true}, {"--interface", true}, {"--mask", true}, {"--mac", true}, {"--format", true}},
                      p, why) ||
        !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("free-ip", why);
    uint32_t startIp, sourceIp, maskValue;
    std::array<uint8_t, 6> macValue;
    if (!p.positional.empty()) return UsageError("free-ip", "unexpected argument '" + p.positional.front() + "'");
    const bool byCard = p.values.count("--interface") && !p.values.count("--source");
    if (!IsDottedQuad(p.Get("--start")) || (!byCard && !IsDottedQuad(p.Get("--source"))) ||
        !IsDottedQuad(p.Get("--mask")) || !ParseIpv4(p.Get("--start"), startIp) ||
        (!byCard && !ParseIpv4(p.Get("--source"), sourceIp)) || !ParseIpv4(p.Get("--mask"), maskValue) ||
        !ParseMac(p.Get("--mac"), macValue))
        return UsageError("free-ip",
                          "--start, --source (or --interface NAME) and --mask take a.b.c.d (each 0 to 255), "
                          "--mac xx:xx:xx:xx:xx:xx");
    if (!ApplyCommonOptions("free-ip", p, kDefaultTimeoutSeconds, why)) return UsageError("free-ip", why);
    const bool json = format == "json";

    auto net = MakeLinuxHostNetwork();
    if (byCard && !AddressOfCard(*net, p.Get("--interface"), sourceIp))
        return Fail("free-ip", kExitFailed, "no IPv4 address on interface '" + output::TerminalSafe(p.Get("--interface")) + "'", json);
    const uint32_t found = FindFreeAddress(*net, startIp, sourceIp, maskValue, macValue);
    // The walk takes a failed request for "free" and gives back the start:
    // only an address asked about once more, with an answer, is printed.
    const ArpReply check = net->SendArp(found, sourceIp);
    if (check.status == ArpStatus::Failed)
        return Fail("free-ip", kExitFailed, "the free-address search could not probe: " + ArpFailure(check), json);
    if (check.status == ArpStatus::Answered && check.mac != macValue)
        return Fail("free-ip", kExitFailed, "no free address found: " + FormatIpv4(found) + " is in use", json);
    PrintResult(AddressOutput(format, FormatIpv4(found), nullptr));
    return kExitDone;
}

int RunProbe(const Args& args) {
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, {{"--source", true}, {"--interface", true}, {"--format", true}}, p, why) ||
        !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("probe", why);
    if (p.positional.size() != 1) return UsageError("probe", "expected one TARGET address");
    const std::string target = p.positional.front();
    std::string source = p.Get("--source");
    const std::string card = p.Get("--interface");
    uint32_t targetIp, sourceIp;
    if (!IsDottedQuad(target) || !ParseIpv4(target, targetIp))
        return UsageError("probe", "TARGET takes a.b.c.d (each 0 to 255)");
    if (p.values.count("--source") && !IsDottedQuad(source))
        return UsageError("probe", "--source takes a.b.c.d (each 0 to 255)");
    if (!ApplyCommonOptions("probe", p, kDefaultTimeoutSeconds, why)) return UsageError("probe", why);
    const bool json = format == "json";

    auto net = MakeLinuxHostNetwork();
    if (source.empty() && !card.empty()) {
        uint32_t cardIp = 0;
        if (!AddressOfCard(*net, card, cardIp))
            return Fail("probe", kExitFailed, "no IPv4 address on interface '" + output::TerminalSafe(card) + "'", json);
        source = FormatIpv4(cardIp);
    }
    if (source.empty()) {
        // Like the wizard: from the address of the adapter in use.
        CameraSettings settings;
        FindActiveAdapter(settings, *net);
        ReadAdapterAddresses(settings, *net);
        source = std::string(FieldText(settings.HostIP));
        if (source.empty()) return Fail("probe", kExitFailed, "no address of this PC to send from; give --source", json);
    }
    if (!ParseIpv4(source, sourceIp)) return Fail("probe", kExitFailed, "this PC's address is not usable", json);
    const ArpReply reply = net->SendArp(targetIp, sourceIp);
    // The wizard takes a failed request for "free"; a script is told it failed.
    if (reply.status == ArpStatus::Failed) return Fail("probe", kExitFailed, ArpFailure(reply), json);
    const bool inUse = reply.status == ArpStatus::Answered;
    if (format == "text") {
        PrintResult(inUse ? "in use\n" : "free\n");
        return kExitDone;
    }
    const OutputValue value = OutputValue::Text(inUse ? "true" : "false");
    if (json) {
        PrintResult("{\"address\": \"" + target + "\", \"in_use\": " + (inUse ? "true" : "false") + "}\n");
        return kExitDone;
    }
    PrintResult(AddressOutput(format, target, &value));
    return kExitDone;
}

}  // namespace orvanta::cli
