#include "core/i18n/TextEncoding.h"

#include <cstdint>

namespace orvanta {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character at bytes[*pos], advancing *pos. Malformed input
// (overlong forms, surrogates, values past U+10FFFF, cut sequences) gives
// U+FFFD and consumes one byte, so decoding always makes progress.
char32_t DecodeOne(std::string_view bytes, std::size_t* pos, bool* ok) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const std::size_t i = *pos;
    const unsigned char b0 = at(i);
    *ok = true;
    if (b0 < 0x80) {
        *pos = i + 1;
        return b0;
    }
    std::size_t len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2; cp = b0 & 0x1F; min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3; cp = b0 & 0x0F; min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4; cp = b0 & 0x07; min = 0x10000;
    }
    if (len == 0 || i + len > bytes.size()) {
        *ok = false;
        *pos = i + 1;
        return kReplacement;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const unsigned char b = at(i + k);
        if ((b & 0xC0) != 0x80) {
            *ok = false;
            *pos = i + 1;
            return kReplacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        *ok = false;
        *pos = i + 1;
        return kReplacement;
    }
    *pos = i + len;
    return cp;
}

void AppendUtf8(std::string* out, char32_t cp) {
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendUnit(std::string* out, std::uint16_t unit, bool bigEndian) {
    const char hi = static_cast<char>(unit >> 8);
    const char lo = static_cast<char>(unit & 0xFF);
    if (bigEndian) {
        out->push_back(hi);
        out->push_back(lo);
    } else {
        out->push_back(lo);
        out->push_back(hi);
    }
}

// Windows-1252 0x80..0x9F. The five bytes the code page leaves undefined map
// to the C1 controls of the same value, as Windows' own conversion does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    bool ok = true;
    while (pos < bytes.size()) {
        DecodeOne(bytes, &pos, &ok);
        if (!ok) return false;
    }
    return true;
}

std::string SanitizeUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 8);
    std::size_t pos = 0;
    bool ok = true;
    while (pos < bytes.size()) AppendUtf8(&out, DecodeOne(bytes, &pos, &ok));
    return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t u) -> std::uint16_t {
        const auto a = static_cast<unsigned char>(bytes[2 * u]);
        const auto b = static_cast<unsigned char>(bytes[2 * u + 1]);
        return bigEndian ? static_cast<std::uint16_t>((a << 8) | b) : static_cast<std::uint16_t>((b << 8) | a);
    };
    for (std::size_t u = 0; u < units; ++u) {
        const std::uint16_t w = unitAt(u);
        if (w >= 0xD800 && w <= 0xDBFF && u + 1 < units) {
            const std::uint16_t w2 = unitAt(u + 1);
            if (w2 >= 0xDC00 && w2 <= 0xDFFF) {
                AppendUtf8(&out, 0x10000 + ((char32_t(w) - 0xD800) << 10) + (char32_t(w2) - 0xDC00));
                ++u;
                continue;
            }
        }
        AppendUtf8(&out, (w >= 0xD800 && w <= 0xDFFF) ? kReplacement : char32_t(w));
    }
    return out;
}

std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian) {
    std::string out;
    out.reserve(utf8.size() * 2);
    std::size_t pos = 0;
    bool ok = true;
    while (pos < utf8.size()) {
        const char32_t cp = DecodeOne(utf8, &pos, &ok);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            AppendUnit(&out, static_cast<std::uint16_t>(0xD800 + (v >> 10)), bigEndian);
            AppendUnit(&out, static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)), bigEndian);
        } else {
            AppendUnit(&out, static_cast<std::uint16_t>(cp), bigEndian);
        }
    }
    return out;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F) {
            AppendUtf8(&out, kHighControls[b - 0x80]);
        } else {
            AppendUtf8(&out, b);
        }
    }
    return out;
}

bool Utf8ToWindows1252(std::string_view utf8, std::string* out) {
    out->clear();
    out->reserve(utf8.size());
    std::size_t pos = 0;
    bool ok = true;
    while (pos < utf8.size()) {
        const char32_t cp = DecodeOne(utf8, &pos, &ok);
        if (!ok) return false;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out->push_back(static_cast<char>(cp));
            continue;
        }
        bool found = false;
        for (int k = 0; k < 32; ++k) {
            if (kHighControls[k] == cp) {
                out->push_back(static_cast<char>(0x80 + k));
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    return true;
}

std::size_t Utf8PrefixChars(std::string_view utf8, std::size_t maxChars) {
    std::size_t pos = 0;
    bool ok = true;
    for (std::size_t n = 0; n < maxChars && pos < utf8.size(); ++n) DecodeOne(utf8, &pos, &ok);
    return pos;
}

}  // namespace orvanta
