// free-ip and probe: the wizard's ARP questions for scripts and tests. Both
// go through orvanta-netadmin like the wizard does.
#include <cstdio>
#include <string>

#include "CliCommands.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/hostnet/AddressProbe.h"
#include "core/hostnet/HostNetwork.h"
#include "core/hostnet/Ipv4Text.h"
#include "core/settings/FixedField.h"

namespace orvanta::cli {

namespace {

using namespace orvanta::hostnet;

bool OptionValue(const Args& args, std::size_t& i, std::string& value) {
    if (i + 1 >= args.size()) return false;
    value = args[++i];
    return true;
}

// The first IPv4 address of card `name`, the source of requests the user
// sends through it.
bool AddressOfCard(HostNetwork& net, const std::string& name, uint32_t& address) {
    for (const auto& a : net.ListAdapters().adapters)
        if (a.name == name && !a.addresses.empty()) {
            address = a.addresses.front().address;
            return true;
        }
    std::fprintf(stderr, "orvanta-cli: no IPv4 address on interface '%s'\n", name.c_str());
    return false;
}

int Usage(const char* text) {
    std::fprintf(stderr, "usage: orvanta-cli %s\n", text);
    return 2;
}

}  // namespace

int RunFreeIp(const Args& args) {
    const char* usage = "free-ip --start IP --source IP|--interface NAME --mask MASK --mac MAC";
    std::string start, source, mask, mac, card;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string* slot = args[i] == "--start"       ? &start
                            : args[i] == "--source"    ? &source
                            : args[i] == "--interface" ? &card
                            : args[i] == "--mask"      ? &mask
                            : args[i] == "--mac"       ? &mac
                                                       : nullptr;
        if (!slot || !OptionValue(args, i, *slot)) return Usage(usage);
    }
    auto net = MakeLinuxHostNetwork();
    uint32_t startIp, sourceIp = 0, maskValue;
    std::array<uint8_t, 6> macValue;
    if (source.empty() && !card.empty() && !AddressOfCard(*net, card, sourceIp)) return 1;
    if (!source.empty() && !ParseIpv4(source, sourceIp)) sourceIp = 0;
    if (!ParseIpv4(start, startIp) || sourceIp == 0 || !ParseIpv4(mask, maskValue) || !ParseMac(mac, macValue)) {
        std::fprintf(stderr, "orvanta-cli: free-ip: addresses must be dotted quads, the MAC xx:xx:xx:xx:xx:xx\n");
        return Usage(usage);
    }
    std::printf("%s\n", FormatIpv4(FindFreeAddress(*net, startIp, sourceIp, maskValue, macValue)).c_str());
    return 0;
}

int RunProbe(const Args& args) {
    const char* usage = "probe TARGET [--source IP | --interface NAME]";
    std::string target, source, card;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--source") {
            if (!OptionValue(args, i, source)) return Usage(usage);
        } else if (args[i] == "--interface") {
            if (!OptionValue(args, i, card)) return Usage(usage);
        } else if (target.empty() && args[i].rfind("--", 0) != 0) {
            target = args[i];
        } else {
            return Usage(usage);
        }
    }
    uint32_t targetIp, sourceIp;
    if (!ParseIpv4(target, targetIp)) return Usage(usage);
    auto net = MakeLinuxHostNetwork();
    if (source.empty() && !card.empty()) {
        uint32_t cardIp = 0;
        if (!AddressOfCard(*net, card, cardIp)) return 1;
        source = FormatIpv4(cardIp);
    }
    if (source.empty()) {
        // Like the wizard: from the address of the adapter in use.
        CameraSettings settings;
        FindActiveAdapter(settings, *net);
        ReadAdapterAddresses(settings, *net);
        source = std::string(FieldText(settings.HostIP));
        if (source.empty()) {
            std::fprintf(stderr, "orvanta-cli: probe: no address of this PC to send from; give --source\n");
            return 1;
        }
    }
    if (!ParseIpv4(source, sourceIp)) return Usage(usage);
    const ArpReply reply = net->SendArp(targetIp, sourceIp);
    std::printf("%s\n", reply.status == ArpStatus::Answered ? "in use" : "free");
    // "free" is what the wizard concludes from any failure; scripts also get
    // to know the request itself failed.
    return reply.status == ArpStatus::Failed ? 1 : 0;
}

}  // namespace orvanta::cli
