#include "core/discovery/DiscoveredCamera.h"

#include <cstring>
#include <string_view>

#include "core/settings/FixedField.h"
#include "core/base/AddressText.h"

namespace orvanta::discovery {

namespace {

// The five texts of the text area, back to back, each ended by a NUL. A text
// that runs to the end of the area ends there; one that would start beyond
// it is empty.
void SplitTexts(const uint8_t* area, std::string_view (&texts)[kTextCount]) {
    std::size_t pos = 0;
    for (auto& text : texts) {
        if (pos >= kPayloadTextSize) {
            text = {};
            continue;
        }
        const char* start = reinterpret_cast<const char*>(area + pos);
        const void* nul = std::memchr(start, 0, kPayloadTextSize - pos);
        const std::size_t len = nul ? static_cast<const char*>(nul) - start : kPayloadTextSize - pos;
        text = std::string_view(start, len);
        pos += len + 1;
    }
}

}  // namespace

void FormatDiscoveredCamera(const ReplyPayload& payload, DiscoveredCamera& out) {
    out = DiscoveredCamera{};
    const uint8_t* p = payload.data();
    std::memcpy(out.mac, p + kPayloadMac, sizeof out.mac);
    SetField(out.MacText, FormatMac(out.mac, MacCase::Upper));
    uint32_t ip;
    std::memcpy(&ip, p + kPayloadIp, 4);
    out.address = Ipv4Address::FromNetworkOrder(ip);
    SetField(out.IpText, out.address.Text());
    // The ports are signed on the camera's side; print them as it would.
    SetField(out.PortText, std::to_string(static_cast<int32_t>(ReadBe32(p + kPayloadPort))));
    SetField(out.SportText, std::to_string(static_cast<int32_t>(ReadBe32(p + kPayloadSport))));

    std::string_view texts[kTextCount];
    SplitTexts(p + kPayloadText, texts);
    std::string joined;
    joined.reserve(texts[0].size() + texts[2].size() + 1);
    joined.append(texts[0]).append("/").append(texts[2]);
    SetField(out.DescInterface, joined);
    SetField(out.SerialNo, texts[1]);
    SetField(out.FourthText, texts[3]);
    SetField(out.MaskText, texts[4].empty() ? std::string_view("0.0.0.0") : texts[4]);
    out.mask = Ipv4Address::Parse(FieldText(out.MaskText)).value_or(Ipv4Address::Broadcast());
}

}  // namespace orvanta::discovery
