#include "core/onvif/device/StreamCheck.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <tuple>

namespace orvanta::onvif {

namespace {

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& i : items) out += (out.empty() ? "" : ", ") + i;
    return out;
}

// "... is not offered; a, b are" / "...; only a is".
std::string NotOffered(const std::string& value, const std::vector<std::string>& offered) {
    if (offered.empty()) return value + " is not offered";
    if (offered.size() == 1) return value + " is not offered; only " + offered.front() + " is";
    return value + " is not offered; " + Joined(offered) + " are";
}

std::string RangeText(const OnvifIntRange& r) { return std::to_string(r.min) + " to " + std::to_string(r.max); }

std::string Decimal(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

bool SameEncoding(const std::string& a, const std::string& b) {
    // Media says H264, some Media2 firmware "H.264": the same encoding.
    const auto plain = [](std::string s) {
        std::erase(s, '.');
        for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return s;
    };
    return plain(a) == plain(b);
}

}  // namespace

std::string ResolutionText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

bool ParseResolution(const std::string& text, std::pair<int, int>& out) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos || x == 0 || x + 1 >= text.size() || x > 5 || text.size() - x - 1 > 5) return false;
    const std::string w = text.substr(0, x), h = text.substr(x + 1);
    if (w.find_first_not_of("0123456789") != std::string::npos || h.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = {std::stoi(w), std::stoi(h)};
    return out.first > 0 && out.second > 0;
}

const OnvifProfile* FindProfile(const std::vector<OnvifProfile>& profiles, const std::string& which, std::string& why) {
    for (const OnvifProfile& p : profiles)
        if (p.token == which) return &p;
    // A number names the n-th profile only when no token is that number.
    if (!which.empty() && which.size() < 4 && which.find_first_not_of("0123456789") == std::string::npos) {
        const std::size_t n = std::stoul(which);
        if (n >= 1 && n <= profiles.size()) return &profiles[n - 1];
    }
    std::vector<std::string> tokens;
    for (const OnvifProfile& p : profiles) tokens.push_back(p.token);
    why = tokens.empty() ? "the camera lists no media profile"
                         : "the camera has no profile '" + which + "'; its profiles are " + Joined(tokens) +
                               " (or 1 to " + std::to_string(profiles.size()) + ")";
    return nullptr;
}

bool PlanEncoder(const OnvifVideoEncoder& current, const OnvifEncoderOptions& options, const OnvifStreamChange& change,
                 OnvifVideoEncoder& wanted, std::string& why) {
    wanted = current;
    if (change.empty()) return true;
    if (options.Empty()) {
        why = "the camera states no options for encoder " + current.token + ", so nothing is sent to it";
        return false;
    }
    if (change.encoding) wanted.encoding = *change.encoding;
    const auto found = std::find_if(options.encodings.begin(), options.encodings.end(),
                                    [&](const OnvifEncodingOptions& o) { return SameEncoding(o.encoding, wanted.encoding); });
    if (found == options.encodings.end()) {
        std::vector<std::string> names;
        for (const OnvifEncodingOptions& o : options.encodings) names.push_back(o.encoding);
        why = NotOffered(wanted.encoding, names);
        return false;
    }
    const OnvifEncodingOptions& offer = *found;
    // The camera's own spelling goes back to it.
    wanted.encoding = offer.encoding;
    if (change.resolution) std::tie(wanted.width, wanted.height) = *change.resolution;
    // A resolution kept across a change of encoding must still be offered
    // by the new one: it is checked as if asked for.
    if ((change.resolution || change.encoding) && !offer.resolutions.empty() &&
        std::find(offer.resolutions.begin(), offer.resolutions.end(), std::make_pair(wanted.width, wanted.height)) ==
            offer.resolutions.end()) {
        std::vector<std::string> listed;
        for (const auto& [w, h] : offer.resolutions) listed.push_back(ResolutionText(w, h));
        why = NotOffered(ResolutionText(wanted.width, wanted.height), listed);
        return false;
    }
    if (change.fps) {
        wanted.fpsLimit = *change.fps;
        if (!offer.frameRates.empty() &&
            std::find(offer.frameRates.begin(), offer.frameRates.end(), *change.fps) == offer.frameRates.end()) {
            std::vector<std::string> listed;
            for (const int f : offer.frameRates) listed.push_back(std::to_string(f));
            why = NotOffered(std::to_string(*change.fps) + " fps", listed);
            return false;
        }
        if (offer.frameRates.empty() && !offer.frameRateRange.Holds(*change.fps)) {
            why = std::to_string(*change.fps) + " fps is not offered; " + RangeText(offer.frameRateRange) + " fps are";
            return false;
        }
    }
    if (change.bitrateKbps) {
        wanted.bitrateKbps = *change.bitrateKbps;
        if (!offer.bitrateKbps.Holds(*change.bitrateKbps)) {
            why = std::to_string(*change.bitrateKbps) + " kbit/s is not offered; " + RangeText(offer.bitrateKbps) +
                  " kbit/s are";
            return false;
        }
    }
    if (change.gop) {
        if (offer.encoding == "JPEG") {
            why = "a GOP length is not offered for JPEG";
            return false;
        }
        wanted.gop = *change.gop;
        if (!offer.gop.Holds(*change.gop)) {
            why = "GOP " + std::to_string(*change.gop) + " is not offered; " + RangeText(offer.gop) + " are";
            return false;
        }
    }
    if (change.quality) {
        wanted.quality = *change.quality;
        if (options.qualityMax > 0 && (*change.quality < options.qualityMin || *change.quality > options.qualityMax)) {
            why = "quality " + Decimal(*change.quality) + " is not offered; " + Decimal(options.qualityMin) + " to " +
                  Decimal(options.qualityMax) + " are";
            return false;
        }
    }
    return true;
}

OnvifVideoEncoder WithStreamChange(const OnvifVideoEncoder& current, const OnvifStreamChange& change) {
    OnvifVideoEncoder e = current;
    if (change.encoding) e.encoding = *change.encoding;
    if (change.resolution) std::tie(e.width, e.height) = *change.resolution;
    if (change.fps) e.fpsLimit = *change.fps;
    if (change.bitrateKbps) e.bitrateKbps = *change.bitrateKbps;
    if (change.gop) e.gop = *change.gop;
    if (change.quality) e.quality = *change.quality;
    return e;
}

std::vector<std::string> UnmetStreamFields(const OnvifStreamChange& change, const OnvifVideoEncoder& actual) {
    std::vector<std::string> out;
    if (change.encoding && !SameEncoding(*change.encoding, actual.encoding)) out.push_back("encoding");
    if (change.resolution && *change.resolution != std::make_pair(actual.width, actual.height)) out.push_back("resolution");
    if (change.fps && std::lround(actual.fpsLimit) != *change.fps) out.push_back("fps");
    if (change.bitrateKbps && actual.bitrateKbps != *change.bitrateKbps) out.push_back("bitrate");
    if (change.gop && actual.gop != *change.gop) out.push_back("gop");
    if (change.quality && std::fabs(actual.quality - *change.quality) > 0.01) out.push_back("quality");
    return out;
}

std::string EncoderText(const OnvifVideoEncoder& e) {
    std::string out = e.encoding + " " + ResolutionText(e.width, e.height) + " " + Decimal(e.fpsLimit) + " fps " +
                      std::to_string(e.bitrateKbps) + " kbit/s";
    if (e.gop > 0) out += " GOP " + std::to_string(e.gop);
    return out + " quality " + Decimal(e.quality);
}

}  // namespace orvanta::onvif
