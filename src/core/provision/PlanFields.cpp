#include "core/provision/PlanFields.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <iterator>

#include "core/settings/CameraKeys.h"
#include "core/settings/FixedField.h"
#include "core/base/AddressText.h"

namespace orvanta::provision {

namespace {

bool Fail(std::string& why, std::string text) {
    why = std::move(text);
    return false;
}

// Camera text goes into a form field: control characters would break the
// request line, and a field holds at most N-1 bytes.
bool CheckText(const CameraKey& k, std::string_view t, std::string& why) {
    if (t.size() > k.field.size - 1) return Fail(why, "longer than " + std::to_string(k.field.size - 1) + " bytes");
    if (std::any_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        return Fail(why, "holds a control character");
    return true;
}

bool CheckAddress(const CameraKey& k, std::string_view t, std::string& why) {
    if (t.empty() && k.column.plan == PlanUse::Set) return true;
    uint32_t a = 0;
    if (!ParseIpv4(t, a)) return Fail(why, "not an IPv4 address a.b.c.d");
    if (k.column.plan == PlanUse::SetMask && (MaskPrefix(a) < 1 || MaskPrefix(a) > 30))
        return Fail(why, "not a subnet mask from /1 to /30");
    return true;
}

bool ApplyNumber(const CameraKey& k, std::string_view t, CameraSettings& s, std::string& why) {
    const long long low = k.kind == KeyKind::Flag ? 0 : k.column.low;
    const long long high = k.kind == KeyKind::Flag ? 1 : k.column.high;
    long long v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || v < low || v > high)
        return Fail(why, "not a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    SetFieldNumber(s, k, v);
    return true;
}

// The fields CheckAddressing reads.
bool IsAddressing(const CameraKey& k) {
    static constexpr std::size_t kRead[] = {
        offsetof(CameraSettings, IPType),  offsetof(CameraSettings, IPAddr),   offsetof(CameraSettings, Netmask),
        offsetof(CameraSettings, Gateway), offsetof(CameraSettings, WIPType),  offsetof(CameraSettings, WIPAddr),
        offsetof(CameraSettings, WNetmask), offsetof(CameraSettings, WGateway)};
    return std::find(std::begin(kRead), std::end(kRead), k.field.offset) != std::end(kRead);
}

PlanField FieldOf(const CameraKey& k) {
    const bool number = k.kind == KeyKind::Number || k.kind == KeyKind::Flag;
    if (number)
        return {k.column.name,
                [&k](std::string_view t, CameraSettings& s, std::string& why) { return ApplyNumber(k, t, s, why); },
                [&k](const CameraSettings& s) { return std::to_string(FieldNumberOf(s, k)); }, IsAddressing(k)};
    const bool address = k.kind == KeyKind::Address || k.kind == KeyKind::Mask;
    return {k.column.name,
            [&k, address](std::string_view t, CameraSettings& s, std::string& why) {
                if (!(address ? CheckAddress(k, t, why) : CheckText(k, t, why))) return false;
                CopyToField(FieldBytes(s, k), k.field.size, t);
                return true;
            },
            [&k](const CameraSettings& s) { return std::string(FieldTextOf(s, k)); }, IsAddressing(k)};
}

// One mode: 0 DHCP, 1 fixed (2 PPPoE on the wired side).
void CheckOne(const char* label, uint8_t type, std::string_view ip, std::string_view mask, std::string_view gateway,
              const std::string& where, std::vector<std::string>& problems) {
    if (type != 1) return;
    uint32_t a = 0, m = 0, g = 0;
    if (!ParseIpv4(ip, a) || !ParseIpv4(mask, m) || MaskPrefix(m) < 1 || MaskPrefix(m) > 30) {
        problems.push_back(where + ": " + label + " address '" + std::string(ip) + "' with mask '" + std::string(mask) +
                           "' is not a fixed address and subnet mask");
        return;
    }
    const uint32_t host = ntohl(a), hmask = ntohl(m);
    if ((host & ~hmask) == 0 || (host & ~hmask) == ~hmask)
        problems.push_back(where + ": " + label + " address " + std::string(ip) + " is not a host of its subnet /" +
                           std::to_string(MaskPrefix(m)));
    if (gateway.empty()) return;
    if (!ParseIpv4(gateway, g)) {
        problems.push_back(where + ": " + label + " gateway '" + std::string(gateway) + "' is not an IPv4 address");
        return;
    }
    if ((ntohl(g) & hmask) != (host & hmask) || g == a)
        problems.push_back(where + ": " + label + " gateway " + std::string(gateway) + " is not another host of " +
                           std::string(ip) + "/" + std::to_string(MaskPrefix(m)));
}

}  // namespace

const std::vector<PlanField>& PlanFields() {
    static const std::vector<PlanField> fields = [] {
        std::vector<PlanField> settable;
        for (const CameraKey& k : CameraKeys())
            if (k.column.plan != PlanUse::None && k.column.plan != PlanUse::Reported) settable.push_back(FieldOf(k));
        return settable;
    }();
    return fields;
}

const PlanField* FindPlanField(std::string_view key) {
    for (const PlanField& f : PlanFields())
        if (f.key == key) return &f;
    return nullptr;
}

bool IsReportedOnlyKey(std::string_view key) {
    return std::any_of(CameraKeys().begin(), CameraKeys().end(), [key](const CameraKey& k) {
        return k.column.plan == PlanUse::Reported && key == k.column.name;
    });
}

void CheckAddressing(const CameraSettings& s, const std::string& where, std::vector<std::string>& problems) {
    CheckOne("wired", s.IPType, FieldText(s.IPAddr), FieldText(s.Netmask), FieldText(s.Gateway), where, problems);
    CheckOne("wireless", s.WIPType, FieldText(s.WIPAddr), FieldText(s.WNetmask), FieldText(s.WGateway), where,
             problems);
}

}  // namespace orvanta::provision
