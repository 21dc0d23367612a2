#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/onvif/device/CardSubnet.h"
#include "core/onvif/search/AddressRanges.h"
#include "core/onvif/search/WsdProbe.h"
#include "core/onvif/search/ClaimCheck.h"
#include "core/onvif/search/OnvifDeviceList.h"
#include "core/onvif/search/ProbeMatchReader.h"
#include "core/onvif/soap/ServiceAddress.h"
#include "core/base/AddressText.h"

using namespace orvanta::onvif;

namespace {

// A ProbeMatches as most cameras send it; the pieces are swapped per case.
std::string Match(const std::string& envelopeNs = "xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\"",
                  const std::string& env = "SOAP-ENV", const std::string& inner = "") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + env + ":Envelope " + envelopeNs +
           " xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
           " xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\""
           " xmlns:dn=\"http://www.onvif.org/ver10/network/wsdl\"><" + env + ":Header>"
           "<wsa:RelatesTo>urn:uuid:0001</wsa:RelatesTo></" + env + ":Header><" + env + ":Body>" +
           (inner.empty() ? "<d:ProbeMatches><d:ProbeMatch>"
                            "<wsa:EndpointReference><wsa:Address>urn:uuid:cafe-1</wsa:Address></wsa:EndpointReference>"
                            "<d:Types>dn:NetworkVideoTransmitter</d:Types>"
                            "<d:Scopes>onvif://www.onvif.org/name/Gate%20North onvif://www.onvif.org/hardware/IPC-9"
                            " onvif://www.onvif.org/location/city/Lyon</d:Scopes>"
                            "<d:XAddrs>http://10.0.0.9/onvif/device_service http://[fe80::1]/onvif/device_service</d:XAddrs>"
                            "<d:MetadataVersion>3</d:MetadataVersion></d:ProbeMatch></d:ProbeMatches>"
                          : inner) +
           "</" + env + ":Body></" + env + ":Envelope>";
}

}  // namespace

// Every spelling makers use reads the same; anything not in the right
// namespace is refused. Catches matching by prefix, a default namespace or
// inner redeclaration not honoured, and a wrong-namespace body taken.
TEST(OnvifDiscoveryReader, NamespacesDecideNotPrefixes) {
    const std::string hello2009 =
        "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"><e:Body>"
        "<Hello xmlns=\"http://docs.oasis-open.org/ws-dd/ns/discovery/2009/01\">"
        "<EndpointReference xmlns=\"http://www.w3.org/2005/08/addressing\"><Address>urn:uuid:cafe-1</Address>"
        "</EndpointReference><Types xmlns:x=\"http://www.onvif.org/ver10/device/wsdl\">x:Device</Types>"
        "<XAddrs>http://10.0.0.9/onvif/device_service</XAddrs></Hello></e:Body></e:Envelope>";
    const struct Case {
        const char* what;
        std::string xml;
        bool read;
        DiscoveryKind kind;
        bool onvifTypes;
    } cases[] = {
        {"SOAP-ENV prefix, 2005/04", Match(), true, DiscoveryKind::ProbeMatches, true},
        {"s prefix", Match("xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"", "s"), true,
         DiscoveryKind::ProbeMatches, true},
        {"SOAP 1.1 envelope", Match("xmlns:env=\"http://schemas.xmlsoap.org/soap/envelope/\"", "env"), true,
         DiscoveryKind::ProbeMatches, true},
        {"default namespaces, 2009 dialect, type prefix declared inside", hello2009, true, DiscoveryKind::Hello, true},
        {"the discovery prefix redeclared to another namespace inside the body",
         Match("xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"", "s",
               "<d:ProbeMatches xmlns:d=\"urn:other\"><d:ProbeMatch><wsa:EndpointReference><wsa:Address>urn:uuid:x"
               "</wsa:Address></wsa:EndpointReference></d:ProbeMatch></d:ProbeMatches>"),
         false, DiscoveryKind::ProbeMatches, false},
        {"envelope in no namespace", Match("xmlns:s=\"urn:not-soap\"", "s"), false, DiscoveryKind::ProbeMatches,
         false},
        {"a Probe is none of the three", BuildProbe(NewMessageId()), false, DiscoveryKind::ProbeMatches, false},
        {"a printer's Hello: read, but no ONVIF type",
         Match("xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"", "s",
               "<d:Hello><wsa:EndpointReference><wsa:Address>urn:uuid:p</wsa:Address></wsa:EndpointReference>"
               "<d:Types xmlns:w=\"http://schemas.microsoft.com/windows/2006/08/wdp/print\">w:PrintDeviceType"
               "</d:Types></d:Hello>"),
         true, DiscoveryKind::Hello, false},
        {"dn:Device in the wrong namespace is not an ONVIF device",
         Match("xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"", "s",
               "<d:Hello><wsa:EndpointReference><wsa:Address>urn:uuid:p</wsa:Address></wsa:EndpointReference>"
               "<d:Types>dn:Device</d:Types></d:Hello>"),
         true, DiscoveryKind::Hello, false},
        {"an undeclared type prefix falls back to the local name",
         Match("xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"", "s",
               "<d:Hello><wsa:EndpointReference><wsa:Address>urn:uuid:p</wsa:Address></wsa:EndpointReference>"
               "<d:Types>tdn:NetworkVideoTransmitter</d:Types></d:Hello>"),
         true, DiscoveryKind::Hello, true},
        {"not XML", "urn:uuid:cafe-1 http://10.0.0.9/", false, DiscoveryKind::ProbeMatches, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string why;
        const auto message = ReadDiscoveryMessage(c.xml, &why);
        ASSERT_EQ(message.has_value(), c.read) << why;
        if (!message) {
            EXPECT_FALSE(why.empty());
            continue;
        }
        EXPECT_EQ(message->kind, c.kind);
        ASSERT_EQ(message->devices.size(), 1u);
        EXPECT_EQ(message->devices[0].onvifTypes, c.onvifTypes);
    }
    const auto hello = ReadDiscoveryMessage(hello2009);
    ASSERT_TRUE(hello);
    EXPECT_EQ(hello->devices[0].endpoint, "urn:uuid:cafe-1");
    EXPECT_EQ(hello->devices[0].xaddrs, std::vector<std::string>{"http://10.0.0.9/onvif/device_service"});
}

std::string Fixture(const std::string& name) {
    std::ifstream in(std::string(ORVANTA_SOURCE_DIR) + "/tests/fixtures/onvif/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Answers as real firmware shapes them (files under tests/fixtures/onvif):
// each that carries an address and XAddrs is read, with the service port it
// announces; a fault is refused with a reason.
TEST(OnvifDiscoveryReader, FixturesOfRealShapes) {
    const struct {
        const char* file;
        bool read;
        const char* endpoint;
        const char* port;  // of the device service announced
    } cases[] = {
        {"probe-bare-probematch.xml", true, "uuid:c9791e2a-3b44-4f1e-8e70-00047d0eb85c", "8899"},
        {"probe-undeclared-prefixes.xml", true, "urn:uuid:5b1c0000-aaaa-4bbb-8ccc-001122334455", "8080"},
        {"probe-2009-with-2004-addressing.xml", true, "urn:uuid:2f6d0000-1111-4222-8333-444455556666", "10000"},
        {"probe-fault-refused.xml", false, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string datagram = Fixture(c.file);
        ASSERT_FALSE(datagram.empty());
        std::string why;
        const auto message = ReadDiscoveryMessage(datagram, &why);
        ASSERT_EQ(message.has_value(), c.read) << why;
        if (!message) {
            EXPECT_FALSE(why.empty());
            continue;
        }
        EXPECT_EQ(message->kind, DiscoveryKind::ProbeMatches);
        ASSERT_EQ(message->devices.size(), 1u);
        EXPECT_EQ(message->devices[0].endpoint, c.endpoint);
        EXPECT_TRUE(message->devices[0].onvifTypes);
        ServiceUrl url;
        ASSERT_EQ(message->devices[0].xaddrs.size(), 1u);
        ASSERT_TRUE(ParseServiceUrl(message->devices[0].xaddrs[0], url));
        EXPECT_EQ(url.port, c.port);
    }
}

// What a full ProbeMatch yields, and what is left out of one that lacks
// parts or lists too much. Catches a missing endpoint let through (it is the
// identity), duplicates kept, and unbounded lists.
TEST(OnvifDiscoveryReader, FieldsMissingPartsDuplicatesAndBounds) {
    const auto full = ReadDiscoveryMessage(Match());
    ASSERT_TRUE(full);
    EXPECT_EQ(full->relatesTo, "urn:uuid:0001");
    ASSERT_EQ(full->devices.size(), 1u);
    const DiscoveryAnnouncement& d = full->devices[0];
    EXPECT_EQ(d.endpoint, "urn:uuid:cafe-1");
    EXPECT_EQ(d.xaddrs.size(), 2u);
    EXPECT_EQ(d.metadataVersion, 3u);
    const OnvifScopeFields f = ReadScopeFields(d.scopes);
    EXPECT_EQ(f.name, "Gate North");
    EXPECT_EQ(f.hardware, "IPC-9");
    EXPECT_EQ(f.location, "city/Lyon");

    const auto matches = [](const std::string& entries) {
        return Match("xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"", "s",
                     "<d:ProbeMatches>" + entries + "</d:ProbeMatches>");
    };
    const auto entry = [](const std::string& endpoint, const std::string& rest = "") {
        return "<d:ProbeMatch><wsa:EndpointReference><wsa:Address>" + endpoint +
               "</wsa:Address></wsa:EndpointReference>" + rest + "</d:ProbeMatch>";
    };
    std::string many, longList;
    for (int i = 0; i < 100; ++i) many += entry("urn:uuid:" + std::to_string(i));
    for (int i = 0; i < 100; ++i) longList += " http://10.0.0." + std::to_string(i) + "/";
    const struct Case {
        const char* what;
        std::string entries;
        std::size_t devices;
        std::size_t xaddrs;  // of the first
    } cases[] = {
        {"no XAddrs, Scopes or Types: kept, fields empty", entry(" urn:uuid:a\n"), 1, 0},
        {"no endpoint reference: left out", "<d:ProbeMatch><d:XAddrs>http://x/</d:XAddrs></d:ProbeMatch>", 0, 0},
        {"an empty address: left out", entry("  "), 0, 0},
        {"the same endpoint twice: once", entry("urn:uuid:a") + entry("urn:uuid:a"), 1, 0},
        {"an address repeated in XAddrs: once", entry("urn:uuid:a", "<d:XAddrs>http://x/ http://x/</d:XAddrs>"), 1, 1},
        {"a control byte in the endpoint: left out", entry("urn:uuid:&#1;a"), 0, 0},
        {"a hundred matches: bounded", many, kMaxMatchesPerMessage, 0},
        {"a hundred XAddrs: bounded", entry("urn:uuid:a", "<d:XAddrs>" + longList + "</d:XAddrs>"), 1, kMaxListItems},
        {"an XAddr longer than any URL: dropped",
         entry("urn:uuid:a", "<d:XAddrs>http://" + std::string(5000, 'a') + "/ http://ok/</d:XAddrs>"), 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto m = ReadDiscoveryMessage(matches(c.entries));
        ASSERT_TRUE(m);
        ASSERT_EQ(m->devices.size(), c.devices);
        if (c.devices) {
            EXPECT_EQ(m->devices[0].xaddrs.size(), c.xaddrs);
            EXPECT_EQ(m->devices[0].endpoint.find_first_of(" \n"), std::string::npos);
        }
    }
}

// Hostile shapes end in a refusal, never a crash or a long walk. Catches
// missing size and depth limits.
TEST(OnvifDiscoveryReader, HostileSizesAreRefused) {
    std::string deep = "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\">";
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    deep += "</s:Envelope>";
    const std::string huge = Match("xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"", "s",
                                   "<d:Bye>" + std::string(kMaxDiscoveryMessageBytes, ' ') + "</d:Bye>");
    for (const std::string& xml : {deep, huge, std::string(), std::string("<"), std::string(1000, '\0')}) {
        std::string why;
        EXPECT_FALSE(ReadDiscoveryMessage(xml, &why));
        EXPECT_FALSE(why.empty());
    }
}

// Scope values and percent-decoding. Catches a malformed escape read past
// the end, control characters let into a listing, a name taken from
// another kind of scope.
TEST(OnvifDiscoveryReader, ScopesAndPercentDecoding) {
    const struct Case {
        std::vector<std::string> scopes;
        const char* name;
        const char* hardware;
        const char* location;
    } cases[] = {
        {{"onvif://www.onvif.org/name/A%2FB%20C"}, "A/B C", "", ""},
        {{"ONVIF://WWW.ONVIF.ORG/name/Upper"}, "Upper", "", ""},
        {{"onvif://www.onvif.org/name/first", "onvif://www.onvif.org/name/second"}, "first", "", ""},
        {{"onvif://www.onvif.org/name/bad%4", "onvif://www.onvif.org/hardware/x%zz"}, "bad%4", "x%zz", ""},
        {{"onvif://www.onvif.org/name/bell%07%0Aline"}, "bellline", "", ""},
        {{"onvif://www.onvif.org/name/", "onvif://www.onvif.org/type/video_encoder"}, "", "", ""},
        {{"http://example.org/name/nope", "onvif://www.onvif.org/location/country/fr"}, "", "", "country/fr"},
    };
    for (const Case& c : cases) {
        const OnvifScopeFields f = ReadScopeFields(c.scopes);
        EXPECT_EQ(f.name, c.name);
        EXPECT_EQ(f.hardware, c.hardware);
        EXPECT_EQ(f.location, c.location);
    }
}

// One entry per endpoint reference across replies, cards and a Bye; the
// card listed is one the camera shares a subnet with when there is one.
// Catches a camera listed once per card, XAddrs lost on merge, and a
// link-local or foreign-subnet answer dropped.
TEST(OnvifDiscoveryList, OneEntryPerEndpointAcrossCards) {
    const auto announce = [](const char* endpoint, std::vector<std::string> xaddrs, uint32_t version,
                             std::vector<std::string> scopes = {}) {
        DiscoveryAnnouncement a;
        a.endpoint = endpoint;
        a.xaddrs = std::move(xaddrs);
        a.metadataVersion = version;
        a.scopes = std::move(scopes);
        return a;
    };
    const DiscoveryOrigin foreign{"eth0", 0x0A000001, 0xFFFFFF00, 0xC0A80109};  // 192.168.1.9 seen on 10.0.0.1/24
    const DiscoveryOrigin direct{"eth1", 0xC0A80101, 0xFFFFFF00, 0xC0A80109};
    const DiscoveryOrigin linkLocal{"eth0", 0x0A000001, 0xFFFFFF00, 0xA9FE0A0B};

    OnvifDeviceList list;
    EXPECT_TRUE(list.Add(announce("urn:uuid:AB", {"http://192.168.1.9/d"}, 1, {"onvif://www.onvif.org/name/old"}),
                         foreign));
    EXPECT_FALSE(list.Add(announce("urn:uuid:ab", {"http://192.168.1.9/d", "http://10.0.0.9/d"}, 2,
                                   {"onvif://www.onvif.org/name/new"}),
                          direct));
    EXPECT_FALSE(list.Add(announce("urn:uuid:AB", {}, 1, {"onvif://www.onvif.org/name/stale"}), foreign));
    EXPECT_TRUE(list.Add(announce("urn:uuid:ll", {"http://169.254.10.11/d"}, 0), linkLocal));
    ASSERT_EQ(list.Devices().size(), 2u);
    const DiscoveredOnvifDevice& cam = list.Devices()[0];
    EXPECT_EQ(cam.xaddrs.size(), 2u);
    EXPECT_EQ(cam.interfaceName, "eth1");
    EXPECT_EQ(cam.interfaces, (std::vector<std::string>{"eth1", "eth0"}));
    EXPECT_EQ(cam.name, "new");
    EXPECT_EQ(cam.metadataVersion, 2u);
    EXPECT_EQ(list.Devices()[1].interfaceName, "eth0");
    EXPECT_EQ(list.Devices()[1].replyFrom, 0xA9FE0A0Bu);

    list.Remove("URN:UUID:AB");
    ASSERT_EQ(list.Devices().size(), 1u);
    EXPECT_EQ(list.Find("urn:uuid:ab"), nullptr);
    EXPECT_NE(list.Find("urn:uuid:LL"), nullptr);
}

// One reference from two senders is kept as two claimants, whatever the
// XAddrs say, and the form a reference comes in never splits or merges
// cameras. Catches a neighbour's answer merged away behind the camera's
// (the first claimant then taken on its word), a "uuid:" reference that
// the command line cannot take back, and two UUIDs that differ only in
// case counted as two cameras.
TEST(OnvifDiscoveryList, ClaimantsAndReferenceForms) {
    DiscoveryAnnouncement camera;
    camera.endpoint = "uuid:C979AAAA-0000-4000-8000-000000000001";
    camera.xaddrs = {"http://10.0.0.20/onvif/device_service"};
    DiscoveryAnnouncement liar = camera;  // same reference, XAddrs naming the camera
    liar.endpoint = "urn:uuid:c979aaaa-0000-4000-8000-000000000001";
    OnvifDeviceList list;
    EXPECT_TRUE(list.Add(camera, {"eth0", 0x0A000001, 0xFFFFFF00, 0x0A000014}));
    EXPECT_FALSE(list.Add(liar, {"eth0", 0x0A000001, 0xFFFFFF00, 0x0A000042}));
    EXPECT_FALSE(list.Add(camera, {"eth0", 0x0A000001, 0xFFFFFF00, 0x0A000014}));
    ASSERT_EQ(list.Devices().size(), 1u);
    const DiscoveredOnvifDevice& d = list.Devices()[0];
    EXPECT_EQ(ClaimantAddresses(d), (std::vector<std::string>{"10.0.0.20", "10.0.0.66"}));
    ServiceUrl url;
    const OnvifResult sole = SoleClaimant(d, url);
    EXPECT_EQ(sole.status, OnvifStatus::Fault);
    EXPECT_NE(sole.detail.find("10.0.0.20 and 10.0.0.66"), std::string::npos) << sole.detail;
    // Both addresses on one card (a camera with a second address) are one
    // camera; another card behind either is a second claimant.
    for (const bool oneCard : {true, false}) {
        const LinkLookup link = [&](const std::string& address, const std::string&, const std::string&) {
            const char* mac = address == "10.0.0.66" && !oneCard ? "02:00:00:00:00:66" : "02:00:00:00:00:20";
            return orvanta::hostnet::LinkLayerAnswer{orvanta::hostnet::LinkLayerStatus::Found,
                                                     *orvanta::MacAddress::Parse(mac), ""};
        };
        EXPECT_EQ(SoleClaimant(d, url, link).ok(), oneCard);
        if (oneCard) EXPECT_EQ(url.host, "10.0.0.20");
    }
    // An answer counts for the address it came from, not the one it names.
    EXPECT_EQ(FormatServiceUrl(*ServiceAnnouncedFrom(d, "10.0.0.66")), "http://10.0.0.66/onvif/device_service");
    EXPECT_FALSE(ServiceAnnouncedFrom(d, "10.0.0.99"));

    const struct {
        const char* given;
        const char* normal;
    } forms[] = {
        {"urn:uuid:C979AAAA-0000-4000-8000-000000000001", "urn:uuid:c979aaaa-0000-4000-8000-000000000001"},
        {"uuid:c979aaaa-0000-4000-8000-000000000001", "urn:uuid:c979aaaa-0000-4000-8000-000000000001"},
        {"UUID:C979AAAA-0000-4000-8000-000000000001", "urn:uuid:c979aaaa-0000-4000-8000-000000000001"},
        {"c979aaaa-0000-4000-8000-000000000001", "urn:uuid:c979aaaa-0000-4000-8000-000000000001"},
        {" urn:uuid:c979aaaa-0000-4000-8000-000000000001 ", "urn:uuid:c979aaaa-0000-4000-8000-000000000001"},
        {"http://cam.example/id/7", "http://cam.example/id/7"},  // another URI: kept as it is
    };
    for (const auto& f : forms) {
        EXPECT_EQ(CanonicalEndpoint(f.given), f.normal) << f.given;
        if (std::string(f.normal).rfind("urn:uuid:", 0) == 0) {
            EXPECT_TRUE(SameEndpoint(f.given, camera.endpoint)) << f.given;
            EXPECT_NE(list.Find(f.given), nullptr) << f.given;
        }
    }
    EXPECT_FALSE(SameEndpoint("urn:uuid:c979aaaa-0000-4000-8000-000000000002", camera.endpoint));
}

// Each probe carries its own MessageID and reads back as the Probe it is.
TEST(OnvifDiscoveryProbe, FreshMessageIdsInAWellFormedProbe) {
    const std::string a = NewMessageId(), b = NewMessageId();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.size(), 45u);
    EXPECT_EQ(a.rfind("urn:uuid:", 0), 0u);
    EXPECT_EQ(a[23], '4');  // version 4
    const std::string probe = BuildProbe(a);
    EXPECT_NE(probe.find("<a:MessageID>" + a + "</a:MessageID>"), std::string::npos);
    EXPECT_NE(probe.find("dn:NetworkVideoTransmitter tds:Device"), std::string::npos);
}

// A camera belongs in the subnet of the card it answered on, and the walk
// for a free address there starts where our own cameras' walk starts.
TEST(CardSubnet, TheCardItAnsweredOnAndWhereTheWalkStarts) {
    const auto ip = [](const char* text) {
        uint32_t a = 0;
        orvanta::ParseIpv4(text, a);
        return a;
    };
    const auto host = [](const char* text) {
        uint32_t a = 0;
        orvanta::ParseIpv4HostOrder(text, a);
        return a;
    };
    orvanta::hostnet::AdapterList pc;
    pc.adapters.resize(2);
    pc.adapters[0].name = "eth0";
    pc.adapters[0].addresses = {{ip("10.0.0.5"), ip("255.255.255.0")}};
    pc.adapters[0].gateways = {ip("10.0.0.1")};
    pc.adapters[0].dnsServers = {ip("10.0.0.2")};
    pc.adapters[1].name = "eth1";
    pc.adapters[1].addresses = {{ip("192.168.7.10"), ip("255.255.255.0")}, {ip("172.16.0.1"), ip("255.255.0.0")}};
    const struct {
        const char* card;
        const char* heardOn;  // the PC's address the reply came in on
        const char* address;  // "" when the card is not the PC's
        const char* mask;
        uint32_t gateway;
    } cases[] = {
        {"eth0", "10.0.0.5", "10.0.0.5", "255.255.255.0", host("10.0.0.1")},
        // Of a card's several addresses, the one the camera answered.
        {"eth1", "172.16.0.1", "172.16.0.1", "255.255.0.0", 0},
        {"eth1", "0.0.0.0", "192.168.7.10", "255.255.255.0", 0},
        {"wlan9", "10.9.9.9", "", "", 0},
        {"", "10.0.0.5", "", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.card) + " " + c.heardOn);
        DiscoveredOnvifDevice d;
        d.interfaceName = c.card;
        d.localAddress = host(c.heardOn);
        const auto subnet = CardSubnetOf(pc, d);
        ASSERT_EQ(subnet.has_value(), *c.address != 0);
        if (!subnet) continue;
        EXPECT_EQ(subnet->address, host(c.address));
        EXPECT_EQ(subnet->mask, host(c.mask));
        EXPECT_EQ(subnet->gateway, c.gateway);
    }

    const CardSubnet eth0{host("10.0.0.5"), host("255.255.255.0"), 0, 0};
    OnvifDeviceState camera;
    camera.mac = "AA:bb:cc:00:00:01";
    camera.ipv4 = {false, "10.0.0.77", 24};
    auto walk = FreeAddressWalk(eth0, camera);
    ASSERT_TRUE(walk);
    EXPECT_EQ(walk->start, ip("10.0.0.77"));  // inside: its own address is free for it
    EXPECT_EQ(walk->source, ip("10.0.0.5"));
    EXPECT_EQ(walk->mac[0], 0xAA);
    camera.ipv4 = {true, "169.254.3.4", 16};
    walk = FreeAddressWalk(eth0, camera);
    ASSERT_TRUE(walk);
    EXPECT_EQ(walk->start, ip("10.0.0.5"));  // outside: from the PC's own, which answers for itself
    EXPECT_FALSE(FreeAddressWalk({host("10.0.0.5"), host("255.255.255.254"), 0, 0}, camera));
    EXPECT_FALSE(FreeAddressWalk({}, camera));
}

// Ranges for a search beyond the PC's links: what is refused before
// anything is sent, by name, and how many addresses each reading gives.
TEST(OnvifAddressRanges, CheckedBeforeSending) {
    const struct {
        const char* text;
        std::size_t addresses;   // 0: refused
        const char* named;       // a word the refusal must carry
    } cases[] = {
        {"10.20.0.0/22", 1024, ""},                      // host bits zero
        {"10.20.1.77/22", 1024, ""},                     // host bits set: the same range, not a shifted one
        {"10.20.0.5", 1, ""},                            // a bare address is a /32
        {" 10.1.0.0/24 , 10.2.0.0/24", 512, ""},         // spaces around commas
        {"10.0.0.0/16", 65536, ""},                      // exactly the bound
        {"10.0.0.0/16,10.1.0.0/32", 0, "65537"},         // one past it, over several ranges
        {"10.0.0.0/8", 0, "10.0.0.0/8"},                 // a typo'd prefix, refused by name
        {"0.0.0.0/0", 0, "0.0.0.0/0"},                   // everything: refused for its size first
        {"239.255.255.250", 0, "multicast"},
        {"224.0.0.0/24", 0, "multicast"},
        {"127.0.0.0/30", 0, "loopback"},
        {"255.255.255.255", 0, "broadcast"},
        {"240.0.0.0/30", 0, "reserved"},
        {"0.0.0.0/30", 0, "this network"},
        {"192.168.0.0/23,", 0, "empty"},                 // a trailing comma is no range
        {"10.1.2.300/24", 0, "10.1.2.300/24"},
        {"10.1.2.0/33", 0, "prefix"},
        {"10.1.2.0/", 0, "prefix"},
        {"10.1.2.0/2x", 0, "prefix"},
        {"host.example/24", 0, "host.example/24"},
    };
    for (const auto& c : cases) {
        std::string why;
        const auto ranges = ParseAddressRanges(c.text, why);
        if (c.addresses == 0) {
            EXPECT_FALSE(ranges) << c.text;
            EXPECT_NE(why.find(c.named), std::string::npos) << c.text << ": " << why;
            continue;
        }
        ASSERT_TRUE(ranges) << c.text << ": " << why;
        std::size_t total = 0;
        for (const AddressRange& r : *ranges) total += r.last - r.first + 1;
        EXPECT_EQ(total, c.addresses) << c.text;
    }
}

// What is left of a range once the PC itself, its routers, network and
// broadcast addresses are taken out. Catches a probe to the PC's own
// address or its router, to a subnet's broadcast (every camera answers at
// once), and an address probed twice because two ranges overlap.
TEST(OnvifAddressRanges, SurveyLeavesOutThePcItsRoutersAndBroadcasts) {
    const auto ip = [](const char* text) {
        uint32_t a = 0;
        orvanta::ParseIpv4HostOrder(text, a);
        return a;
    };
    orvanta::hostnet::Adapter card;
    card.addresses = {{orvanta::Ipv4NetworkOrder(ip("10.5.0.1")), orvanta::PrefixMask(24)}};
    card.gateways = {orvanta::Ipv4NetworkOrder(ip("10.5.0.254"))};
    std::string why;
    const auto ranges = ParseAddressRanges("10.5.0.0/24,10.5.0.0/25,10.9.0.0/30,10.9.1.0/31", why);
    ASSERT_TRUE(ranges) << why;
    std::size_t skipped = 0;
    const std::vector<uint32_t> routers = {ip("10.9.0.2")};  // the router of another route
    const std::vector<uint32_t> left = AddressesToSurvey(*ranges, {card}, routers, &skipped);
    const auto has = [&](const char* a) { return std::find(left.begin(), left.end(), ip(a)) != left.end(); };
    EXPECT_FALSE(has("10.5.0.0"));    // the range's network address
    EXPECT_FALSE(has("10.5.0.255"));  // its broadcast, also the card's
    EXPECT_FALSE(has("10.5.0.1"));    // the PC
    EXPECT_FALSE(has("10.5.0.254"));  // its default gateway
    EXPECT_FALSE(has("10.9.0.2"));    // a router of another route
    EXPECT_TRUE(has("10.5.0.2"));
    EXPECT_TRUE(has("10.9.0.1"));
    EXPECT_TRUE(has("10.9.1.0"));     // a /31 has no network or broadcast address
    EXPECT_TRUE(has("10.9.1.1"));
    // 10.5.0.0/25 lies inside the /24: nothing twice.
    EXPECT_EQ(left.size(), std::size_t{252 + 1 + 2});
    EXPECT_EQ(skipped, std::size_t{3});
}
