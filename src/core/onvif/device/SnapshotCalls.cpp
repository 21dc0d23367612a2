#include "core/onvif/device/SnapshotCalls.h"

#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/OnvifXml.h"
#include "core/onvif/soap/SoapEnvelope.h"

namespace orvanta::onvif {

SoapCall GetSnapshotUriCall(const std::string& profileToken, bool media2) {
    const std::string p = media2 ? "tr2:" : "trt:";
    return {std::string(media2 ? ns::kMedia2 : ns::kMedia) + "/GetSnapshotUri",
            "<" + p + "GetSnapshotUri><" + p + "ProfileToken>" + XmlEscape(profileToken) + "</" + p +
                "ProfileToken></" + p + "GetSnapshotUri>"};
}

bool ReadSnapshotUri(const pugi::xml_node& response, std::string& uri, bool media2) {
    if (media2) {
        if (!IsElement(response, ns::kMedia2, "GetSnapshotUriResponse")) return false;
        uri = ChildText(response, ns::kMedia2, "Uri");
        return !uri.empty();
    }
    if (!IsElement(response, ns::kMedia, "GetSnapshotUriResponse")) return false;
    uri = ChildText(ChildElement(response, ns::kMedia, "MediaUri"), ns::kSchema, "Uri");
    return !uri.empty();
}

}  // namespace orvanta::onvif
