// The exact bytes the camera and the listing server receive.
#include <gtest/gtest.h>

#include <string>

#include "core/http/Base64.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/ListingServerQuery.h"
#include "core/camera/QueryEscape.h"
#include "core/settings/FixedField.h"

namespace orvanta {
namespace {

const std::string kUa = " HTTP/1.0\r\nUser-Agent: flash-1.0.1\r\n";
const std::string kNoLogin = "Authorization: Basic Og==\r\n\r\n";              // ":"
const std::string kRootLogin = "Authorization: Basic cm9vdDpwYXNz\r\n\r\n";    // "root:pass"

CameraSettings WithLogin(bool login) {
    CameraSettings s;
    if (login) {
        SetField(s.User, "root");
        SetField(s.Password, "pass");
    }
    return s;
}

TEST(CameraRequest, ReadRequestsAreByteExact) {
    struct Row {
        ParameterGroup group;
        bool login;
        std::string expected;
    } rows[] = {
        // Empty credentials still send a Basic header (of ":").
        {ParameterGroup::Sysinfo, false, "GET /cgi-bin/config_sysinfo.cgi?Act=1&Page=1" + kUa + kNoLogin},
        {ParameterGroup::Sysinfo, true, "GET /cgi-bin/config_sysinfo.cgi?Act=1&Page=1" + kUa + kRootLogin},
        {ParameterGroup::Network, true, "GET /cgi-bin/config_network.cgi?Act=1&Page=3" + kUa + kRootLogin},
        {ParameterGroup::Ddns, false, "GET /cgi-bin/config_ddns.cgi?Act=1&Page=13" + kUa + kNoLogin},
        // The three /goform pages share one path.
        {ParameterGroup::Version, false, "GET /goform/Parameters?Act=1&Page=23" + kUa + kNoLogin},
        {ParameterGroup::Capabilities, false, "GET /goform/Parameters?Act=1&Page=32" + kUa + kNoLogin},
        {ParameterGroup::NatStatus, true, "GET /goform/Parameters?Act=1&Page=34" + kUa + kRootLogin},
        // The time group has no page parameter at all.
        {ParameterGroup::Time, false, "GET /cgi-bin/config_time.cgi?Act=1" + kUa + kNoLogin},
    };
    for (const Row& r : rows) {
        std::string request;
        ASSERT_TRUE(BuildParameterRequest(WithLogin(r.login), ParameterAction::Read, r.group, request))
            << WireNumber(r.group);
        EXPECT_EQ(request, r.expected) << "group " << WireNumber(r.group);
    }
}

TEST(CameraRequest, OtherRequestsAreByteExact) {
    const CameraSettings anon = WithLogin(false);
    const CameraSettings root = WithLogin(true);
    std::string req;
    // Scan and WPS start end with one space after the blank line.
    ASSERT_TRUE(BuildScanRequest(anon, req));
    EXPECT_EQ(req, "GET /cgi-bin/ap_scan.cgi" + kUa + kNoLogin + " ");
    ASSERT_TRUE(BuildWpsStartRequest(root, req));
    EXPECT_EQ(req, "GET /cgi-bin/wps.cgi" + kUa + kRootLogin + " ");
    // The status query does not.
    ASSERT_TRUE(BuildWpsStatusRequest(root, req));
    EXPECT_EQ(req, "GET /cgi-bin/config_network.cgi?Act=3&Page=3&WPS&WPS_ACK" + kUa + kRootLogin);
    ASSERT_TRUE(BuildSysinfoAuthRequest(root, req));
    EXPECT_EQ(req, "GET /cgi-bin/config_sysinfo.cgi?Act=1&Page=1" + kUa + kRootLogin);
}

CameraSettings Filled() {
    CameraSettings s = WithLogin(true);
    SetField(s.TitleBar, "My Cam");
    SetField(s.Desp, "hall");
    s.NTPEN = 1;
    SetField(s.NTPName, "ntp.lan");
    s.NTPPoll = 24;
    s.Timezone = -5;
    SetField(s.Date, "2026/01/02");
    SetField(s.Time, "10:11:12");
    SetField(s.DDNSSrv, "dyn");
    s.DDNS = 1;
    SetField(s.DDNSUser, "u");
    SetField(s.DDNSPwd, "p");
    SetField(s.DDNSHost, "cam.example");
    s.IPType = 1;
    SetField(s.IPAddr, "10.0.0.5");
    SetField(s.Netmask, "255.255.255.0");
    SetField(s.Gateway, "10.0.0.1");
    SetField(s.DNS1, "10.0.0.1");
    s.WIPType = 0;
    s.WireType = 1;
    s.WireSec = 2;
    SetField(s.SSID, "Home Net");
    s.WireCh = 6;
    SetField(s.WPAKey, "k&y=1");
    SetField(s.TxRate, "auto");
    s.WepKeyL = 64;
    s.UPnPE = 1;
    s.HttpPort = 80;
    s.RTPPort = 5000;
    s.RTSPPort = 554;
    return s;
}

TEST(CameraRequest, WriteRequestsAreByteExact) {
    CameraSettings s = Filled();
    const std::string netTail =
        "&WIPType=0&WIPAddr=&WNetmask=&WGateway=&WDNS1=&WDNS2=&WireType=1&WireSec=2&SSID=Home%20Net&WireCh=6"
        "&WEPAuthM=0&WEPMode=0&WEPKey0=&WEPKey1=&WEPKey2=&WEPKey3=&WEPKeyE0=0&WPAKey=k%26y%3D1&WPAEnc=0"
        "&WPAPSKeyM=0&TxRate=auto&WepKeyL=64&UPnPE=1&PAccount=&PPwd=&PVP=&HttpPort=80&RTPPort=5000&RTSPPort=554";
    const std::string netHead = "&IPAddr=10.0.0.5&Netmask=255.255.255.0&Gateway=10.0.0.1&DNS1=10.0.0.1&DNS2=";
    struct Row {
        ParameterGroup group;
        bool linkWireless;
        std::string expected;
    } rows[] = {
        // The space in the title goes as %20.
        {ParameterGroup::Sysinfo, false, "GET /cgi-bin/config_sysinfo.cgi?Act=2&Page=1&TitleBar=My%20Cam&Desp=hall"},
        // The time write carries no page.
        {ParameterGroup::Time, false,
         "GET /cgi-bin/config_time.cgi?Act=2&NTPEN=1&NTPName=ntp.lan&NTPPoll=24&Timezone=-5&Date=2026/01/02"
         "&Time=10:11:12"},
        {ParameterGroup::Ddns, false,
         "GET /cgi-bin/config_ddns.cgi?Act=2&Page=13&DDNSSrv=dyn&DDNS=1&DDNSUser=u&DDNSPwd=p&DDNSHost=cam.example"},
        // Full form; a WPA key with "&" and "=" reaches the camera whole.
        {ParameterGroup::Network, false, "GET /cgi-bin/config_network.cgi?Act=2&Page=3&IPType=1" + netHead + netTail},
        // A wireless link sends IPType=3 whatever IPType holds.
        {ParameterGroup::Network, true, "GET /cgi-bin/config_network.cgi?Act=2&Page=3&IPType=3" + netHead + netTail},
        // Short form: no wireless settings, no SSID, no keys.
        {ParameterGroup::NetworkShort, false,
         "GET /cgi-bin/config_network.cgi?Act=2&Page=3&IPType=1" + netHead +
             "&UPnPE=1&PAccount=&PPwd=&PVP=&HttpPort=80&RTPPort=5000&RTSPPort=554"},
    };
    for (const Row& r : rows) {
        s.LinkWireless = r.linkWireless;
        std::string request;
        ASSERT_TRUE(BuildParameterRequest(s, ParameterAction::Write, r.group, request)) << WireNumber(r.group);
        EXPECT_EQ(request, r.expected + kUa + kRootLogin) << "group " << WireNumber(r.group);
    }
}

TEST(CameraRequest, EscapingKeepsEveryValueInOnePair) {
    struct Row {
        const char* in;
        const char* out;
    } rows[] = {
        {"a b", "a%20b"},                          // space as the camera always took it
        {"a&b=c#d%e+f", "a%26b%3Dc%23d%25e%2Bf"},  // pair and fragment separators
        {"x\r\ny\t", "x%0D%0Ay%09"},               // control bytes cannot end the request line
        {"caf\xc3\xa9/:.", "caf\xc3\xa9/:."},      // UTF-8 and other bytes pass unchanged
    };
    for (const Row& r : rows) EXPECT_EQ(EscapeQueryValue(r.in), r.out) << r.in;
}

TEST(CameraRequest, OverlongQueryIsRefusedNotCut) {
    CameraSettings s = Filled();
    // Four long WEP keys and a long WPA key of "&": three bytes each once escaped.
    const std::string key(255, '&');
    SetField(s.WEPKey0, key);
    SetField(s.WEPKey1, key);
    SetField(s.WEPKey2, key);
    SetField(s.WEPKey3, key);
    SetField(s.WPAKey, key);
    std::string request = "unchanged";
    EXPECT_FALSE(BuildParameterRequest(s, ParameterAction::Write, ParameterGroup::Network, request));
    EXPECT_EQ(request, "unchanged");
    // The short form of the same record still fits.
    EXPECT_TRUE(BuildParameterRequest(s, ParameterAction::Write, ParameterGroup::NetworkShort, request));
}

TEST(CameraRequest, Base64) {
    struct Row {
        const char* in;
        std::size_t capacity;
        const char* out;
    } rows[] = {
        {":", 256, "Og=="},         // one trailing byte: two "="
        {"ab", 256, "YWI="},        // two: one "="
        {"abc", 256, "YWJj"},       // whole groups: none
        {"", 256, ""},
        {"abcdef", 5, "YWJj"},      // output stops at the capacity, still terminated
    };
    for (const Row& r : rows) {
        char out[256];
        Base64Encode(out, r.in, r.capacity);
        EXPECT_STREQ(out, r.out) << r.in;
    }
}

TEST(CameraRequest, ListingRequest) {
    ServerCredentials c{};
    const std::string id32(32, 'i');
    SetField(c.ID, id32);
    SetField(c.Password, "p w&x");
    std::string req;
    ASSERT_TRUE(BuildListingRequest(c, ListingLogin::Device, req));
    // A 32-character ID goes whole; the header line starts with a space; no login header.
    EXPECT_EQ(req, "GET /cgi-bin/Parameters?Act=1&Page=3&ID=" + id32 +
                       "&Password=p%20w%26x HTTP/1.0\r\n User-Agent: flash-1.0.1\r\n\r\n");
}

}  // namespace
}  // namespace orvanta
