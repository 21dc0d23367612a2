#include "core/onvif/device/FirmwareMessages.h"

#include <cctype>

#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/OnvifXml.h"

namespace orvanta::onvif {

namespace {

const char* const D = ns::kDevice;
constexpr const char* kXop = "http://www.w3.org/2004/08/xop/include";

}  // namespace

SoapCall StartFirmwareUpgradeCall() { return DeviceCall("StartFirmwareUpgrade"); }

SoapCall SetSystemFactoryDefaultSoftCall() {
    return {std::string(ns::kDevice) + "/SetSystemFactoryDefault",
            "<tds:SetSystemFactoryDefault><tds:FactoryDefault>Soft</tds:FactoryDefault></tds:SetSystemFactoryDefault>"};
}

SoapCall UpgradeSystemFirmwareCall() {
    return {std::string(ns::kDevice) + "/UpgradeSystemFirmware",
            std::string("<tds:UpgradeSystemFirmware><tds:Firmware><xop:Include xmlns:xop=\"") + kXop +
                "\" href=\"cid:" + kFirmwareContentId + "\"/></tds:Firmware></tds:UpgradeSystemFirmware>"};
}

std::optional<std::chrono::milliseconds> ParseXsDuration(std::string_view text) {
    // Surrounding white space is the XML's, not the value's.
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    if (text.size() < 3 || text.front() != 'P') return std::nullopt;
    text.remove_prefix(1);
    bool inTime = false, any = false;
    double total = 0;
    while (!text.empty()) {
        if (text.front() == 'T') {
            if (inTime) return std::nullopt;
            inTime = true;
            text.remove_prefix(1);
            if (text.empty()) return std::nullopt;  // "PT" alone
            continue;
        }
        std::size_t i = 0;
        double value = 0, scale = 0;
        bool digits = false;
        while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) {
            if (text[i] == '.') {
                if (scale != 0) return std::nullopt;
                scale = 1;
            } else if (scale != 0) {
                scale /= 10;
                value += (text[i] - '0') * scale;
                digits = true;
            } else {
                value = value * 10 + (text[i] - '0');
                digits = true;
            }
            if (value > 1e9) return std::nullopt;
            ++i;
        }
        if (!digits || i >= text.size()) return std::nullopt;
        const char unit = text[i];
        // A fraction only on the seconds, as the schema allows.
        if (scale != 0 && unit != 'S') return std::nullopt;
        if (!inTime && unit == 'D') total += value * 86400;
        else if (inTime && unit == 'H') total += value * 3600;
        else if (inTime && unit == 'M') total += value * 60;
        else if (inTime && unit == 'S') total += value;
        else return std::nullopt;  // years, months, a unit out of place
        any = true;
        text.remove_prefix(i + 1);
    }
    if (!any) return std::nullopt;
    return std::chrono::milliseconds(static_cast<long long>(total * 1000 + 0.5));
}

bool ReadStartFirmwareUpgrade(const pugi::xml_node& response, FirmwareUploadOffer& offer) {
    if (!IsElement(response, D, "StartFirmwareUpgradeResponse")) return false;
    offer = {};
    offer.uploadUri = ChildText(response, D, "UploadUri");
    const auto delay = ParseXsDuration(ChildText(response, D, "UploadDelay"));
    const auto down = ParseXsDuration(ChildText(response, D, "ExpectedDownTime"));
    if (offer.uploadUri.empty()) return false;
    // Both are required; a camera that leaves them out or writes them
    // wrongly is waited for as if it said nothing (the caller's own
    // limits then govern).
    offer.uploadDelay = delay.value_or(std::chrono::milliseconds(0));
    offer.expectedDownTime = down.value_or(std::chrono::milliseconds(0));
    return true;
}

bool ReadUpgradeSystemFirmware(const pugi::xml_node& response, std::string& message) {
    if (!IsElement(response, D, "UpgradeSystemFirmwareResponse")) return false;
    message = ChildText(response, D, "Message");
    return true;
}

MtomParts BuildMtomParts(std::string_view envelope, std::string_view action, const std::string& boundary) {
    MtomParts parts;
    const std::string soapType = "application/soap+xml; action=\\\"" + std::string(action) + "\\\"";
    parts.contentType = "multipart/related; type=\"application/xop+xml\"; start=\"<root@orvanta>\"; start-info=\"" +
                        soapType + "\"; boundary=\"" + boundary + "\"";
    parts.head = "--" + boundary +
                 "\r\nContent-Type: application/xop+xml; charset=UTF-8; type=\"" + soapType +
                 "\"\r\nContent-Transfer-Encoding: 8bit\r\nContent-ID: <root@orvanta>\r\n\r\n" + std::string(envelope) +
                 "\r\n--" + boundary +
                 "\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: binary\r\nContent-ID: <" +
                 kFirmwareContentId + ">\r\n\r\n";
    parts.tail = "\r\n--" + boundary + "--\r\n";
    return parts;
}

}  // namespace orvanta::onvif
