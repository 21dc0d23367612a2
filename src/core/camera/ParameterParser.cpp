#include "core/camera/ParameterParser.h"

#include <climits>
#include <cstdint>

#include "core/settings/CameraKeys.h"
#include "core/settings/FixedField.h"

namespace orvanta {

namespace {

bool IsKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool EndsValueNow(std::string_view reply, std::size_t at) {
    return at >= reply.size() || reply[at] == '\r' || reply[at] == '\n';
}

// The camera's text ends at its first NUL, as it would for C string code.
std::string_view AsText(std::string_view reply) { return reply.substr(0, reply.find('\0')); }

// Signed decimal at `at`, blanks first; saturates instead of overflowing.
bool ParseNumber(std::string_view text, std::size_t at, int32_t& value) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    if (at >= text.size() || text[at] < '0' || text[at] > '9') return false;
    int64_t v = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (v <= INT64_C(1) << 32) v = v * 10 + (text[at] - '0');
    }
    if (negative) v = -v;
    value = static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
    return true;
}

bool ExtractNumber(int32_t& value, std::string_view key, std::string_view reply) {
    reply = AsText(reply);
    const std::size_t at = FindKey(reply, key);
    if (at == std::string_view::npos || EndsValueNow(reply, at)) return false;
    return ParseNumber(reply, at, value);
}

}  // namespace

std::size_t FindKey(std::string_view reply, std::string_view key) {
    if (key.empty()) return std::string_view::npos;
    std::size_t from = 0;
    while (true) {
        const std::size_t pos = reply.find(key, from);
        if (pos == std::string_view::npos) return pos;
        if (pos == 0 || !IsKeyChar(reply[pos - 1])) return pos + key.size();
        from = pos + 1;
    }
}

bool ExtractValue(uint8_t& field, std::string_view key, std::string_view reply) {
    int32_t v = 0;
    if (!ExtractNumber(v, key, reply)) return false;
    field = static_cast<uint8_t>(static_cast<uint32_t>(v) & 0xFF);
    return true;
}

bool ExtractValue(int32_t& field, std::string_view key, std::string_view reply) {
    return ExtractNumber(field, key, reply);
}

bool ExtractValue(uint32_t& field, std::string_view key, std::string_view reply) {
    int32_t v = 0;
    if (!ExtractNumber(v, key, reply)) return false;
    field = static_cast<uint32_t>(v);
    return true;
}

bool ExtractValue(char* field, std::size_t width, std::string_view key, std::string_view reply) {
    reply = AsText(reply);
    const std::size_t at = FindKey(reply, key);
    if (at == std::string_view::npos || EndsValueNow(reply, at)) return false;
    std::size_t end = at;
    while (end < reply.size() && reply[end] != '\r' && reply[end] != '\n') ++end;
    CopyToField(field, width, reply.substr(at, end - at));
    return true;
}

void ParseParameters(CameraSettings& s, std::string_view reply, ParameterGroup group) {
    for (const CameraKey& k : CameraKeys()) {
        if (k.camera.group != group || !(k.camera.access & kKeyRead)) continue;
        const std::string key = std::string(k.camera.key) + "=";
        char* field = FieldBytes(s, k);
        switch (k.field.type) {
            case FieldType::Chars:
                // A text key the camera left out reads as empty.
                field[0] = '\0';
                ExtractValue(field, k.field.size, key, reply);
                break;
            case FieldType::U8:
            case FieldType::I32:
            case FieldType::U32: {
                int32_t v = 0;
                // A one-byte field keeps the low 8 bits.
                if (ExtractNumber(v, key, reply)) SetFieldNumber(s, k, v);
                break;
            }
            case FieldType::Bytes6:
                break;
        }
    }
}

}  // namespace orvanta
