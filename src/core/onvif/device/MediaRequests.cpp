#include "core/onvif/device/MediaRequests.h"

#include <cmath>
#include <cstdio>

#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/SoapEnvelope.h"

namespace orvanta::onvif {

namespace {

std::string Element(const std::string& name, const std::string& escapedContent) {
    return "<" + name + ">" + escapedContent + "</" + name + ">";
}

std::string Text(const std::string& name, const std::string& value) { return Element(name, XmlEscape(value)); }

std::string Number(double v) {
    if (std::floor(v) == v && std::fabs(v) < 1e9) return std::to_string(static_cast<long long>(v));
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string Resolution(const OnvifVideoEncoder& e) {
    return Element("tt:Resolution", Text("tt:Width", std::to_string(e.width)) + Text("tt:Height", std::to_string(e.height)));
}

std::string Multicast(const OnvifVideoEncoder& e) {
    return Element("tt:Multicast",
                   Element("tt:Address", Text("tt:Type", "IPv4") + Text("tt:IPv4Address", e.multicastAddress)) +
                       Text("tt:Port", std::to_string(e.multicastPort)) + Text("tt:TTL", std::to_string(e.multicastTtl)) +
                       Text("tt:AutoStart", e.multicastAutoStart ? "true" : "false"));
}

// tt:VideoEncoderConfiguration: every element the schema requires, in its order.
std::string Media1Configuration(const OnvifVideoEncoder& e) {
    std::string inner = Text("tt:Name", e.name) + Text("tt:UseCount", std::to_string(e.useCount)) +
                        Text("tt:Encoding", e.encoding) + Resolution(e) + Text("tt:Quality", Number(e.quality)) +
                        Element("tt:RateControl", Text("tt:FrameRateLimit", Number(std::round(e.fpsLimit))) +
                                                      Text("tt:EncodingInterval", std::to_string(e.encodingInterval)) +
                                                      Text("tt:BitrateLimit", std::to_string(e.bitrateKbps)));
    if (e.encoding == "H264")
        inner += Element("tt:H264", Text("tt:GovLength", std::to_string(e.gop)) +
                                        Text("tt:H264Profile", e.h264Profile.empty() ? "Main" : e.h264Profile));
    else if (e.encoding == "MPEG4")
        inner += Element("tt:MPEG4", Text("tt:GovLength", std::to_string(e.gop)) + Text("tt:Mpeg4Profile", "SP"));
    inner += Multicast(e) + Text("tt:SessionTimeout", e.sessionTimeout.empty() ? "PT60S" : e.sessionTimeout);
    return "<trt:Configuration token=\"" + XmlEscape(e.token) + "\">" + inner + "</trt:Configuration>";
}

// tt:VideoEncoder2Configuration: GOP and profile are attributes here.
std::string Media2Configuration(const OnvifVideoEncoder& e) {
    std::string attributes = " token=\"" + XmlEscape(e.token) + "\"";
    if (e.gop > 0) attributes += " GovLength=\"" + std::to_string(e.gop) + "\"";
    if (!e.h264Profile.empty() && (e.encoding == "H264" || e.encoding == "H265"))
        attributes += " Profile=\"" + XmlEscape(e.h264Profile) + "\"";
    const std::string rate = e.hasConstantBitRate
                                 ? std::string("<tt:RateControl ConstantBitRate=\"") +
                                       (e.constantBitRate ? "true" : "false") + "\">"
                                 : std::string("<tt:RateControl>");
    return "<tr2:Configuration" + attributes + ">" + Text("tt:Name", e.name) +
           Text("tt:UseCount", std::to_string(e.useCount)) + Text("tt:Encoding", e.encoding) + Resolution(e) + rate +
           Text("tt:FrameRateLimit", Number(e.fpsLimit)) + Text("tt:BitrateLimit", std::to_string(e.bitrateKbps)) +
           "</tt:RateControl>" + Multicast(e) + Text("tt:Quality", Number(e.quality)) + "</tr2:Configuration>";
}

}  // namespace

SoapCall GetProfilesWithEncoder2Call() {
    return {std::string(ns::kMedia2) + "/GetProfiles", "<tr2:GetProfiles>" + Text("tr2:Type", "VideoEncoder") +
                                                           "</tr2:GetProfiles>"};
}

SoapCall GetVideoEncoderOptionsCall(const std::string& configurationToken, const std::string& profileToken,
                                    bool media2) {
    const std::string p = media2 ? "tr2" : "trt";
    std::string inner;
    if (!configurationToken.empty()) inner += Text(p + ":ConfigurationToken", configurationToken);
    if (!profileToken.empty()) inner += Text(p + ":ProfileToken", profileToken);
    return {std::string(media2 ? ns::kMedia2 : ns::kMedia) + "/GetVideoEncoderConfigurationOptions",
            Element(p + ":GetVideoEncoderConfigurationOptions", inner)};
}

SoapCall SetVideoEncoderCall(const OnvifVideoEncoder& encoder, bool media2) {
    if (media2)
        return {std::string(ns::kMedia2) + "/SetVideoEncoderConfiguration",
                Element("tr2:SetVideoEncoderConfiguration", Media2Configuration(encoder))};
    // Kept over a restart: a stream set for the recorder must stay set.
    return {std::string(ns::kMedia) + "/SetVideoEncoderConfiguration",
            Element("trt:SetVideoEncoderConfiguration",
                    Media1Configuration(encoder) + Text("trt:ForcePersistence", "true"))};
}

}  // namespace orvanta::onvif
