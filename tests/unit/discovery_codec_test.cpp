// The discovery datagrams: what is accepted, what the diagnostics say, and
// how a payload becomes the text record the search page lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DiagnosticCapture.h"
#include "core/discovery/DiscoveredCamera.h"
#include "core/discovery/DiscoveryReply.h"
#include "core/discovery/DiscoveryRequest.h"

using namespace orvanta::discovery;
using orvanta::Ipv4Address;

namespace {


// A string literal with its embedded NULs, less the final one.
template <size_t N>
std::string Lit(const char (&s)[N]) {
    return std::string(s, N - 1);
}

std::vector<uint8_t> Bytes(std::initializer_list<int> b) { return {b.begin(), b.end()}; }

// `head` followed by zeros up to `size` bytes.
std::vector<uint8_t> Padded(std::initializer_list<int> head, std::size_t size) {
    std::vector<uint8_t> d(head.begin(), head.end());
    d.resize(size, 0);
    return d;
}

// The diagnostics print the raw bytes in host order, as a little-endian PC does.
std::string HostOrderLine(const char* fmt, std::initializer_list<int> four) {
    uint8_t b[4];
    int i = 0;
    for (int v : four) b[i++] = static_cast<uint8_t>(v);
    int32_t n;
    std::memcpy(&n, b, 4);
    char line[64];
    std::snprintf(line, sizeof line, fmt, n);
    return line;
}

}  // namespace

TEST(DiscoveryRequest, IsEightBytesOfMagicAndTypeOne) {
    const auto r = DiscoveryRequest::Build();
    EXPECT_EQ(std::vector<uint8_t>(r.bytes.begin(), r.bytes.end()),
              Bytes({0x00, 0xF6, 0xD9, 0xA4, 0x00, 0x00, 0x00, 0x01}));
}

TEST(DiscoveryReply, AcceptanceRules) {
    const auto ownRequest = DiscoveryRequest::Build();
    struct Row {
        const char* what;
        std::vector<uint8_t> datagram;
        ReplyVerdict verdict;
        std::string diag;
    };
    const Row rows[] = {
        // A datagram shorter than the header must never be read as a reply.
        {"4 bytes", Bytes({0x00, 0xF6, 0xD9, 0xA4}), ReplyVerdict::TooShort, ""},
        {"empty", {}, ReplyVerdict::TooShort, ""},
        // A reply without the whole layout would list a camera 0.0.0.0 with
        // MAC 00:00:00:00:00:00; the header alone or one byte short is refused.
        {"bare header", Bytes({0x00, 0xF6, 0xD9, 0xA4, 0, 0, 0, 2}), ReplyVerdict::Truncated,
         "Reply message too short ! (8)\n"},
        {"283 bytes", Padded({0x00, 0xF6, 0xD9, 0xA4, 0, 0, 0, 2}, 283), ReplyVerdict::Truncated,
         "Reply message too short ! (283)\n"},
        {"284 bytes", Padded({0x00, 0xF6, 0xD9, 0xA4, 0, 0, 0, 2}, 284), ReplyVerdict::Accepted, ""},
        // The second magic is accepted exactly like the first.
        {"alternative magic", Padded({0x01, 0x15, 0x6A, 0x06, 0, 0, 0, 2}, 284), ReplyVerdict::Accepted, ""},
        // The PC hears its own broadcast; type 1 must be refused, printed raw.
        {"own request", {ownRequest.bytes.begin(), ownRequest.bytes.end()}, ReplyVerdict::NotReply,
         HostOrderLine("Is not reply message ! (%d)\n", {0, 0, 0, 1})},
        // The magic is printed unconverted, not as the big-endian value.
        {"unknown magic", Bytes({0x12, 0x34, 0x56, 0x78, 0, 0, 0, 2}), ReplyVerdict::UnknownMagic,
         HostOrderLine("Unknown magic number ! (%d)\n", {0x12, 0x34, 0x56, 0x78})},
        // Magic checked before type: a bad datagram gives one line, not two.
        {"bad magic and type", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 9}), ReplyVerdict::UnknownMagic,
         "Unknown magic number ! (-1)\n"},
        // Byte-swapped magic is not the magic.
        {"swapped magic", Bytes({0xA4, 0xD9, 0xF6, 0x00, 0, 0, 0, 2}), ReplyVerdict::UnknownMagic,
         HostOrderLine("Unknown magic number ! (%d)\n", {0xA4, 0xD9, 0xF6, 0x00})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        DiagnosticCapture diag;
        ReplyPayload payload;
        payload.fill(0xEE);
        EXPECT_EQ(DiscoveryReply::Accept(row.datagram.data(), row.datagram.size(), payload),
                  row.verdict);
        EXPECT_EQ(diag.text(), row.diag);
        // Whatever the verdict, nothing of an earlier datagram survives.
        if (row.verdict != ReplyVerdict::Accepted || row.datagram.size() == 284) {
            for (uint8_t b : payload) ASSERT_EQ(b, 0);
        }
    }
}

namespace {

DiscoveredCamera FormatDatagram(const std::vector<uint8_t>& d) {
    ReplyPayload payload;
    EXPECT_EQ(DiscoveryReply::Accept(d.data(), d.size(), payload, false), ReplyVerdict::Accepted);
    DiscoveredCamera cam;
    std::memset(static_cast<void*>(&cam), 0x55, sizeof cam);  // stale bytes must be overwritten
    FormatDiscoveredCamera(payload, cam);
    return cam;
}

std::vector<uint8_t> ReplyWithTextArea(const std::string& area) {
    std::vector<uint8_t> d(284, 0);
    d[1] = 0xF6, d[2] = 0xD9, d[3] = 0xA4, d[7] = 2;
    std::memcpy(d.data() + 24, area.data(), std::min<size_t>(area.size(), 256));
    return d;
}

}  // namespace

TEST(DiscoveredCamera, FieldsFromPayload) {
    struct Row {
        const char* what;
        std::vector<uint8_t> datagram;
        const char* mac;
        const char* ip;
        const char* port;
        const char* desc;
        const char* serial;
        const char* sport;
        const char* mask;
        const char* fourth;
    };
    std::vector<uint8_t> full = ReplyWithTextArea(Lit("Lobby\0SN-77\0eth0\0four\0" "255.255.255.0"));
    const uint8_t mac[6] = {0x00, 0x0E, 0x53, 0x1A, 0x2B, 0x3C};
    std::memcpy(full.data() + 8, mac, 6);
    const uint8_t ipPort[8] = {10, 1, 2, 254, 0, 0, 0, 80};
    std::memcpy(full.data() + 16, ipPort, 8);
    full[282] = 0x02, full[283] = 0x2A;  // 554

    std::vector<uint8_t> lowerHex = full;
    const uint8_t macAb[6] = {0xab, 0xcd, 0xef, 0x01, 0x0a, 0xff};
    std::memcpy(lowerHex.data() + 8, macAb, 6);

    std::vector<uint8_t> negativePort = full;
    negativePort[20] = negativePort[21] = negativePort[22] = negativePort[23] = 0xFF;

    const std::string twenty(20, 'D'), twentyI(20, 'I');
    const std::string cutArea = twenty + '\0' + "SERIAL-KEPT" + '\0' + twentyI;

    const Row rows[] = {
        // Every field from its own offset, in the list's formats.
        {"full reply", full, "00:0E:53:1A:2B:3C", "10.1.2.254", "80", "Lobby/eth0", "SN-77", "554",
         "255.255.255.0", "four"},
        // MAC text is upper-case hex with leading zeros.
        {"mac case", lowerHex, "AB:CD:EF:01:0A:FF", "10.1.2.254", "80", "Lobby/eth0", "SN-77", "554",
         "255.255.255.0", "four"},
        // The port is a signed 32-bit number on the wire.
        {"negative port", negativePort, "00:0E:53:1A:2B:3C", "10.1.2.254", "-1", "Lobby/eth0", "SN-77",
         "554", "255.255.255.0", "four"},
        // An all-zero body: zeros, the slash alone and the default mask.
        {"zero reply", ReplyWithTextArea(""), "00:00:00:00:00:00", "0.0.0.0",
         "0", "/", "", "0", "0.0.0.0", ""},
        // 20 + "/" + 20 is cut to the 31 bytes of its field; the serial is whole.
        {"cut description", ReplyWithTextArea(cutArea), "00:00:00:00:00:00", "0.0.0.0", "0",
         "DDDDDDDDDDDDDDDDDDDD/IIIIIIIIII", "SERIAL-KEPT", "0", "0.0.0.0", ""},
        // A text without NUL ends at the area's end; later texts are empty.
        {"unterminated area", ReplyWithTextArea(std::string(256, 'Z')), "00:00:00:00:00:00", "0.0.0.0",
         "0", "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ", "", "0", "0.0.0.0", ""},
        // A mask longer than its 16-byte field is cut, not overrun.
        {"long mask", ReplyWithTextArea(Lit("d\0s\0i\0f\0" "255.255.255.255.255")),
         "00:00:00:00:00:00", "0.0.0.0", "0", "d/i", "s", "0", "255.255.255.255", "f"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const DiscoveredCamera cam = FormatDatagram(row.datagram);
        EXPECT_STREQ(cam.MacText, row.mac);
        EXPECT_STREQ(cam.IpText, row.ip);
        EXPECT_STREQ(cam.PortText, row.port);
        EXPECT_STREQ(cam.DescInterface, row.desc);
        EXPECT_STREQ(cam.SerialNo, row.serial);
        EXPECT_STREQ(cam.SportText, row.sport);
        EXPECT_STREQ(cam.MaskText, row.mask);
        EXPECT_STREQ(cam.FourthText, row.fourth);
    }
    // The values the window and the provisioner use, read once from the
    // reply: the address in the order the wire has it, the mask from its
    // text, and a mask text that is no address as all ones.
    const DiscoveredCamera cam = FormatDatagram(full);
    EXPECT_EQ(cam.address, Ipv4Address::FromHostOrder(0x0A0102FEu));
    EXPECT_EQ(cam.mask, Ipv4Address::FromHostOrder(0xFFFFFF00u));
    EXPECT_EQ(0, std::memcmp(cam.mac, mac, 6));
    EXPECT_EQ(FormatDatagram(ReplyWithTextArea(Lit("d\0s\0i\0f\0" "255.255.0"))).mask, Ipv4Address::Broadcast());
    EXPECT_EQ(FormatDatagram(ReplyWithTextArea("")).mask, Ipv4Address());
}
