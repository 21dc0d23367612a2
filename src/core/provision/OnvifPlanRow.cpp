#include "core/provision/OnvifPlanRow.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <map>

#include <sys/stat.h>

#include "core/base/AddressText.h"
#include "core/onvif/device/StreamCheck.h"
#include "core/onvif/device/UserAccounts.h"

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

bool WholeCell(std::string_view v, int high, int& out) {
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
    return !v.empty() && ec == std::errc() && end == v.data() + v.size() && out >= 1 && out <= high;
}

// The stream and user columns; false with `why` for a bad value or a key
// that is none of them.
bool ApplyStreamOrUserCell(std::string_view key, std::string_view value, OnvifPlan& plan, std::string& why) {
    const auto stream = [&]() -> onvif::OnvifStreamChange& {
        if (!plan.stream) plan.stream = onvif::OnvifStreamChange{};
        return *plan.stream;
    };
    int n = 0;
    if (key == "profile") {
        if (value.empty() || value.size() > 64) return Fail(why, "not a profile token or number");
        stream().profile = std::string(value);
    } else if (key == "encoding") {
        if (value != "H264" && value != "H265" && value != "JPEG") return Fail(why, "not H264, H265 or JPEG");
        stream().encoding = std::string(value);
    } else if (key == "resolution") {
        std::pair<int, int> r;
        if (!onvif::ParseResolution(std::string(value), r)) return Fail(why, "not WIDTHxHEIGHT such as 1920x1080");
        stream().resolution = r;
    } else if (key == "fps" || key == "bitrate" || key == "gop") {
        const int high = key == "fps" ? 240 : key == "bitrate" ? 1000000 : 10000;
        if (!WholeCell(value, high, n)) return Fail(why, "not a whole number from 1 to " + std::to_string(high));
        (key == "fps" ? stream().fps : key == "bitrate" ? stream().bitrateKbps : stream().gop) = n;
    } else if (key == "quality") {
        double q = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), q);
        if (value.empty() || ec != std::errc() || end != value.data() + value.size() || q < 0 || q > 100)
            return Fail(why, "not a number such as 5");
        stream().quality = q;
    } else if (key == "add_user") {
        if (value.empty() || value.size() > 64 || value.find_first_of(" \t") != std::string_view::npos)
            return Fail(why, "not a user name (1 to 64 characters, no blanks)");
        plan.addUser = std::string(value);
    } else if (key == "user_level") {
        if (!onvif::IsSettableUserLevel(std::string(value))) return Fail(why, "not Administrator, Operator or User");
        plan.userLevel = std::string(value);
    } else if (key == "user_password_file") {
        if (value.empty() || value.size() > 4096) return Fail(why, "not a file name");
        plan.userPasswordFile = std::string(value);
    } else {
        return Fail(why, "not a setting of ONVIF cameras");
    }
    return true;
}

// The first line of a password file: a regular file of at most 4 KiB.
bool ReadFirstLine(const std::string& path, std::string& line, std::string& why) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return Fail(why, "cannot read " + path);
    if (st.st_size > 4096) return Fail(why, path + " is larger than 4 KiB; a password file holds one line");
    std::ifstream in(path, std::ios::binary);
    if (!in || !std::getline(in, line)) return Fail(why, "cannot read " + path);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) return Fail(why, path + " holds no password on its first line");
    return true;
}

}  // namespace

void CheckOnvifStreamAndUser(const OnvifPlan& plan, const std::string& where, std::vector<std::string>& problems) {
    if (plan.stream && plan.stream->profile.empty())
        problems.push_back(where + ": encoding, resolution, fps, bitrate, gop and quality need a profile");
    if (plan.addUser && !plan.userPasswordFile)
        problems.push_back(where + ": add_user needs user_password_file (a plan never holds the password)");
    if (!plan.addUser && (plan.userLevel || plan.userPasswordFile))
        problems.push_back(where + ": user_level and user_password_file go with add_user");
}

void ReadUserPasswordFiles(std::vector<OnvifPlan*> plans, const std::string& planFolder,
                           std::vector<std::string>& problems) {
    std::map<std::string, std::string> read;   // one file for many rows is read once
    for (OnvifPlan* plan : plans) {
        if (!plan->userPasswordFile) continue;
        std::string path = *plan->userPasswordFile;
        if (path.front() != '/' && !planFolder.empty()) path = planFolder + "/" + path;
        if (const auto it = read.find(path); it != read.end()) {
            plan->userPassword = it->second;
            continue;
        }
        std::string line, why;
        if (!ReadFirstLine(path, line, why)) {
            problems.push_back("user_password_file: " + why);
            read[path] = "";
            continue;
        }
        read[path] = plan->userPassword = line;
    }
}

const std::vector<std::string>& OnvifPlanKeys() {
    static const std::vector<std::string> keys = {
        "ip_address", "prefix", "dhcp", "gateway", "dns", "ntp", "hostname", "sync_time", "profile", "encoding",
        "resolution", "fps", "bitrate", "gop", "quality", "add_user", "user_level", "user_password_file",
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
    } else if (!ApplyStreamOrUserCell(key, value, plan, why)) {
        return false;
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
    if (plan.stream) {
        // A profile the camera lacks is sent as asked: the service refuses
        // it, naming the profiles there are.
        std::string why;
        const onvif::OnvifProfile* profile = onvif::FindProfile(current.profiles, plan.stream->profile, why);
        if (!profile || !profile->encoder) {
            change.streams.push_back(*plan.stream);
            changes.push_back({"stream " + plan.stream->profile, "", "(no such profile)"});
        } else if (const onvif::OnvifVideoEncoder wanted = onvif::WithStreamChange(*profile->encoder, *plan.stream);
                   onvif::EncoderText(wanted) != onvif::EncoderText(*profile->encoder)) {
            change.streams.push_back(*plan.stream);
            changes.push_back({"stream " + profile->token, onvif::EncoderText(*profile->encoder), onvif::EncoderText(wanted)});
        }
    }
    if (plan.addUser) {
        // The camera's users are not part of a read: the user is always
        // sent (added, or given the planned level and password when it is
        // there already), and read back by listing.
        change.users.push_back({onvif::OnvifUserChange::Kind::Add, *plan.addUser, plan.userLevel.value_or("User"),
                                plan.userPassword});
        changes.push_back({"add_user", "", *plan.addUser + " (" + plan.userLevel.value_or("User") + ")"});
    }
    return change;
}

std::vector<OnvifFieldChange> OnvifMismatches(const OnvifPlan& plan, const onvif::OnvifDeviceState& actual) {
    OnvifPlan noClock = plan;
    noClock.syncTime = false;
    // Users were read back by listing them in the service.
    noClock.addUser.reset();
    std::vector<OnvifFieldChange> wrong;
    OnvifChangeFor(noClock, actual, wrong);
    // Read back: `before` is what the camera holds, `after` what was planned.
    return wrong;
}

}  // namespace orvanta::provision
