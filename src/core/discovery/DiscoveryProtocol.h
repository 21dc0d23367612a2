// Wire constants of the camera discovery exchange. Every multi-byte integer
// on the wire is big-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvanta::discovery {

inline constexpr uint16_t kDiscoveryPort = 49160;

// Every request carries the primary magic; replies may carry either.
inline constexpr uint32_t kPrimaryMagic = 0x00F6D9A4;
inline constexpr uint32_t kAlternativeMagic = 0x01156A06;

inline constexpr uint32_t kTypeRequest = 1;
inline constexpr uint32_t kTypeReply = 2;

inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kRequestSize = 8;
inline constexpr std::size_t kPayloadSize = 276;
inline constexpr std::size_t kMaxReplySize = kHeaderSize + kPayloadSize;  // 284

// Offsets inside the payload (the reply less its 8-byte header).
inline constexpr std::size_t kPayloadMac = 0;
inline constexpr std::size_t kPayloadIp = 8;
inline constexpr std::size_t kPayloadPort = 12;
inline constexpr std::size_t kPayloadText = 16;
inline constexpr std::size_t kPayloadTextSize = 256;
inline constexpr std::size_t kPayloadSport = 272;

inline constexpr int kTextCount = 5;  // description, serial, interface, fourth, mask

inline uint32_t ReadBe32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline void WriteBe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

}  // namespace orvanta::discovery
