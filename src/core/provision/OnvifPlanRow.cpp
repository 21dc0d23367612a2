#include "core/provision/OnvifPlanRow.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "core/base/AddressText.h"

namespace orvanta::provision {

namespace {

bool Fail(std::string& why, std::string text) {
    why = std::move(text);
    return false;
}

bool ParseFlag(std::string_view v, bool& flag) {
    if (v == "1" || v == "true" || v == "yes") flag = true;
    else if (v == "0" || v == "false" || v == "no") flag = false;
    else return false;
    return true;
}

bool IsHostName(std::string_view v) {
    if (v.empty() || v.size() > 253 || v.front() == '-' || v.front() == '.' || v.back() == '.') return false;
    return std::all_of(v.begin(), v.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
    });
}

// "a, b c": items split by commas and blanks; `servers` checks each.
bool ParseList(std::string_view v, bool namesToo, std::vector<std::string>& out, std::string& why) {
    out.clear();
    std::string item;
    const auto flush = [&]() -> bool {
        if (item.empty()) return true;
        uint32_t a = 0;
        if (!ParseIpv4(item, a) && !(namesToo && IsHostName(item) && item.find_first_not_of("0123456789.") != std::string::npos))
            return Fail(why, "'" + item + "' is not an IPv4 address" + (namesToo ? " or host name" : ""));
        out.push_back(item);
        item.clear();
        return true;
    };
    for (const char c : v) {
        if (c == ',' || c == ' ' || c == ';') {
            if (!flush()) return false;
        } else {
            item += c;
        }
    }
    if (!flush()) return false;
    if (out.size() > 8) return Fail(why, "more than eight servers");
    return true;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& i : items) text += (text.empty() ? "" : ",") + i;
    return text;
}

std::string AddressText(const onvif::OnvifIpv4& ip) {
    return ip.dhcp ? "dhcp" : ip.address + "/" + std::to_string(ip.prefix);
}

// The addressing the row wants, with what it leaves taken from the camera.
onvif::OnvifIpv4 PlannedIpv4(const OnvifPlan& plan, const onvif::OnvifIpv4& current) {
    onvif::OnvifIpv4 ip = current;
    if (plan.dhcp) ip.dhcp = *plan.dhcp;
    if (plan.ipAddress) {
        ip.dhcp = false;
        ip.address = *plan.ipAddress;
    }
    if (plan.prefix) ip.prefix = *plan.prefix;
    return ip;
}

bool TouchesAddressing(const OnvifPlan& plan) { return plan.dhcp || plan.ipAddress || plan.prefix; }

bool SameAddressing(const onvif::OnvifIpv4& a, const onvif::OnvifIpv4& b) {
    return a.dhcp == b.dhcp && (a.dhcp || (a.address == b.address && a.prefix == b.prefix));
}

}  // namespace

const std::vector<std::string>& OnvifPlanKeys() {
    static const std::vector<std::string> keys = {"ip_address", "prefix", "dhcp", "gateway",
                                                  "dns", "ntp", "hostname", "sync_time",
                                                  "firmware_file", "firmware_version"};
    return keys;
}

bool IsOnvifPlanKey(std::string_view key) {
    const auto& k = OnvifPlanKeys();
    return std::find(k.begin(), k.end(), key) != k.end();
}

bool ApplyOnvifCell(std::string_view key, std::string_view value, OnvifPlan& plan, std::string& why) {
    uint32_t a = 0;
    if (key == "ip_address") {
        if (!ParseIpv4(value, a)) return Fail(why, "not an IPv4 address a.b.c.d");
        plan.ipAddress = std::string(value);
    } else if (key == "prefix") {
        int p = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), p);
        if (value.empty() || ec != std::errc() || end != value.data() + value.size() || p < 1 || p > 30)
            return Fail(why, "not a prefix length from 1 to 30");
        plan.prefix = p;
    } else if (key == "dhcp" || key == "sync_time") {
        bool flag = false;
        if (!ParseFlag(value, flag)) return Fail(why, "not 1 or 0");
        if (key == "dhcp") plan.dhcp = flag;
        else plan.syncTime = flag;
    } else if (key == "gateway") {
        // A JSON "" asks for no gateway at all.
        if (!value.empty() && !ParseIpv4(value, a)) return Fail(why, "not an IPv4 address a.b.c.d");
        plan.gateway = std::string(value);
    } else if (key == "dns" || key == "ntp") {
        std::vector<std::string> list;
        if (!ParseList(value, key == "ntp", list, why)) return false;
        (key == "dns" ? plan.dns : plan.ntp) = list;
    } else if (key == "hostname") {
        if (!IsHostName(value)) return Fail(why, "not a host name (letters, digits, '-' and '.')");
        plan.hostname = std::string(value);
    } else if (key == "firmware_file" || key == "firmware_version") {
        // Whether the file is one that may be sent is checked once its
        // folder is known (ResolveFirmwareFiles).
        if (value.empty() || value.size() > (key == "firmware_file" ? 4096u : 64u) ||
            std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            return Fail(why, key == "firmware_file" ? "not a file name" : "not a version (at most 64 characters)");
        (key == "firmware_file" ? plan.firmwareFile : plan.firmwareVersion) = std::string(value);
    } else {
        return Fail(why, "not a setting of ONVIF cameras");
    }
    return true;
}

void CheckOnvifAddressing(const OnvifPlan& plan, const std::string& where, std::vector<std::string>& problems) {
    if (plan.firmwareVersion && !plan.firmwareFile)
        problems.push_back(where + ": firmware_version needs the firmware_file that brings it");
    if (plan.dhcp && *plan.dhcp && (plan.ipAddress || plan.prefix))
        problems.push_back(where + ": dhcp 1 and a fixed ip_address/prefix at once");
    uint32_t address = 0, gateway = 0;
    if (!plan.ipAddress || !plan.prefix || !ParseIpv4(*plan.ipAddress, address)) return;
    const uint32_t mask = PrefixMask(*plan.prefix);  // network order, as ParseIpv4 gives
    const uint32_t host = address & ~mask;
    if (host == 0 || host == ~mask)
        problems.push_back(where + ": ip_address " + *plan.ipAddress + " is not a host of its subnet /" +
                           std::to_string(*plan.prefix));
    if (plan.gateway && !plan.gateway->empty() && ParseIpv4(*plan.gateway, gateway) &&
        ((gateway & mask) != (address & mask) || gateway == address))
        problems.push_back(where + ": gateway " + *plan.gateway + " is not another host of " + *plan.ipAddress + "/" +
                           std::to_string(*plan.prefix));
}

onvif::OnvifChange OnvifChangeFor(const OnvifPlan& plan, const onvif::OnvifDeviceState& current,
                                  std::vector<OnvifFieldChange>& changes) {
    onvif::OnvifChange change;
    changes.clear();
    if (TouchesAddressing(plan)) {
        const onvif::OnvifIpv4 want = PlannedIpv4(plan, current.ipv4);
        if (!SameAddressing(want, current.ipv4)) {
            change.ipv4 = want;
            changes.push_back({"ipv4", AddressText(current.ipv4), AddressText(want)});
        }
    }
    if (plan.gateway && *plan.gateway != current.gateway) {
        change.gateway = *plan.gateway;
        changes.push_back({"gateway", current.gateway, *plan.gateway});
    }
    if (plan.dns && *plan.dns != current.dns) {
        change.dns = *plan.dns;
        changes.push_back({"dns", Joined(current.dns), Joined(*plan.dns)});
    }
    if (plan.ntp && *plan.ntp != current.ntp) {
        change.ntp = *plan.ntp;
        changes.push_back({"ntp", Joined(current.ntp), Joined(*plan.ntp)});
    }
    // Servers serve only a clock kept by NTP: one kept by hand is switched,
    // and reads back as switched before the row is done.
    if (plan.ntp && !plan.ntp->empty() && !current.time.ntp) {
        change.ntp = *plan.ntp;
        changes.push_back({"clock", "manual", "NTP"});
    }
    if (plan.hostname && *plan.hostname != current.hostname) {
        change.hostname = *plan.hostname;
        changes.push_back({"hostname", current.hostname, *plan.hostname});
    }
    if (plan.syncTime && std::llabs(current.time.offsetSeconds) >= 2) {
        change.syncTime = true;
        changes.push_back({"time", std::to_string(current.time.offsetSeconds) + " s off", "the PC's UTC"});
    }
    return change;
}

std::vector<OnvifFieldChange> OnvifMismatches(const OnvifPlan& plan, const onvif::OnvifDeviceState& actual) {
    OnvifPlan noClock = plan;
    noClock.syncTime = false;
    std::vector<OnvifFieldChange> wrong;
    OnvifChangeFor(noClock, actual, wrong);
    // Read back: `before` is what the camera holds, `after` what was planned.
    return wrong;
}

}  // namespace orvanta::provision
