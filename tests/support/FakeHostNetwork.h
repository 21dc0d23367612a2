// A scripted HostNetwork for unit tests: adapters to list, addresses another
// device claims, ARP answers per address, failures to return, and a log of
// every call in order ("add 192.168.5.254/24 if3", "dup 192.168.5.254 1000",
// "arp 192.168.1.10 from 192.168.1.10", "del ...", "sleep 1000", "list").
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/hostnet/HostNetwork.h"
#include "core/base/AddressText.h"

namespace orvanta::hostnet {

inline uint32_t Ip(const char* text) {
    uint32_t a = 0;
    ParseIpv4(text, a);
    return a;
}

class FakeHostNetwork : public HostNetwork {
public:
    // What ListAdapters returns; aliases added through AddAlias show up on
    // the adapter with their index (as the kernel would list them) unless
    // hideAddedAliases is set.
    AdapterList listing{true, false, {}, {}};
    // Listings to return first, one per call, before `listing` takes over.
    std::deque<AdapterList> listingQueue;
    bool hideAddedAliases = false;

    std::set<uint32_t> duplicates;                // CheckDuplicate says Duplicate
    std::map<uint32_t, AliasResult> addResults;   // AddAlias result by address
    AliasResult addResultForAll{AliasStatus::Ok, {}};
    AliasStatus duplicateCheckFailure = AliasStatus::Ok;  // non-Ok: the check fails so
    AliasStatus removeFailure = AliasStatus::Ok;          // non-Ok: every removal fails so

    // ARP: answers per target, consumed one per request; then the owner's MAC
    // from arpOwners, else "no device answered".
    std::map<uint32_t, std::deque<ArpReply>> arpScript;
    std::map<uint32_t, std::array<uint8_t, 6>> arpOwners;

    DialUpAccount dialUp;

    std::vector<std::string> calls;
    std::vector<AliasContext> present;  // aliases on the adapter now

    AdapterList ListAdapters() override {
        calls.push_back("list");
        AdapterList result;
        if (!listingQueue.empty()) {
            result = listingQueue.front();
            listingQueue.pop_front();
        } else {
            result = listing;
        }
        if (result.ok && !hideAddedAliases)
            for (const auto& alias : present)
                for (auto& adapter : result.adapters)
                    if (adapter.index == alias.ifIndex) adapter.addresses.push_back({alias.address, alias.mask});
        return result;
    }

    AliasResult AddAlias(const AliasContext& alias) override {
        calls.push_back("add " + Cidr(alias) + " if" + std::to_string(alias.ifIndex));
        const auto it = addResults.find(alias.address);
        const AliasResult r = it != addResults.end() ? it->second : addResultForAll;
        if (r.ok()) present.push_back(alias);
        return r;
    }

    AliasResult RemoveAlias(const AliasContext& alias) override {
        calls.push_back("del " + Cidr(alias) + " if" + std::to_string(alias.ifIndex));
        if (removeFailure != AliasStatus::Ok) return {removeFailure, "scripted"};
        for (auto it = present.begin(); it != present.end(); ++it)
            if (*it == alias) {
                present.erase(it);
                return {AliasStatus::Ok, {}};
            }
        return {AliasStatus::NotFound, "not there"};
    }

    DuplicateCheck CheckDuplicate(uint32_t ifIndex, uint32_t address, int windowMs) override {
        calls.push_back("dup " + FormatIpv4(address) + " " + std::to_string(windowMs));
        if (duplicateCheckFailure != AliasStatus::Ok) return {duplicateCheckFailure, "scripted"};
        if (duplicates.count(address)) return {AliasStatus::Duplicate, "claimed"};
        return {AliasStatus::Ok, {}};
    }

    ArpReply SendArp(uint32_t target, uint32_t source) override {
        calls.push_back("arp " + FormatIpv4(target) + " from " + FormatIpv4(source));
        auto it = arpScript.find(target);
        if (it != arpScript.end() && !it->second.empty()) {
            ArpReply r = it->second.front();
            it->second.pop_front();
            return r;
        }
        const auto owner = arpOwners.find(target);
        if (owner != arpOwners.end()) return Answer(owner->second);
        return {ArpStatus::NoAnswer, {}, AliasStatus::Other, "no device answered"};
    }

    DialUpAccount ReadDialUp() override {
        calls.push_back("dialup");
        return dialUp;
    }

    void Sleep(int ms) override { calls.push_back("sleep " + std::to_string(ms)); }

    static ArpReply Answer(const std::array<uint8_t, 6>& mac) {
        return {ArpStatus::Answered, mac, AliasStatus::Ok, {}};
    }

    // The calls that start with `prefix` ("add", "arp", ...), in order.
    std::vector<std::string> CallsOf(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind(prefix + " ", 0) == 0 || c == prefix) out.push_back(c);
        return out;
    }

    static std::string Cidr(const AliasContext& alias) {
        return FormatIpv4(alias.address) + "/" + std::to_string(MaskPrefix(alias.mask));
    }
};

}  // namespace orvanta::hostnet
