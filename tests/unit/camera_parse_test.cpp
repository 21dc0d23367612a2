// Taking the camera's and the listing server's replies apart.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/camera/AccessPointScan.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/ListingServerQuery.h"
#include "core/camera/ParameterParser.h"
#include "core/http/HttpBasic.h"
#include "core/http/HttpHead.h"
#include "core/http/HttpReply.h"
#include "core/http/ReplyLength.h"
#include "core/camera/WpsRequest.h"
#include "core/settings/FixedField.h"

namespace orvanta {
namespace {

TEST(CameraParse, ReplyChecksInOrder) {
    using namespace std::string_literals;
    struct Row {
        std::string reply;
        bool unauthorized, wpaKeyMode;
        HttpStatus expected;
    } rows[] = {
        {"HTTP/1.0 404 Not Found\r\n\r\n402 Failure", true, true, HttpStatus::NotFound10},  // first check wins
        {"HTTP/1.1 404 Not Found\r\n", true, true, HttpStatus::NotFound},                 // without the HTTP/1.0 prefix
        {"HTTP/1.0 402 Failure\r\nUnauthorized", true, true, HttpStatus::Failure},        // failure before login
        {"HTTP/1.0 401 Unauthorized\r\n", true, true, HttpStatus::Unauthorized},
        {"HTTP/1.0 401 Unauthorized\r\n", false, false, HttpStatus::Ok},              // writes do not look for it
        {"IPType=1\r\n", false, true, HttpStatus::NoWpaKeyMode},                               // network page without the key
        {"WPAPSKeyM=0\r\n", false, true, HttpStatus::Ok},
        {"OK\0HTTP/1.0 404 Not Found"s, true, false, HttpStatus::Ok},                  // the text ends at a NUL
        {"HTTP/1.0 200 OK\r\n\r\n402 Failure\r\n", false, false, HttpStatus::Failure},     // a status text as the body
        {"Unauthorized\r\n", true, false, HttpStatus::Unauthorized},                          // ... also without a status line
        {"HTTP/1.0 200 OK\r\n\r\n<html><body bgcolor=\"white\">402 Failure</body></html>", false, false, HttpStatus::Failure},
        // The same words as the camera's data are no status: a title, a
        // description, an SSID on the network page, an SSID in a scan cell.
        {"HTTP/1.0 200 OK\r\n\r\nTitleBar=Unauthorized use prohibited\r\nDesp=Lost? 404 Not Found\r\n", true,
         false, HttpStatus::Ok},
        {"HTTP/1.0 200 OK\r\n\r\nSSID=402 Failure\r\nWPAPSKeyM=1\r\n", true, true, HttpStatus::Ok},
        {"<td>scan AP sum = 1</td><td>AP1 Channel=6 SSID=\"HTTP/1.0 404 Not Found\" Mode=Infra</td>", false, false, HttpStatus::Ok},
    };
    for (const Row& r : rows) EXPECT_EQ(CheckReply(r.reply, r.unauthorized, r.wpaKeyMode), r.expected) << r.reply;
}

// Scripts and logs read these numbers: a status added or moved must not
// change what an existing one prints.
TEST(CameraParse, ResultNumbersStayAsPrinted) {
    const struct {
        HttpResult result;
        const char* number;
        const char* name;
    } rows[] = {
        {HttpResult::Received(812), "812", "ok"},
        {HttpStatus::ConnectFailed, "-1", "connect failed"},
        {HttpStatus::SendFailed, "-2", "nothing sent"},
        {HttpStatus::NoReply, "-3", "no reply"},
        {HttpStatus::NotFound10, "-4", "HTTP/1.0 404 Not Found"},
        {HttpStatus::NotFound, "-5", "404 Not Found"},
        {HttpStatus::Failure, "-6", "402 Failure"},
        {HttpStatus::NoWpaKeyMode, "-7", "network page without WPAPSKeyM"},
        {HttpStatus::Unauthorized, "-8", "Unauthorized"},
        {HttpStatus::TimedOut, "-9", "timed out"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(HttpResultNumber(r.result), r.number);
        EXPECT_STREQ(HttpStatusName(r.result.status), r.name);
    }
}

// Where a reply ends by its header: believed only from a complete header
// block with one well-formed length, never from the body.
TEST(CameraParse, ReplyLengthFromTheHeader) {
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\n";
    const std::string chunkHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    struct Row {
        std::string received;
        std::optional<std::size_t> end;
    } rows[] = {
        {head + "ab", head.size() + 4},
        {"HTTP/1.0 200 OK\ncontent-length:  2 \n\n", 39},              // any case, bare LF, blanks
        {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n", std::nullopt},  // header still coming
        {"Content-Length: 4\r\n\r\nab", std::nullopt},               // no status line
        {"HTTP/1.0 200 OK\r\n\r\nContent-Length: 3\r\n", std::nullopt},  // in the body
        {"HTTP/1.0 200 OK\r\nContent-Length: 4x\r\n\r\n", std::nullopt},
        {"HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n", std::nullopt},
        {"HTTP/1.0 200 OK\r\nContent-Length: 99999999999\r\n\r\n", std::nullopt},
        {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\nContent-Length: 5\r\n\r\n", std::nullopt},  // disagree
        // HTTP/1.1 devices: a chunked reply ends with its last chunk and trailer,
        // whatever Content-Length stands beside it.
        {chunkHead + "3\r\nabc\r\n0\r\n\r\n", chunkHead.size() + 13},
        {chunkHead + "3;x=y\r\nabc\r\n0\r\nT: v\r\n\r\nNEXT", chunkHead.size() + 23},  // extension, trailer
        {chunkHead + "3\r\nabc\r\n", std::nullopt},                         // last chunk still coming
        {chunkHead + "3\r\nabc\r\n0\r\n", std::nullopt},                  // trailer still coming
        {chunkHead + "ffffffffff\r\n", std::nullopt},                         // a size no reply has
        {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nTransfer-Encoding: chunked\r\n\r\n1\r\na\r\n0\r\n\r\n", 77},
    };
    for (const Row& r : rows) EXPECT_EQ(AnnouncedReplyLength(r.received), r.end) << r.received;
    EXPECT_TRUE(InsideReplyHeader("HTT"));
    EXPECT_TRUE(InsideReplyHeader("HTTP/1.0 200 OK\r\nContent-"));
    EXPECT_FALSE(InsideReplyHeader(head));
    EXPECT_FALSE(InsideReplyHeader("Version=1"));
    // Where silence may end a reply without a length: a body that ends at a line end.
    EXPECT_TRUE(ReplyBodyAtLineEnd("HTTP/1.0 200 OK\r\n\r\nVersion=1\r\n"));
    EXPECT_TRUE(ReplyBodyAtLineEnd("Version=1\n"));                         // no status line: all body
    EXPECT_FALSE(ReplyBodyAtLineEnd("HTTP/1.0 200 OK\r\n\r\n"));          // the body has not begun
    EXPECT_FALSE(ReplyBodyAtLineEnd("HTTP/1.0 200 OK\r\n"));                // header still coming
    EXPECT_FALSE(ReplyBodyAtLineEnd("HTTP/1.0 200 OK\r\n\r\nVersion=1"));  // inside a line
    EXPECT_FALSE(ReplyBodyAtLineEnd("HTTP/\n"));
    // a chunked body ends with its last chunk, never with a pause between chunks
    EXPECT_FALSE(ReplyBodyAtLineEnd("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"));
}

// One status line rule for both protocols: our cameras' CGI checks, the
// listing server and the SOAP reader all take the code from the same
// reader, so a head one of them accepts the others accept too.
TEST(CameraParse, StatusLineReadOneWayForBothProtocols) {
    struct Row {
        const char* head;
        int code;  // 0: no status line
    } rows[] = {
        {"HTTP/1.0 404 Not Found", 404},
        {"HTTP/1.1 200\r\n", 200},       // no reason phrase
        {"HTTP/1.1 401", 401},           // the line is all that came
        {"HTTP/1.1 200\nX: y", 200},     // a bare LF ends it
        {"HTTP/1.1 2000 OK", 0},         // four digits are no status code
        {"HTTP/1.1 20 OK", 0},
        {"HTTP/2 200 OK", 0},            // only HTTP/1.x is spoken here
        {"HTTP/1.x 200 OK", 0},
        {"HTTP/1.1  200 OK", 0},         // two spaces
        {" HTTP/1.1 200 OK", 0},         // not at the start
        {"http/1.1 200 OK", 0},
        {"HTTP/1.1 2a0 OK", 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.head);
        EXPECT_EQ(ReplyStatusCode(r.head), r.code);
        HttpReply reply;
        const HttpReplyState state = ParseHttpReply(std::string(r.head) + "\r\n\r\n", reply);
        EXPECT_EQ(state == HttpReplyState::Ok, r.code != 0);
        EXPECT_EQ(reply.status, r.code);
    }
    // The CGI checks read a refusal from the head only when it is a status line.
    EXPECT_EQ(CheckReply("HTTP/1.1 2000 OK\r\n\r\nok\r\n", true, false), HttpStatus::Ok);
    EXPECT_EQ(CheckReply("HTTP/1.1 401\r\n\r\n", true, false), HttpStatus::Unauthorized);
    EXPECT_EQ(CheckReply("HTTP/1.0 404\r\n\r\n", true, false), HttpStatus::NotFound10);
}

// The body's framing, read once: the transport's end of reply and the SOAP
// reader's body agree on Content-Length and chunked coding.
TEST(CameraParse, BodyFramingSharedByTransportAndReader) {
    struct Row {
        const char* what;
        std::string raw;
        HttpReplyState state;
        const char* body;  // when Ok
    } rows[] = {
        {"length cuts the body", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcdef", HttpReplyState::Ok, "abc"},
        {"chunked wins over a length beside it",
         "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n",
         HttpReplyState::Ok, "abc"},
        {"lengths that disagree", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd",
         HttpReplyState::Malformed, nullptr},
        {"a length past the believed bound", "HTTP/1.1 200 OK\r\nContent-Length: 9999999999\r\n\r\n",
         HttpReplyState::Malformed, nullptr},
        {"short of its length", "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc", HttpReplyState::CutShort, nullptr},
        {"no length: all that came", "HTTP/1.0 200 OK\r\n\r\nabc", HttpReplyState::Ok, "abc"},
        {"header block still coming", "HTTP/1.1 200 OK\r\nContent-", HttpReplyState::CutShort, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        HttpReply reply;
        ASSERT_EQ(ParseHttpReply(r.raw, reply), r.state);
        if (r.state == HttpReplyState::Ok) EXPECT_EQ(reply.body, r.body);
        // Where the transport stops reading is where the reader's body ends.
        const std::optional<std::size_t> end = AnnouncedReplyLength(r.raw);
        if (r.state == HttpReplyState::Ok && end) EXPECT_LE(reply.body.size(), *end - HeaderBlockEnd(r.raw));
        if (r.state == HttpReplyState::Malformed) EXPECT_FALSE(end.has_value());
    }
    EXPECT_EQ(BasicAuthorization("root", "pass"), "Basic cm9vdDpwYXNz");
    EXPECT_EQ(BasicAuthorization("", ""), "Basic Og==");
}

TEST(CameraParse, ExtractValueEdges) {
    CameraSettings s;
    // Two words keep their space; a value ending at once leaves the field empty.
    ParseParameters(s, "SSID=My Home\r\nWPAPSKeyM=1\r\n", ParameterGroup::Network);
    EXPECT_STREQ(s.SSID, "My Home");
    ParseParameters(s, "SSID=\r\nWPAPSKeyM=1\r\n", ParameterGroup::Network);
    EXPECT_STREQ(s.SSID, "");

    // One-byte fields keep the low byte; int fields the whole number.
    ParseParameters(s, "IPType=1\r\nWireCh=300\r\nHttpPort=-8080\r\n", ParameterGroup::Network);
    EXPECT_EQ(s.IPType, 1);
    EXPECT_EQ(s.WireCh, 44);
    EXPECT_EQ(s.HttpPort, -8080);

    // A missing number keeps its value, a missing text is emptied.
    SetField(s.IPAddr, "1.2.3.4");
    ParseParameters(s, "Netmask=255.0.0.0\r\n", ParameterGroup::Network);
    EXPECT_EQ(s.WireCh, 44);
    EXPECT_STREQ(s.IPAddr, "");

    // Keys match only on a key boundary: WDNS2 and WIPAddr first do not feed DNS2/IPAddr.
    ParseParameters(s, "WDNS2=198.51.100.9\r\nWIPAddr=10.0.0.9\r\nDNS2=198.51.100.8\r\nIPAddr=10.0.0.2\r\n",
                    ParameterGroup::Network);
    EXPECT_STREQ(s.DNS2, "198.51.100.8");
    EXPECT_STREQ(s.WDNS2, "198.51.100.9");
    EXPECT_STREQ(s.IPAddr, "10.0.0.2");
    EXPECT_STREQ(s.WIPAddr, "10.0.0.9");

    // A number that does not fit saturates instead of overflowing.
    int32_t n = 0;
    EXPECT_TRUE(ExtractValue(n, "NTPPoll=", "NTPPoll=99999999999999"));
    EXPECT_EQ(n, INT32_MAX);
    // No digits: unchanged.
    n = 7;
    EXPECT_FALSE(ExtractValue(n, "NTPPoll=", "NTPPoll=abc"));
    EXPECT_EQ(n, 7);
}

TEST(CameraParse, OverlongTextIsCutOnACharacterBoundary) {
    CameraSettings s;
    // 30 ASCII bytes then a 3-byte character across the 31-byte limit of ModelName.
    const std::string model = std::string(30, 'm') + "\xe6\x97\xa5" + "tail";
    ParseParameters(s, "ModelName=" + model + "\r\n", ParameterGroup::Sysinfo);
    EXPECT_EQ(std::string(s.ModelName), std::string(30, 'm'));
    // Exactly width-1 bytes are stored whole.
    ParseParameters(s, "ModelName=" + std::string(31, 'x') + "\r\n", ParameterGroup::Sysinfo);
    EXPECT_EQ(std::string(s.ModelName), std::string(31, 'x'));
}

TEST(CameraParse, CapabilitiesAndWps) {
    CameraSettings s;
    ParseParameters(s, "Wireless=1\r\nWPS=1\r\nTransversal=0\r\n", ParameterGroup::Capabilities);
    EXPECT_EQ(s.HasWireless, 1);
    EXPECT_EQ(s.HasWPS, 1);
    EXPECT_EQ(s.Wireless, 0);  // the page 3 flag is another field

    struct Row {
        const char* reply;
        uint8_t state, ack;
    } rows[] = {
        {"WPS=0\r\nWPS_ACK=1\r\n", 0, 1},  // success
        {"WPS=1\r\nWPS_ACK=0\r\n", 1, 0},  // still running
        {"WPS=0\r\nWPS_ACK=0\r\n", 0, 0},  // nothing happened
        {"WPS_ACK=1\r\nWPS=2\r\n", 2, 1},  // WPS= is not taken from inside WPS_ACK=
        {"nothing\r\n", 2, 1},             // missing keys keep the last pair
    };
    for (const Row& r : rows) {
        ParseWpsStatus(s, r.reply);
        EXPECT_EQ(s.WPSState, r.state) << r.reply;
        EXPECT_EQ(s.WPSAck, r.ack) << r.reply;
    }
}

const char* kScan =
    "<table><tr><td>scan AP sum = 3</td></tr>\n"
    "<tr><td>AP1 Channel=6 Mac_address=00:11:22:33:44:55 SSID=\"My Home Net\" Quality=80 Mode=Infra "
    "Security=WPA-PSK Algorithm=TKIP</td></tr>\n"
    "<tr><td>AP2 Channel=300 Mac_address=00:11:22:33:44:66 SSID=\"x\" Mode=Adhoc Security=None</td></tr>\n"
    "<tr><td>not an access point</td>\n";

TEST(CameraParse, AccessPointScan) {
    CameraSettings s;
    std::vector<AccessPointEntry> list;
    ASSERT_TRUE(ParseAccessPointReply(s, kScan, list));
    EXPECT_EQ(s.APScanOK, 1);
    EXPECT_EQ(s.APCount, 2u);  // three announced, two described
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Channel, 6);
    EXPECT_STREQ(list[0].SSID, "My Home Net");  // quoted, spaces kept
    EXPECT_STREQ(list[0].Mode, "Infra");        // ends at the space before Security=
    EXPECT_STREQ(list[0].Algorithm, "TKIP");
    EXPECT_EQ(list[0].Quality, 80);
    EXPECT_EQ(list[1].Channel, 44);             // low byte
    EXPECT_EQ(list[1].Quality, 0);              // no Quality= leaves 0
    EXPECT_STREQ(list[1].Algorithm, "");

    struct Row {
        const char* reply;
        bool ok;
        uint32_t count;
    } rows[] = {
        {"<td>scan AP sum = 0</td>", true, 0},                  // zero: success, no list
        {"HTTP/1.0 200 OK\r\n\r\nsum = 3</td>", false, 0},      // no "scan AP sum =": failure
        // A wild count lists only the access points the cells describe.
        {"<td>scan AP sum = 99999999999</td><td>AP1 Channel=1</td><td>AP2 Channel=2</td>", true, 2},
        {"<td>scan AP sum = -4</td>", true, 0},
    };
    for (const Row& r : rows) {
        CameraSettings t;
        EXPECT_EQ(ParseAccessPointReply(t, r.reply, list), r.ok) << r.reply;
        EXPECT_EQ(t.APScanOK, r.ok ? 1 : 0) << r.reply;
        if (r.ok) {
            EXPECT_EQ(t.APCount, r.count) << r.reply;
        }
        EXPECT_EQ(list.size(), r.count) << r.reply;
    }
}

TEST(CameraParse, ApValueKeysAndCuts) {
    AccessPointEntry e{};
    // "SSID=" inside "BSSID=" is not the key.
    EXPECT_FALSE(ExtractApValue(e.SSID, "SSID=", "<td>AP1 BSSID=\"other\"</td>"));
    // A key followed by a space is absent.
    EXPECT_FALSE(ExtractApValue(e.Mode, "Mode=", "Mode= Infra"));
    // A cell longer than its buffer is cut there: a key beyond 2047 bytes is not seen.
    const std::string longCell = "<td>AP1 " + std::string(2100, 'x') + " Mode=Infra</td>";
    std::vector<AccessPointEntry> list;
    CameraSettings s;
    ASSERT_TRUE(ParseAccessPointReply(s, "<td>scan AP sum = 1</td>" + longCell, list));
    EXPECT_STREQ(list[0].Mode, "");
}

TEST(CameraParse, ListingReplies) {
    const std::string two =
        "HTTP/1.0 200 OK\r\n\r\nTotal Camera=2\r\nID=cam1 IP=10.0.0.5 Port=80 Mac_address=00:11:22:33:44:55 "
        "Modelname=OV-100\r\nCamera=1\r\nID=cam2 IP=10.0.0.6 Port=8080 Mac_address=00:11:22:33:44:66 "
        "Modelname=OV-200\r\n";
    auto list = ParseListingReply(two, ListingLogin::User);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_STREQ((*list)[0].ID, "cam1");
    EXPECT_STREQ((*list)[1].IP, "10.0.0.6");
    EXPECT_STREQ((*list)[1].Modelname, "OV-200");

    // "Total Camera=0": an empty list, not a failure.
    list = ParseListingReply("Total Camera=0\r\n", ListingLogin::Device);
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->empty());
    // "Unauthorized" refuses a device login, but a user login parses the same text.
    const char* unauth = "HTTP/1.0 401 Unauthorized\r\n\r\nUnauthorized Total Camera=1\r\nID=a IP=b\r\n";
    EXPECT_FALSE(ParseListingReply(unauth, ListingLogin::Device));
    list = ParseListingReply(unauth, ListingLogin::User);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), 1u);
    // "404 Not Found" without the prefix still refuses.
    EXPECT_FALSE(ParseListingReply("HTTP/1.1 404 Not Found\r\nTotal Camera=1", ListingLogin::User));
    // More announced than described: the surplus entries stay empty.
    list = ParseListingReply("Total Camera=3\r\nID=only IP=203.0.113.1\r\n", ListingLogin::User);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 3u);
    EXPECT_STREQ((*list)[0].ID, "only");
    EXPECT_STREQ((*list)[2].ID, "");
    // The three shapes servers send. Each camera is the one after its own
    // marker (the marker inside "Total Camera=" is none), and a camera whose
    // items lack a key never borrows it from the next camera.
    struct Shape {
        const char* what;
        const char* reply;
        std::vector<std::pair<const char*, const char*>> idModel;
    };
    const Shape shapes[] = {
        {"a marker before each camera",
         "Total Camera=2\r\nCamera=1 ID=cam-one IP=10.0.0.5 Port=80 Mac_address=m1\r\n"
         "Camera=2 ID=cam-two IP=10.0.0.6 Port=81 Mac_address=m2 Modelname=OV-2\r\n",
         {{"cam-one", ""}, {"cam-two", "OV-2"}}},
        {"first camera straight after the count",
         "Total Camera=2\r\nID=cam-one Modelname=OV-1\r\nCamera=1\r\nID=cam-two Modelname=OV-2\r\n",
         {{"cam-one", "OV-1"}, {"cam-two", "OV-2"}}},
        {"more announced than marked",
         "<p>Total Camera=3</p><p>Camera=1 ID=cam-one Modelname=OV-1</p>",
         {{"cam-one", "OV-1"}, {"", ""}, {"", ""}}},
        {"markers numbered past 9",
         "Total Camera=2\r\nCamera=10 ID=cam-ten\r\nCamera=11 ID=cam-eleven\r\n",
         {{"cam-ten", ""}, {"cam-eleven", ""}}},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.what);
        list = ParseListingReply(shape.reply, ListingLogin::User);
        ASSERT_TRUE(list);
        ASSERT_EQ(list->size(), shape.idModel.size());
        for (std::size_t i = 0; i < shape.idModel.size(); ++i) {
            EXPECT_STREQ((*list)[i].ID, shape.idModel[i].first);
            EXPECT_STREQ((*list)[i].Modelname, shape.idModel[i].second);
        }
    }
    // A wild count is capped.
    list = ParseListingReply("Total Camera=2000000000\r\n", ListingLogin::User);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), kMaxServerCameras);
}

}  // namespace
}  // namespace orvanta
