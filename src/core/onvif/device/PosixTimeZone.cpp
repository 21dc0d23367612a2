#include "core/onvif/device/PosixTimeZone.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orvanta::onvif {

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    // No zone file is this large; anything beyond is not one.
    if (s.str().size() > (1u << 20)) return std::nullopt;
    return s.str();
}

bool SafeZoneName(const std::string& name) {
    return !name.empty() && name.find("..") == std::string::npos && name.front() != '/' &&
           name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/_+-") ==
               std::string::npos;
}

}  // namespace

std::optional<std::string> TzifFooter(std::string_view file) {
    if (file.size() < 5 || file.substr(0, 4) != "TZif" || file[4] < '2') return std::nullopt;
    // The footer is the last line: "\n" TZ "\n" at the very end.
    if (file.back() != '\n') return std::nullopt;
    const std::size_t start = file.rfind('\n', file.size() - 2);
    if (start == std::string_view::npos) return std::nullopt;
    const std::string footer(file.substr(start + 1, file.size() - start - 2));
    if (!LooksLikePosixTimeZone(footer)) return std::nullopt;
    return footer;
}

std::optional<std::string> PosixTimeZoneFor(const std::string& zoneName, const std::string& zoneinfo) {
    if (!SafeZoneName(zoneName)) return std::nullopt;
    const std::optional<std::string> data = ReadFile(zoneinfo + "/" + zoneName);
    if (!data) return std::nullopt;
    return TzifFooter(*data);
}

bool LooksLikePosixTimeZone(std::string_view tz) {
    if (tz.empty() || tz.size() > 64) return false;
    for (const char c : tz)
        if (c < 0x21 || c > 0x7e) return false;
    if (tz.front() == '<') return tz.find('>') != std::string_view::npos;
    std::size_t letters = 0;
    while (letters < tz.size() && std::isalpha(static_cast<unsigned char>(tz[letters]))) ++letters;
    return letters >= 3;
}

std::string LocalPosixTimeZone() {
    if (const char* env = std::getenv("TZ"); env && *env) {
        std::string tz = env;
        if (tz.front() == ':') tz.erase(0, 1);
        if (auto zone = PosixTimeZoneFor(tz)) return *zone;
        if (tz.rfind('/', 0) == 0) {
            if (auto data = ReadFile(tz))
                if (auto footer = TzifFooter(*data)) return *footer;
        }
        // A POSIX string itself ("EST5EDT"): a zone name would have no digit.
        if (LooksLikePosixTimeZone(tz) && tz.find_first_of("0123456789") != std::string::npos) return tz;
    }
    if (auto data = ReadFile("/etc/localtime"))
        if (auto footer = TzifFooter(*data)) return *footer;
    return "UTC0";
}

}  // namespace orvanta::onvif
