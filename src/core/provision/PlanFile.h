// A plan: one row per camera, found by its MAC, its serial number or (for
// a plan made from `read --format csv`) the address it answers on, with the
// settings to give it. A row with `kind` onvif is another maker's camera
// (see OnvifPlanRow.h), found by its endpoint reference, MAC or address; one
// plan may mix both kinds. Read from CSV (a header of keys, one camera a line)
// or JSON (an array of objects with the same keys), and checked whole before
// anything is sent, so a plan with a fault names every fault at once.
//
// Only the fields a row names change. An empty CSV cell, like a JSON null or
// a missing key, names nothing: a CSV cannot ask for an empty text, a JSON
// plan can ("").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/provision/OnvifPlanRow.h"
#include "core/provision/PlanFields.h"
#include "core/settings/CameraSettings.h"

namespace orvanta::provision {

struct PlannedValue {
    const PlanField* field = nullptr;
    std::string text;
};

enum class CameraKind { Native, Onvif };

struct PlanRow {
    std::string where;    // "line 3" (CSV) or "row 2" (JSON), for messages
    CameraKind kind = CameraKind::Native;
    std::string uuid;     // ONVIF: the endpoint reference "urn:uuid:...", or empty
    std::string mac;      // "00:0E:53:1A:2B:3C" (upper case) or empty
    std::string serial;   // or empty
    std::string address;  // the address it answers on now, or empty
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::vector<PlannedValue> values;  // in column order (our cameras)
    OnvifPlan onvif;                   // what an ONVIF row sets

    // How the row names its camera, for reports: the uuid, else the MAC,
    // else the serial, else the address.
    std::string Name() const;
};

struct Plan {
    std::vector<PlanRow> rows;
};

// Parses and checks `text` (JSON when it starts with '[' or '{' after
// blanks, else CSV). False with every problem listed otherwise: an unknown
// column, a bad value, a row without MAC, serial or address, two rows for
// one camera, two cameras given one address, an address that is not a host
// of its subnet, a gateway outside it.
bool ReadPlan(std::string_view text, Plan& plan, std::vector<std::string>& problems);

// The camera's settings as `row` wants them: `current` with the planned
// values put in. Returns the keys whose value differs from `current`, in
// the row's order.
std::vector<const PlanField*> ApplyRow(const PlanRow& row, const CameraSettings& current, CameraSettings& planned);

// The planned fields whose value in `actual` is not the planned one.
std::vector<const PlanField*> Mismatches(const PlanRow& row, const CameraSettings& actual);

}  // namespace orvanta::provision
