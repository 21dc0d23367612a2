#include "core/onvif/soap/SoapEnvelope.h"

#include "core/onvif/soap/OnvifNamespaces.h"

namespace orvanta::onvif {

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
                out += c;
        }
    }
    return out;
}

std::string SoapEnvelope(std::string_view header, std::string_view body) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += std::string("<s:Envelope xmlns:s=\"") + ns::kSoap12 + "\" xmlns:tds=\"" + ns::kDevice + "\" xmlns:trt=\"" +
           ns::kMedia + "\" xmlns:tr2=\"" + ns::kMedia2 + "\" xmlns:tt=\"" + ns::kSchema + "\">";
    if (!header.empty()) out += "<s:Header>" + std::string(header) + "</s:Header>";
    out += "<s:Body>" + std::string(body) + "</s:Body></s:Envelope>\n";
    return out;
}

}  // namespace orvanta::onvif
