#include "core/onvif/device/MediaReplies.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/OnvifXml.h"

namespace orvanta::onvif {

namespace {

const char* const T = ns::kSchema;

// Cameras write "25", "25.0" or "25.000000"; anything else is no value.
double Decimal(const std::string& text, double fallback = 0) {
    if (text.empty() || text.size() > 24) return fallback;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return (*end == '\0' && std::isfinite(v) && v >= 0 && v < 1e9) ? v : fallback;
}

int Whole(const std::string& text, int fallback = 0) {
    return static_cast<int>(std::lround(Decimal(text, fallback)));
}

// Media2's space-separated lists of numbers ("1 250", "30 25 15 10").
std::vector<int> NumberList(const std::string& text) {
    std::vector<int> out;
    std::istringstream in(text);
    std::string item;
    while (in >> item && out.size() < 64)
        if (const double v = Decimal(item, -1); v > 0) out.push_back(static_cast<int>(std::lround(v)));
    return out;
}

OnvifIntRange Range(const pugi::xml_node& range) {
    return {Whole(ChildText(range, T, "Min")), Whole(ChildText(range, T, "Max"))};
}

void Resolutions(const pugi::xml_node& parent, std::vector<std::pair<int, int>>& out) {
    for (const pugi::xml_node& r : ChildElements(parent, T, "ResolutionsAvailable")) {
        const int w = Whole(ChildText(r, T, "Width")), h = Whole(ChildText(r, T, "Height"));
        if (w > 0 && h > 0 && out.size() < 64) out.emplace_back(w, h);
    }
}

void ReadMulticast(const pugi::xml_node& m, OnvifVideoEncoder& e) {
    if (!m) return;
    const std::string address = ChildText(ChildElement(m, T, "Address"), T, "IPv4Address");
    if (!address.empty()) e.multicastAddress = address;
    e.multicastPort = Whole(ChildText(m, T, "Port"));
    e.multicastTtl = Whole(ChildText(m, T, "TTL"), 1);
    e.multicastAutoStart = ChildText(m, T, "AutoStart") == "true";
}

// tt:VideoEncoderConfiguration (Media) or tt:VideoEncoder2Configuration (Media2).
OnvifVideoEncoder ReadEncoder(const pugi::xml_node& c, bool media2) {
    OnvifVideoEncoder e;
    e.token = c.attribute("token").value();
    e.name = ChildText(c, T, "Name");
    e.useCount = Whole(ChildText(c, T, "UseCount"));
    e.encoding = ChildText(c, T, "Encoding");
    const pugi::xml_node resolution = ChildElement(c, T, "Resolution");
    e.width = Whole(ChildText(resolution, T, "Width"));
    e.height = Whole(ChildText(resolution, T, "Height"));
    e.quality = Decimal(ChildText(c, T, "Quality"));
    const pugi::xml_node rate = ChildElement(c, T, "RateControl");
    e.fpsLimit = Decimal(ChildText(rate, T, "FrameRateLimit"));
    e.bitrateKbps = Whole(ChildText(rate, T, "BitrateLimit"));
    ReadMulticast(ChildElement(c, T, "Multicast"), e);
    if (media2) {
        e.gop = Whole(c.attribute("GovLength").value());
        e.h264Profile = c.attribute("Profile").value();
        if (const pugi::xml_attribute cbr = rate.attribute("ConstantBitRate")) {
            e.hasConstantBitRate = true;
            e.constantBitRate = std::string(cbr.value()) == "true";
        }
    } else {
        e.encodingInterval = Whole(ChildText(rate, T, "EncodingInterval"), 1);
        const pugi::xml_node h264 = ChildElement(c, T, "H264");
        const pugi::xml_node mpeg4 = ChildElement(c, T, "MPEG4");
        if (h264) {
            e.gop = Whole(ChildText(h264, T, "GovLength"));
            e.h264Profile = ChildText(h264, T, "H264Profile");
        } else if (mpeg4) {
            e.gop = Whole(ChildText(mpeg4, T, "GovLength"));
        }
        const std::string timeout = ChildText(c, T, "SessionTimeout");
        if (!timeout.empty()) e.sessionTimeout = timeout;
    }
    return e;
}

// Media's options: one element per encoding, the bitrate in its Extension.
void ReadMedia1Options(const pugi::xml_node& options, OnvifEncoderOptions& out) {
    const pugi::xml_node extension = ChildElement(options, T, "Extension");
    for (const char* encoding : {"H264", "JPEG", "MPEG4"}) {
        const pugi::xml_node o = ChildElement(options, T, encoding);
        if (!o) continue;
        OnvifEncodingOptions e;
        e.encoding = encoding;
        Resolutions(o, e.resolutions);
        e.frameRateRange = Range(ChildElement(o, T, "FrameRateRange"));
        e.gop = Range(ChildElement(o, T, "GovLengthRange"));
        e.bitrateKbps = Range(ChildElement(ChildElement(extension, T, encoding), T, "BitrateRange"));
        out.encodings.push_back(e);
    }
}

void ReadMedia2Options(const pugi::xml_node& options, OnvifEncoderOptions& out) {
    OnvifEncodingOptions e;
    e.encoding = ChildText(options, T, "Encoding");
    if (e.encoding.empty()) return;
    Resolutions(options, e.resolutions);
    e.frameRates = NumberList(options.attribute("FrameRatesSupported").value());
    if (const std::vector<int> gop = NumberList(options.attribute("GovLengthRange").value()); gop.size() == 2)
        e.gop = {gop[0], gop[1]};
    e.bitrateKbps = Range(ChildElement(options, T, "BitrateRange"));
    out.encodings.push_back(e);
}

}  // namespace

bool ReadProfiles(const pugi::xml_node& response, std::vector<OnvifProfile>& profiles, bool media2) {
    const char* const M = media2 ? ns::kMedia2 : ns::kMedia;
    if (!IsElement(response, M, "GetProfilesResponse")) return false;
    profiles.clear();
    for (const pugi::xml_node& p : ChildElements(response, M, "Profiles")) {
        OnvifProfile profile;
        profile.token = p.attribute("token").value();
        if (profile.token.empty()) continue;
        profile.name = ChildText(p, media2 ? M : T, "Name");
        const pugi::xml_node encoder = media2 ? ChildElement(ChildElement(p, M, "Configurations"), M, "VideoEncoder")
                                              : ChildElement(p, T, "VideoEncoderConfiguration");
        if (encoder) profile.encoder = ReadEncoder(encoder, media2);
        profiles.push_back(profile);
    }
    return true;
}

bool ReadEncoderOptions(const pugi::xml_node& response, OnvifEncoderOptions& options, bool media2) {
    const char* const M = media2 ? ns::kMedia2 : ns::kMedia;
    if (!IsElement(response, M, "GetVideoEncoderConfigurationOptionsResponse")) return false;
    options = {};
    for (const pugi::xml_node& o : ChildElements(response, M, "Options")) {
        if (media2) ReadMedia2Options(o, options);
        else ReadMedia1Options(o, options);
        const pugi::xml_node quality = ChildElement(o, T, "QualityRange");
        if (quality) {
            options.qualityMin = Decimal(ChildText(quality, T, "Min"));
            options.qualityMax = Decimal(ChildText(quality, T, "Max"));
        }
        if (!media2) break;  // Media answers with one Options element
    }
    return true;
}

}  // namespace orvanta::onvif
