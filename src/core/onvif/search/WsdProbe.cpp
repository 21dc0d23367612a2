#include "core/onvif/search/WsdProbe.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>

#include "core/onvif/soap/UsernameToken.h"

namespace orvanta::onvif {

std::string NewMessageId() {
    uint8_t b[16] = {};
    if (const std::optional<std::string> bytes = RandomBytes(sizeof b)) {
        std::memcpy(b, bytes->data(), sizeof b);
    } else {
        // getrandom only fails before the pool is ready or on an old kernel;
        // a message id needs uniqueness, not secrecy.
        std::random_device rd;
        for (auto& x : b) x = static_cast<uint8_t>(rd());
    }
    b[6] = static_cast<uint8_t>((b[6] & 0x0F) | 0x40);
    b[8] = static_cast<uint8_t>((b[8] & 0x3F) | 0x80);
    char text[48];
    std::snprintf(text, sizeof text,
                  "urn:uuid:%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", b[0], b[1],
                  b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

std::string BuildProbe(const std::string& messageId) {
    // Both type prefixes are declared on the envelope: a device resolves the
    // QNames of Types against the element's scope.
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\""
           " xmlns:a=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
           " xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\""
           " xmlns:dn=\"http://www.onvif.org/ver10/network/wsdl\""
           " xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\">"
           "<s:Header>"
           "<a:Action s:mustUnderstand=\"1\">http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe</a:Action>"
           "<a:MessageID>" + messageId + "</a:MessageID>"
           "<a:ReplyTo><a:Address>http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous</a:Address></a:ReplyTo>"
           "<a:To s:mustUnderstand=\"1\">urn:schemas-xmlsoap-org:ws:2005:04:discovery</a:To>"
           "</s:Header>"
           "<s:Body><d:Probe><d:Types>dn:NetworkVideoTransmitter tds:Device</d:Types></d:Probe></s:Body>"
           "</s:Envelope>";
}

}  // namespace orvanta::onvif
