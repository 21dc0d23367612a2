#include "core/provision/PlanFile.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>

#include "core/base/AddressText.h"
#include "core/base/MacAddress.h"
#include "core/onvif/search/OnvifDeviceList.h"
#include "core/provision/PlanTable.h"
#include "core/settings/FixedField.h"

namespace orvanta::provision {

namespace {

bool LooksLikeJson(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && (text[first] == '[' || text[first] == '{');
}

bool IsKnownColumn(std::string_view key) {
    return key == "kind" || key == "mac" || key == "serial" || key == "address" || key == "uuid" || key == "user" ||
           key == "password" || FindPlanField(key) || IsReportedOnlyKey(key) || IsOnvifPlanKey(key);
}

// The row's kind from its `kind` cell: empty or "native" for our cameras.
std::optional<CameraKind> KindOf(const PlanTableRow& raw, std::vector<std::string>& problems) {
    for (const auto& [key, value] : raw.cells) {
        if (key != "kind" || !value || value->empty() || *value == "native") continue;
        if (*value == "onvif") return CameraKind::Onvif;
        problems.push_back(raw.where + ": kind '" + *value + "' is neither native nor onvif");
        return std::nullopt;
    }
    return CameraKind::Native;
}

// Fills one row from its cells; every fault goes to `problems`.
PlanRow CheckRow(const PlanTableRow& raw, std::set<std::string>& unknown, std::vector<std::string>& problems) {
    PlanRow row;
    row.where = raw.where;
    const std::optional<CameraKind> kind = KindOf(raw, problems);
    // Which columns belong to a row of no known kind cannot be said.
    if (!kind) return row;
    row.kind = *kind;
    const bool onvif = row.kind == CameraKind::Onvif;
    CameraSettings scratch;
    bool named = false;  // a bad MAC is its own fault, not also "names no camera"
    for (const auto& [key, value] : raw.cells) {
        if ((key == "mac" || key == "serial" || key == "address" || key == "uuid") && value) named = true;
        if (!IsKnownColumn(key)) {
            unknown.insert(key);
            continue;
        }
        // A mixed plan has one header for both kinds: a cell of the other
        // kind's column is fine as long as it is empty.
        const bool ours = key == "kind" || key == "mac" || key == "address" || key == "user" || key == "password" ||
                          (onvif ? key == "uuid" || IsOnvifPlanKey(key)
                                 : key == "serial" || FindPlanField(key) || IsReportedOnlyKey(key));
        if (!ours) {
            if (value && !value->empty())
                problems.push_back(raw.where + ": " + key + (onvif ? " is not used for ONVIF cameras (kind onvif)"
                                                                   : " is for ONVIF cameras only (kind onvif)"));
            continue;
        }
        if (key == "kind") continue;
        if (key == "mac") {
            const std::optional<MacAddress> mac = value ? MacAddress::Parse(*value) : std::nullopt;
            if (value && !mac)
                problems.push_back(raw.where + ": mac '" + *value + "' is not six hexadecimal pairs aa:bb:cc:dd:ee:ff");
            else if (mac)
                // Our own cameras' records spell theirs in capitals.
                row.mac = onvif ? mac->Text() : FormatMac(mac->Bytes(), MacCase::Upper);
        } else if (key == "serial") {
            row.serial = value.value_or("");
        } else if (key == "uuid") {
            if (!value) continue;
            // A bare uuid is the common way to write one.
            row.uuid = onvif::CanonicalEndpoint(*value);
            if (value->empty() || value->size() > 256 ||
                std::any_of(value->begin(), value->end(),
                            [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7f; }))
                problems.push_back(raw.where + ": uuid '" + *value + "' is not an endpoint reference");
        } else if (key == "address") {
            uint32_t a = 0;
            if (value && !ParseIpv4(*value, a))
                problems.push_back(raw.where + ": address '" + *value + "' is not an IPv4 address");
            else if (value)
                row.address = *value;
        } else if (key == "user") {
            if (value) row.user = *value;
        } else if (key == "password") {
            if (value) row.password = *value;
        } else if (onvif) {
            if (!value) continue;
            std::string why;
            if (!ApplyOnvifCell(key, *value, row.onvif, why))
                problems.push_back(raw.where + ": " + key + " '" + *value + "': " + why);
        } else if (const PlanField* field = FindPlanField(key)) {
            if (!value) continue;
            std::string why;
            if (!field->apply(*value, scratch, why))
                problems.push_back(raw.where + ": " + key + " '" + *value + "': " + why);
            else
                row.values.push_back({field, *value});
        }
    }
    for (const char* credential : {"user", "password"}) {
        const auto& v = std::string(credential) == "user" ? row.user : row.password;
        if (v && v->size() > 63) problems.push_back(raw.where + ": " + credential + " is longer than 63 bytes");
    }
    if (!named)
        problems.push_back(raw.where + (onvif ? ": names no camera (give uuid, mac or address)"
                                              : ": names no camera (give mac, serial or address)"));
    if (onvif) CheckOnvifAddressing(row.onvif, row.where, problems);
    if (onvif) CheckOnvifStreamAndUser(row.onvif, row.where, problems);
    return row;
}

const PlannedValue* Planned(const PlanRow& row, std::string_view key) {
    for (const PlannedValue& v : row.values)
        if (v.field->key == key) return &v;
    return nullptr;
}

// What the row alone says about its addressing: only the fields it names,
// with fixed addressing assumed when it names an address but no mode. The
// camera's own values are checked again after it has been read.
void CheckRowAddressing(const PlanRow& row, std::vector<std::string>& problems) {
    CameraSettings s;
    s.IPType = s.WIPType = 0;
    for (const auto& [ip, mask, type, mode] :
         {std::array<const char*, 4>{"ip_address", "netmask", "ip_type", "wired"},
          std::array<const char*, 4>{"wireless_ip_address", "wireless_netmask", "wireless_ip_type", "wireless"}}) {
        if (!Planned(row, ip) || !Planned(row, mask)) continue;
        const PlannedValue* t = Planned(row, type);
        if (t && t->text != "1") continue;
        std::string why;
        for (const PlannedValue& v : row.values) v.field->apply(v.text, s, why);
        (std::string(mode) == "wired" ? s.IPType : s.WIPType) = 1;
    }
    CheckAddressing(s, row.where, problems);
}

}  // namespace

std::string PlanRow::Name() const {
    if (!uuid.empty()) return uuid;
    if (!mac.empty()) return mac;
    if (!serial.empty()) return serial;
    return address;
}

bool ReadPlan(std::string_view text, Plan& plan, std::vector<std::string>& problems) {
    plan = {};
    std::vector<PlanTableRow> raw;
    std::string why;
    const bool json = LooksLikeJson(text);
    if (!(json ? ReadJsonTable(text, raw, why) : ReadCsvTable(text, raw, why))) {
        problems.push_back(why);
        return false;
    }
    if (!json && !raw.empty()) {
        std::set<std::string> seen;
        for (const auto& cell : raw.front().cells)
            if (!seen.insert(cell.first).second) problems.push_back("column '" + cell.first + "' is given twice");
    }
    std::set<std::string> unknown;
    for (const PlanTableRow& r : raw) {
        plan.rows.push_back(CheckRow(r, unknown, problems));
        if (plan.rows.back().kind == CameraKind::Native) CheckRowAddressing(plan.rows.back(), problems);
    }
    for (const std::string& key : unknown) problems.push_back("unknown column '" + key + "'");
    if (plan.rows.empty()) problems.push_back("the plan names no camera");

    // One camera, one row; one address, one camera.
    std::map<std::string, std::string> byKey;
    const auto claim = [&](const std::string& kind, const std::string& value, const PlanRow& row,
                           const std::string& fault) {
        if (value.empty()) return;
        const auto [it, fresh] = byKey.emplace(kind + "\n" + value, row.where);
        if (!fresh) problems.push_back(row.where + ": " + fault + " as " + it->second + " (" + value + ")");
    };
    for (const PlanRow& row : plan.rows) {
        claim("mac", row.mac, row, "names the same camera");
        claim("serial", row.serial, row, "names the same camera");
        claim("uuid", row.uuid, row, "names the same camera");
        claim("address", row.address, row, "names the same camera");
        for (const char* key : {"ip_address", "wireless_ip_address"})
            if (const PlannedValue* v = Planned(row, key); v && !v->text.empty())
                claim("new", v->text, row, "gives the same address");
        if (row.onvif.ipAddress) claim("new", *row.onvif.ipAddress, row, "gives the same address");
    }
    return problems.empty();
}

std::vector<const PlanField*> ApplyRow(const PlanRow& row, const CameraSettings& current, CameraSettings& planned) {
    planned = current;
    std::vector<const PlanField*> changed;
    for (const PlannedValue& v : row.values) {
        std::string why;
        v.field->apply(v.text, planned, why);  // checked when the plan was read
        if (v.field->text(planned) != v.field->text(current)) changed.push_back(v.field);
    }
    return changed;
}

std::vector<const PlanField*> Mismatches(const PlanRow& row, const CameraSettings& actual) {
    CameraSettings planned;
    return ApplyRow(row, actual, planned);
}

}  // namespace orvanta::provision
