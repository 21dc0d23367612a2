// The one table of the record's fields as text: the camera key each field
// travels under (the "Key=value" items of the camera's parameter pages and
// the query parameters of a save), the column a read prints it in, and what a
// plan file may do with it. The reply parser, the save's query writer, the
// settings file, the read's CSV/JSON columns, the plan's keys and the save's
// required fields are all walked off this table; nothing else names a record
// field's camera key by text. (The WPS status reply's own keys, which fill no
// record field, stay with WpsRequest.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/ParameterGroup.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// How the record stores a field, taken from the member's own type.
enum class FieldType : uint8_t { Chars, U8, I32, U32, Bytes6 };

// What a field holds. Text, Address and Mask go to and from the camera as
// text, Number and Flag as signed decimals. Ipv4 (network byte order) and
// Mac are binary fields of the record that no camera page carries.
enum class KeyKind : uint8_t { Text, Address, Mask, Number, Flag, Ipv4, Mac };

enum KeyAccess : uint8_t { kNotExchanged = 0, kKeyRead = 1, kKeyWrite = 2, kKeyReadWrite = 3 };

// A value the camera is sent as something else than the field holds.
enum class SentAs : uint8_t {
    Field,
    // The full network form sends the address type as 3 when the user chose
    // the wireless link (LinkWireless = 1); the short form always sends the field.
    WirelessLinkType,
};

// What a plan file may do with a read's column.
enum class PlanUse : uint8_t {
    None,         // no column
    Reported,     // read prints it; a plan may name it and is ignored
    Set,          // a plan sets it; an address may be left empty
    SetRequired,  // a plan sets it to an address, never empty
    SetMask,      // a plan sets it to a subnet mask from /1 to /30
};

struct RecordField {
    const char* name;  // the member's name, also the settings file's
    std::size_t offset;
    std::size_t size;
    FieldType type;
};

struct CameraSide {
    ParameterGroup group = ParameterGroup::None;
    const char* key = nullptr;  // without "="
    KeyAccess access = kNotExchanged;
    // Position in its group's query: the camera takes the items in this order.
    int sendAt = 0;
    bool shortForm = false;  // the short network form sends it too
    SentAs sentAs = SentAs::Field;
};

struct ColumnSide {
    const char* name = nullptr;  // snake_case, published: never renamed
    bool secret = false;         // printed only when secrets are asked for
    PlanUse plan = PlanUse::None;
    long long low = 0, high = 0;  // a planned Number's range (a Flag's is 0..1)
};

struct CameraKey {
    RecordField field;
    KeyKind kind;
    CameraSide camera;
    ColumnSide column;
};

// Every row: the read's columns first, in the order read prints them, then
// the fields that have no column.
const std::vector<CameraKey>& CameraKeys();

// Every row in record order (by offset), as the settings file lists them.
const std::vector<const CameraKey*>& CameraKeysInRecordOrder();

// The rows a write of `group` sends (ParameterGroup::NetworkShort for the short
// network form), in the camera's order. Empty for a group without a write.
std::vector<const CameraKey*> KeysSentBy(ParameterGroup group);

// The record fields the writes of `groups` depend on, each listed once where
// it is first needed, in the order of `groups` and the camera's order within.
std::vector<std::string> FieldsSentBy(const std::vector<ParameterGroup>& groups);

// The number a write of `group` sends for a Number or Flag row.
long SentNumber(const CameraSettings& settings, const CameraKey& key, ParameterGroup group);

// Access to the field a row names.
char* FieldBytes(CameraSettings& settings, const CameraKey& key);
const char* FieldBytes(const CameraSettings& settings, const CameraKey& key);
// A Chars field up to its terminator (or its width, should it lack one).
std::string_view FieldTextOf(const CameraSettings& settings, const CameraKey& key);
// A U8, I32 or U32 field widened.
long long FieldNumberOf(const CameraSettings& settings, const CameraKey& key);
// Stores `value` (already checked against the field's range) into a U8, I32 or U32 field.
void SetFieldNumber(CameraSettings& settings, const CameraKey& key, long long value);

}  // namespace orvanta
