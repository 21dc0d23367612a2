#include "core/discovery/DiscoveryReply.h"

#include <algorithm>
#include <cstring>

#include "core/base/Diagnostics.h"

namespace orvanta::discovery {

namespace {

// The diagnostics print the four bytes as the host reads them, unconverted,
// so the numbers match what a capture of the same datagram shows in memory.
int32_t HostOrderInt(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

ReplyVerdict DiscoveryReply::Accept(const uint8_t* data, std::size_t length, ReplyPayload& payload,
                                    bool report) {
    payload.fill(0);
    if (data == nullptr || length < kHeaderSize) return ReplyVerdict::TooShort;
    const uint32_t magic = ReadBe32(data);
    if (magic != kPrimaryMagic && magic != kAlternativeMagic) {
        if (report) Diagnostic("Unknown magic number ! (%d)", HostOrderInt(data));
        return ReplyVerdict::UnknownMagic;
    }
    if (ReadBe32(data + 4) != kTypeReply) {
        if (report) Diagnostic("Is not reply message ! (%d)", HostOrderInt(data + 4));
        return ReplyVerdict::NotReply;
    }
    if (length < kMaxReplySize) {
        if (report) Diagnostic("Reply message too short ! (%d)", static_cast<int>(length));
        return ReplyVerdict::Truncated;
    }
    std::memcpy(payload.data(), data + kHeaderSize, kPayloadSize);
    return ReplyVerdict::Accepted;
}

std::vector<uint8_t> DiscoveryReply::Encode(const DiscoveryReplyFields& f) {
    std::vector<uint8_t> out(kMaxReplySize, 0);
    WriteBe32(out.data(), f.magic);
    WriteBe32(out.data() + 4, kTypeReply);
    uint8_t* p = out.data() + kHeaderSize;
    std::memcpy(p + kPayloadMac, f.mac, 6);
    std::memcpy(p + kPayloadIp, &f.ipNetOrder, 4);
    WriteBe32(p + kPayloadPort, f.port);
    WriteBe32(p + kPayloadSport, f.sport);

    uint8_t* area = p + kPayloadText;
    std::size_t pos = 0;
    for (const std::string* text : {&f.description, &f.serial, &f.interfaceText, &f.fourth, &f.mask}) {
        if (pos >= kPayloadTextSize) break;
        // Keep room for the terminator so a reader never runs into the next text.
        const std::size_t n = std::min(text->size(), kPayloadTextSize - pos - 1);
        std::memcpy(area + pos, text->data(), n);
        pos += n;
        area[pos++] = 0;
    }
    return out;
}

}  // namespace orvanta::discovery
