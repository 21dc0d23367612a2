#include "OnvifStreamOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "PasswordInput.h"
#include "core/base/OutputText.h"
#include "core/onvif/device/StreamCheck.h"
#include "core/onvif/device/UserAccounts.h"
#include "core/output/RecordWriter.h"

namespace orvanta::cli {

namespace {

using namespace orvanta::onvif;
using output::JsonString;

bool WholeNumber(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::stoi(text);
    return out >= low && out <= high;
}

std::string Decimal(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

}  // namespace

const std::vector<OptionSpec>& StreamAndUserOptions() {
    static const std::vector<OptionSpec> specs = {
        {"--profile", true},     {"--encoding", true},      {"--resolution", true},        {"--fps", true},
        {"--bitrate", true},     {"--gop", true},           {"--quality", true},           {"--add-user", true},
        {"--user-level", true},  {"--set-user-password", true}, {"--remove-user", true}, {"--user-password-file", true}};
    return specs;
}

bool ReadStreamAndUserChange(const ParsedArgs& p, OnvifChange& change, std::string& why) {
    const bool streamValue = p.values.count("--encoding") || p.values.count("--resolution") || p.values.count("--fps") ||
                             p.values.count("--bitrate") || p.values.count("--gop") || p.values.count("--quality");
    if (streamValue && !p.values.count("--profile")) {
        why = "--encoding, --resolution, --fps, --bitrate, --gop and --quality need --profile TOKEN|N";
        return false;
    }
    if (p.values.count("--profile")) {
        OnvifStreamChange s;
        s.profile = p.Get("--profile");
        if (p.values.count("--encoding")) {
            std::string e = p.Get("--encoding");
            std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            if (e != "H264" && e != "H265" && e != "JPEG") {
                why = "--encoding takes H264, H265 or JPEG";
                return false;
            }
            s.encoding = e;
        }
        if (p.values.count("--resolution")) {
            std::pair<int, int> r;
            if (!ParseResolution(p.Get("--resolution"), r)) {
                why = "--resolution takes WIDTHxHEIGHT, such as 1920x1080";
                return false;
            }
            s.resolution = r;
        }
        int n = 0;
        const struct {
            const char* option;
            int high;
            std::optional<int>* into;
        } numbers[] = {{"--fps", 240, &s.fps}, {"--bitrate", 1000000, &s.bitrateKbps}, {"--gop", 10000, &s.gop}};
        for (const auto& number : numbers) {
            if (!p.values.count(number.option)) continue;
            if (!WholeNumber(p.Get(number.option), 1, number.high, n)) {
                why = std::string(number.option) + " takes a whole number from 1 to " + std::to_string(number.high);
                return false;
            }
            *number.into = n;
        }
        if (p.values.count("--quality")) {
            const std::string q = p.Get("--quality");
            char* end = nullptr;
            const double v = std::strtod(q.c_str(), &end);
            if (q.empty() || *end != '\0' || !std::isfinite(v) || v < 0 || v > 100) {
                why = "--quality takes a number such as 5";
                return false;
            }
            s.quality = v;
        }
        change.streams.push_back(s);
    }
    // Whoever is given a password, it comes from a file: never argv.
    const bool needsPassword = p.values.count("--add-user") || p.values.count("--set-user-password");
    if (needsPassword && !p.values.count("--user-password-file")) {
        why = "--add-user and --set-user-password take the password from --user-password-file F";
        return false;
    }
    if (p.values.count("--add-user") && p.values.count("--set-user-password")) {
        why = "give --add-user or --set-user-password, not both";
        return false;
    }
    if (p.values.count("--user-level") && !p.values.count("--add-user")) {
        why = "--user-level goes with --add-user";
        return false;
    }
    std::string password;
    if (needsPassword && !ReadPasswordFile("onvif set", p.Get("--user-password-file"), password, why)) return false;
    if (p.values.count("--add-user")) {
        const std::string level = p.Get("--user-level", "User");
        if (!IsSettableUserLevel(level)) {
            why = "--user-level takes Administrator, Operator or User";
            return false;
        }
        change.users.push_back({OnvifUserChange::Kind::Add, p.Get("--add-user"), level, password});
    }
    if (p.values.count("--set-user-password"))
        change.users.push_back({OnvifUserChange::Kind::SetPassword, p.Get("--set-user-password"), "", password});
    if (p.values.count("--remove-user"))
        change.users.push_back({OnvifUserChange::Kind::Remove, p.Get("--remove-user"), "", ""});
    return true;
}

std::string ProfilesJson(const std::vector<OnvifProfile>& profiles) {
    std::string out = "[";
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        const OnvifProfile& p = profiles[i];
        out += std::string(i ? ", " : "") + "{\"token\": " + JsonString(p.token) + ", \"name\": " + JsonString(p.name);
        if (p.encoder) {
            const OnvifVideoEncoder& e = *p.encoder;
            out += ", \"encoding\": " + JsonString(e.encoding) + ", \"resolution\": " +
                   JsonString(ResolutionText(e.width, e.height)) + ", \"fps\": " + Decimal(e.fpsLimit) +
                   ", \"bitrate_kbps\": " + std::to_string(e.bitrateKbps) + ", \"gop\": " + std::to_string(e.gop) +
                   ", \"quality\": " + Decimal(e.quality);
        }
        out += ", \"stream_uri\": " + JsonString(p.streamUri) + "}";
    }
    return out + "]";
}

std::string ProfilesTable(const std::vector<OnvifProfile>& profiles) {
    std::vector<std::vector<std::string>> rows = {
        {"token", "name", "encoding", "resolution", "fps", "kbit/s", "gop", "quality", "stream_uri"}};
    for (const OnvifProfile& p : profiles) {
        if (p.encoder) {
            const OnvifVideoEncoder& e = *p.encoder;
            rows.push_back({p.token, p.name, e.encoding, ResolutionText(e.width, e.height), Decimal(e.fpsLimit),
                            std::to_string(e.bitrateKbps), e.gop ? std::to_string(e.gop) : "-", Decimal(e.quality),
                            p.streamUri});
        } else {
            rows.push_back({p.token, p.name, "-", "-", "-", "-", "-", "-", p.streamUri});
        }
    }
    for (auto& row : rows)
        for (std::string& cell : row) {
            cell = output::TerminalSafe(cell);
            if (cell.empty()) cell = "-";
        }
    std::vector<std::size_t> width(rows.front().size(), 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c)
            line += row[c] + (c + 1 < row.size() ? std::string(width[c] - row[c].size() + 2, ' ') : "");
        out += "  " + line + "\n";
    }
    return out;
}

std::string UsersJson(const std::vector<OnvifUser>& users) {
    std::string out = "[";
    for (std::size_t i = 0; i < users.size(); ++i)
        out += std::string(i ? ", " : "") + "{\"name\": " + JsonString(users[i].name) + ", \"level\": " +
               JsonString(users[i].level) + "}";
    return out + "]";
}

std::string UsersText(const std::vector<OnvifUser>& users) {
    std::string out;
    for (const OnvifUser& u : users) out += output::TerminalSafe(u.name) + " " + output::TerminalSafe(u.level) + "\n";
    return out;
}

}  // namespace orvanta::cli
