#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/output/CameraRecordWriter.h"
#include "core/output/RecordWriter.h"
#include "core/provision/OnvifPlanRow.h"
#include "core/provision/PlanFile.h"
#include "core/provision/Provisioner.h"
#include "core/base/AddressText.h"
#include "core/base/MacAddress.h"
#include "core/settings/FixedField.h"

using namespace orvanta;
using namespace orvanta::provision;

namespace {

CameraSettings SampleCamera() {
    CameraSettings s;
    SetField(s.CamIP, "192.0.2.20");
    SetField(s.CamPort, "80");
    SetField(s.TitleBar, "=SUM(A1) lobby, \"north\"");  // a formula-guarded, quoted cell
    SetField(s.Desp, "-entrance");
    s.IPType = 1;
    SetField(s.IPAddr, "192.0.2.20");
    SetField(s.Netmask, "255.255.255.0");
    SetField(s.Gateway, "192.0.2.1");
    SetField(s.DNS1, "198.51.100.53");
    s.Timezone = -480;
    s.HttpPort = 8080;
    SetField(s.NTPName, "ntp.example, backup");
    SetField(s.Date, "2026/01/01");
    return s;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    return all;
}

}  // namespace

// What read prints is a plan to start from: every key it prints is either
// settable or knowingly ignored, and the plan it makes changes nothing on the
// camera it was read from. Catches a key added to read but not to plans, and
// any cell that does not survive our own CSV/JSON writing.
TEST(ProvisionPlan, ReadOutputIsAPlanThatChangesNothing) {
    const CameraSettings camera = SampleCamera();
    for (const bool secrets : {false, true}) {
        output::OutputTable table;
        table.columns = output::CameraRecordColumns(secrets);
        table.rows.push_back(output::CameraRecordRow(camera, secrets));
        for (const auto format : {output::OutputFormat::Csv, output::OutputFormat::Json}) {
            Plan plan;
            std::vector<std::string> problems;
            ASSERT_TRUE(ReadPlan(output::WriteTable(format, table), plan, problems)) << Joined(problems);
            ASSERT_EQ(plan.rows.size(), 1u);
            EXPECT_EQ(plan.rows[0].address, "192.0.2.20");
            CameraSettings planned;
            EXPECT_TRUE(ApplyRow(plan.rows[0], camera, planned).empty());
            EXPECT_STREQ(planned.TitleBar, camera.TitleBar);
            EXPECT_STREQ(planned.NTPName, camera.NTPName);
        }
    }
}

// Only the fields a row names change; an empty CSV cell names nothing, a
// JSON "" empties the field.
TEST(ProvisionPlan, OnlyNamedFieldsChange) {
    const CameraSettings camera = SampleCamera();
    struct Case {
        const char* plan;
        std::vector<std::string> changed;
        const char* dns1After;
    } cases[] = {
        {"mac,ip_address,dns1,title\n00:0e:53:1a:2b:3c,192.0.2.30,,lobby\n", {"ip_address", "title"}, "198.51.100.53"},
        {R"([{"serial": "SN1", "dns1": "", "http_port": 8080, "timezone": -480}])", {"dns1"}, ""},
        {"serial,timezone\nSN1,-0480\n", {}, "198.51.100.53"},  // same number, other spelling: unchanged
    };
    for (const Case& c : cases) {
        Plan plan;
        std::vector<std::string> problems;
        ASSERT_TRUE(ReadPlan(c.plan, plan, problems)) << c.plan << Joined(problems);
        CameraSettings planned;
        std::vector<std::string> changed;
        for (const PlanField* f : ApplyRow(plan.rows[0], camera, planned)) changed.push_back(f->key);
        EXPECT_EQ(changed, c.changed) << c.plan;
        EXPECT_STREQ(planned.DNS1, c.dns1After) << c.plan;
        EXPECT_STREQ(planned.Netmask, "255.255.255.0") << c.plan;
        EXPECT_TRUE(Mismatches(plan.rows[0], planned).empty()) << c.plan;
    }
    Plan plan;
    std::vector<std::string> problems;
    ASSERT_TRUE(ReadPlan("mac,user,password\n00:0E:53:1A:2B:3C,root,\"p,w\"\n", plan, problems));
    EXPECT_EQ(plan.rows[0].mac, "00:0E:53:1A:2B:3C");
    EXPECT_EQ(plan.rows[0].password.value_or("?"), "p,w");
}

// The whole plan is checked before anything is sent, and every fault is
// named at once, each with the line (or row) it is on.
TEST(ProvisionPlan, EveryFaultIsListedAtOnce) {
    const std::string plan =
        "mac,serial,ip_address,netmask,gateway,http_port,colour,ip_type\n"
        "00:0E:53:00:00:01,,192.0.2.10,255.255.255.0,192.0.2.1,80,,\n"        // line 2: good
        "00:0e:53:00:00:01,,192.0.2.11,255.255.255.0,,,,\n"                   // 3: same MAC as line 2
        ",SN7,192.0.2.10,255.255.255.0,,,,\n"                                 // 4: same address as line 2
        ",SN8,192.0.2.255,255.255.255.0,,,,\n"                                // 5: broadcast address
        ",SN9,192.0.2.12,255.255.255.0,198.51.100.1,,,\n"                     // 6: gateway elsewhere
        ",SN10,192.0.2.13,255.255.0.255,,70000,blue,3\n"                      // 7: mask, port, ip_type, column
        "zz:00,,300.1.1.1,,,,,\n"                                             // 8: mac, address
        ",,,,,,,\n";                                                          // 9: no camera named
    Plan parsed;
    std::vector<std::string> problems;
    EXPECT_FALSE(ReadPlan(plan, parsed, problems));
    const std::string all = Joined(problems);
    for (const char* expected :
         {"line 3: names the same camera as line 2", "line 4: gives the same address as line 2 (192.0.2.10)",
          "line 5: wired address 192.0.2.255 is not a host", "line 6: wired gateway 198.51.100.1",
          "line 7: netmask '255.255.0.255'", "line 7: http_port '70000'", "line 7: ip_type '3'",
          "unknown column 'colour'", "line 8: mac 'zz:00'", "line 8: ip_address '300.1.1.1'",
          "line 9: names no camera"})
        EXPECT_NE(all.find(expected), std::string::npos) << "missing: " << expected << "\nin:\n" << all;
    EXPECT_EQ(problems.size(), 11u) << all;  // nothing reported twice, line 2 clean

    // A row that asks for DHCP is not held to the address it also names.
    EXPECT_TRUE(ReadPlan("serial,ip_type,ip_address,netmask\nS,0,192.0.2.0,255.255.255.0\n", parsed, problems = {}));
}

// Malformed files fail with one reason instead of a half-read plan.
TEST(ProvisionPlan, MalformedFilesAreRefused) {
    const char* cases[] = {
        "",                                            // empty
        "mac\n\"00:0E:53:00:00:01\n",                  // quote never closed
        "mac\n00:0E:53:00:00:01,extra\n",              // more cells than columns
        "mac,mac\n00:0E:53:00:00:01,00:0E:53:00:00:02\n",  // column twice
        "[{\"mac\": \"00:0E:53:00:00:01\"}",           // array never closed
        "[{\"mac\": {\"x\": 1}}]",                     // nested value
        "[{\"serial\": \"a\", \"serial\": \"b\"}]",   // key twice
        "[{\"serial\": \"a\", \"http_port\": 80.5}]",  // not a whole number
        "[{\"serial\": \"\\ud800\"}]",                 // lone surrogate
        "[{\"serial\": \"a\\u0007\", \"title\": \"a\\u0007\"}]",  // control character in a form field
    };
    for (const char* text : cases) {
        Plan plan;
        std::vector<std::string> problems;
        EXPECT_FALSE(ReadPlan(text, plan, problems)) << text;
        EXPECT_FALSE(problems.empty()) << text;
    }
}

// ONVIF rows beside ours in one plan: each kind takes its own columns, the
// other kind's cells may stand empty in a shared header, and every fault of
// either kind is named in one go. Catches an ONVIF column refused on a
// native row's empty cell (or taken from a filled one), a bad ONVIF value
// let through, and one address given to a camera of each kind.
TEST(ProvisionPlan, OnvifRowsCheckedWithOurs) {
    const struct Case {
        const char* what;
        const char* plan;
        std::vector<std::string> problems;  // empty: the plan is good
    } cases[] = {
        {"a mixed CSV with one header",
         "kind,mac,uuid,ip_address,netmask,prefix,dhcp,gateway,dns,ntp,hostname,sync_time\n"
         "native,00:0E:53:00:00:01,,192.0.2.10,255.255.255.0,,,192.0.2.1,,,,\n"
         "onvif,,urn:uuid:cafe-1,192.0.2.20,,24,,192.0.2.1,\"192.0.2.53, 192.0.2.54\",pool.ntp.org,gate-1,1\n"
         ",00:0E:53:00:00:02,,192.0.2.11,255.255.255.0,,,,,,,\n"
         "onvif,AA:BB:CC:00:00:01,,,,,1,,,,,\n",
         {}},
        {"MACs and references in every form cameras and searches print them",
         "kind,mac,uuid\n"
         "onvif,00047D0EB85C,\n"
         "onvif,0004.7d0e.b85d,\n"
         "onvif,00-04-7D-0E-B8-5E,\n"
         "onvif,,uuid:C979AAAA-0000-4000-8000-000000000001\n"
         "onvif,,urn:uuid:c979aaaa-0000-4000-8000-000000000001\n"
         "onvif,00:04:7d:0e:b8:5c,\n",
         {"line 6: names the same camera as line 5", "line 7: names the same camera as line 2"}},
        {"a JSON plan, bare uuid, DHCP",
         R"([{"kind": "onvif", "uuid": "cafe-2", "dhcp": true, "dns": ""}, {"kind": "onvif", "address": "192.0.2.9"}])",
         {}},
        {"each fault of an ONVIF row",
         "kind,uuid,address,ip_address,prefix,dhcp,gateway,dns,ntp,hostname,sync_time,ssid\n"
         "onvif,urn:uuid:a,,192.0.2.0,24,,,,,,,\n"                    // 2: network address
         "onvif,urn:uuid:b,,192.0.2.30,24,,198.51.100.1,,,,,\n"       // 3: gateway elsewhere
         "onvif,urn:uuid:c,,192.0.2.31,33,maybe,,1.2.3,,-bad,2,\n"    // 4: prefix, dhcp, dns, hostname, sync_time
         "onvif,urn:uuid:d,,192.0.2.32,24,1,,,,,,\n"                  // 5: fixed and DHCP at once
         "onvif,,,,,,,,,,,home\n"                                      // 6: names nothing; native column
         "onvif,urn:uuid:a,,192.0.2.30,24,,,,,,,\n"                   // 7: same uuid, same new address
         "camera,urn:uuid:e,,,,,,,,,,\n"                               // 8: kind unknown
         "native,,192.0.2.40,,,,,,,,,\n"                               // 9: uuid column on a native row is empty: fine
         "native,urn:uuid:f,192.0.2.41,,24,,,,,,,\n",                 // 10: ONVIF cells filled on a native row
         {"line 2: ip_address 192.0.2.0 is not a host", "line 3: gateway 198.51.100.1 is not another host",
          "line 4: prefix '33'", "line 4: dhcp 'maybe'", "line 4: dns '1.2.3'", "line 4: hostname '-bad'",
          "line 4: sync_time '2'", "line 5: dhcp 1 and a fixed ip_address", "line 6: ssid is not used for ONVIF",
          "line 6: names no camera (give uuid, mac or address)", "line 7: names the same camera as line 2",
          "line 7: gives the same address as line 3 (192.0.2.30)", "line 8: kind 'camera'",
          "line 10: uuid is for ONVIF cameras only", "line 10: prefix is for ONVIF cameras only"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Plan plan;
        std::vector<std::string> problems;
        EXPECT_EQ(ReadPlan(c.plan, plan, problems), c.problems.empty()) << Joined(problems);
        const std::string all = Joined(problems);
        for (const std::string& expected : c.problems)
            EXPECT_NE(all.find(expected), std::string::npos) << "missing: " << expected << "\nin:\n" << all;
        EXPECT_EQ(problems.size(), c.problems.size()) << all;
    }

    Plan plan;
    std::vector<std::string> problems;
    ASSERT_TRUE(ReadPlan(cases[0].plan, plan, problems));
    ASSERT_EQ(plan.rows.size(), 4u);
    EXPECT_EQ(plan.rows[0].kind, CameraKind::Native);
    EXPECT_EQ(plan.rows[2].kind, CameraKind::Native);
    const PlanRow& cam = plan.rows[1];
    EXPECT_EQ(cam.kind, CameraKind::Onvif);
    EXPECT_EQ(cam.Name(), "urn:uuid:cafe-1");
    EXPECT_EQ(cam.onvif.dns, (std::vector<std::string>{"192.0.2.53", "192.0.2.54"}));
    EXPECT_EQ(cam.onvif.ntp, (std::vector<std::string>{"pool.ntp.org"}));
    EXPECT_TRUE(cam.onvif.syncTime);
    // A MAC of an ONVIF row is printed the one way, whatever form it came in.
    EXPECT_EQ(plan.rows[3].Name(), "aa:bb:cc:00:00:01");
}

// What an ONVIF row changes on the camera as read, and what a read-back
// must show. Catches a field sent that already matches (a needless
// restart of the camera's network), a prefix lost when only the address
// is planned, and a clock a second off counted as a change.
TEST(ProvisionPlan, OnvifChangesOnlyWhatDiffers) {
    onvif::OnvifDeviceState camera;
    camera.ipv4 = {false, "192.0.2.20", 24};
    camera.gateway = "192.0.2.1";
    camera.dns = {"192.0.2.53"};
    camera.hostname = "gate-1";
    camera.time.offsetSeconds = 1;
    const struct Case {
        const char* row;
        std::vector<std::string> changed;
        const char* ipv4After;  // as the change sends it, "" when not sent
    } cases[] = {
        {"ip_address=192.0.2.20,prefix=24,gateway=192.0.2.1,dns=192.0.2.53,hostname=gate-1,sync_time=1", {}, ""},
        {"ip_address=192.0.2.21", {"ipv4"}, "192.0.2.21/24"},
        {"prefix=16", {"ipv4"}, "192.0.2.20/16"},
        {"dhcp=1,dns=", {"ipv4", "dns"}, "dhcp"},
        {"dhcp=0", {}, ""},
        // Servers for a clock kept by hand: it is switched to NTP, and a
        // read-back still on its own clock is a mismatch.
        {"gateway=,ntp=192.0.2.123,hostname=gate-2", {"gateway", "ntp", "clock", "hostname"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        OnvifPlan plan;
        std::string row = c.row, why;
        for (std::size_t at = 0; at < row.size();) {
            const std::size_t end = std::min(row.find(',', at), row.size());
            const std::string cell = row.substr(at, end - at);
            const std::size_t eq = cell.find('=');
            ASSERT_TRUE(ApplyOnvifCell(cell.substr(0, eq), cell.substr(eq + 1), plan, why)) << why;
            at = end + 1;
        }
        std::vector<OnvifFieldChange> changes;
        const onvif::OnvifChange change = OnvifChangeFor(plan, camera, changes);
        std::vector<std::string> keys;
        for (const auto& f : changes) keys.push_back(f.key);
        EXPECT_EQ(keys, c.changed);
        EXPECT_EQ(change.empty(), c.changed.empty());
        const std::string sent = !change.ipv4 ? "" : change.ipv4->dhcp ? "dhcp"
                                 : change.ipv4->address + "/" + std::to_string(change.ipv4->prefix);
        EXPECT_EQ(sent, c.ipv4After);
        // The camera as planned reads back without a mismatch.
        onvif::OnvifDeviceState after = camera;
        if (change.ipv4) after.ipv4 = *change.ipv4;
        if (change.gateway) after.gateway = *change.gateway;
        if (change.dns) after.dns = *change.dns;
        if (change.ntp) after.ntp = *change.ntp;
        if (change.ntp) after.time.ntp = true;
        if (change.hostname) after.hostname = *change.hostname;
        EXPECT_TRUE(OnvifMismatches(plan, after).empty());
        if (!c.changed.empty()) EXPECT_FALSE(OnvifMismatches(plan, camera).empty());
    }
    OnvifPlan sync;
    sync.syncTime = true;
    camera.time.offsetSeconds = -15552000;  // six months behind
    std::vector<OnvifFieldChange> changes;
    EXPECT_TRUE(OnvifChangeFor(sync, camera, changes).syncTime);
}

namespace {

// ONVIF cameras as a scripted service sees them, by device-service URL.
class FakeOnvifCameras {
public:
    struct Camera {
        onvif::DiscoveredOnvifDevice found;
        onvif::OnvifDeviceState state;
        std::string password = "pw";
        bool ignoresGateway = false;  // says Ok, keeps its old gateway
    };
    std::mutex mutex;
    std::map<std::string, Camera> byTarget;
    int applies = 0;
    std::vector<std::string> called;  // the target of every read and apply, in order
    // Address -> the hardware address the link layer shows there (none: routed).
    std::map<std::string, std::string> links;

    onvif::LinkLookup LinkLookup() {
        return [this](const std::string& address, const std::string&, const std::string&) {
            std::lock_guard<std::mutex> lock(mutex);
            const auto it = links.find(address);
            if (it == links.end()) return hostnet::LinkLayerAnswer{hostnet::LinkLayerStatus::Routed, {}, "beyond a router"};
            return hostnet::LinkLayerAnswer{hostnet::LinkLayerStatus::Found, *MacAddress::Parse(it->second), ""};
        };
    }

    // A run with password "pw" against these cameras, each search round
    // answered by `claims` (by default every camera as itself).
    ProvisionOptions Options(std::function<std::vector<onvif::DiscoveredOnvifDevice>()> claims = {}) {
        ProvisionOptions options;
        options.searchSeconds = 1;
        options.password = "pw";
        options.havePassword = true;
        options.onvifRoundMs = 10;
        options.onvifService = [this](const auto&) { return std::make_unique<Service>(*this); };
        options.onvifLinkLookup = LinkLookup();
        options.onvifSearch = [this, claims](std::chrono::milliseconds round) {
            std::this_thread::sleep_for(round);
            std::lock_guard<std::mutex> lock(mutex);
            if (claims) return claims();
            std::vector<onvif::DiscoveredOnvifDevice> found;
            for (const auto& [target, cam] : byTarget) found.push_back(cam.found);
            return found;
        };
        return options;
    }

    void Add(const std::string& uuid, const std::string& ip, const std::string& mac) {
        Camera c;
        c.found.endpoint = uuid;
        uint32_t a = 0;
        ParseIpv4(ip, a);
        c.found.replyFrom = ntohl(a);
        c.found.xaddrs = {"http://" + ip + "/onvif/device_service"};
        c.state = {uuid, "Maker", "M1", "1.0", "SN-" + ip, "hw", "cam", "eth0", mac, {false, ip, 24}, "192.0.2.1"};
        c.found.heardFrom = {c.found.replyFrom};
        byTarget[c.found.xaddrs[0]] = c;
        links[ip] = mac;
    }

    class Service : public onvif::OnvifService {
    public:
        explicit Service(FakeOnvifCameras& cams) : cams_(cams) {}
        onvif::OnvifResult Read(const onvif::OnvifDevice& device, const onvif::OnvifCredentials& who,
                                onvif::OnvifDeviceState& state) override {
            const std::string target = onvif::FormatServiceUrl(device.service);
            std::lock_guard<std::mutex> lock(cams_.mutex);
            cams_.called.push_back(target);
            const auto it = cams_.byTarget.find(target);
            if (it == cams_.byTarget.end()) return {onvif::OnvifStatus::Unreachable, target};
            if (who.password != it->second.password) return {onvif::OnvifStatus::NotAuthorized, ""};
            state = it->second.state;
            return {};
        }
        onvif::OnvifResult Apply(const onvif::OnvifDevice& device, const onvif::OnvifCredentials& who,
                                 const onvif::OnvifChange& change, onvif::OnvifDeviceState& after) override {
            onvif::OnvifDeviceState state;
            if (onvif::OnvifResult r = Read(device, who, state); !r.ok()) return r;
            const std::string target = onvif::FormatServiceUrl(device.service);
            std::lock_guard<std::mutex> lock(cams_.mutex);
            ++cams_.applies;
            Camera& cam = cams_.byTarget[target];
            if (change.ipv4) cam.state.ipv4 = *change.ipv4;
            if (change.gateway && !cam.ignoresGateway) cam.state.gateway = *change.gateway;
            if (change.dns) cam.state.dns = *change.dns;
            if (change.hostname) cam.state.hostname = *change.hostname;
            after = cam.state;
            return {};
        }

    private:
        FakeOnvifCameras& cams_;
    };
};

}  // namespace

// ONVIF rows run through the provisioner with the statuses and report of
// ours, while a device on the LAN answers searches with other cameras'
// claims (XAddrs naming another's address, another's MAC in what it
// reports). Catches a row matched to the wrong camera (by MAC it takes a
// read to know), credentials sent to the claimant, a routed camera matched
// by MAC without a word, a refused login or a camera that keeps a field
// reported as done, and a dry run that writes. (A reference heard from two
// addresses is stopped by SoleClaimant, tested with the device list, and
// end to end in the ONVIF lab.)
TEST(ProvisionPlan, OnvifRowsRunThroughTheProvisioner) {
    FakeOnvifCameras cams;
    cams.Add("urn:uuid:a", "192.0.2.20", "aa:bb:cc:00:00:0a");
    cams.Add("urn:uuid:b", "192.0.2.21", "aa:bb:cc:00:00:0b");
    cams.Add("urn:uuid:c", "192.0.2.22", "aa:bb:cc:00:00:0c");
    cams.Add("urn:uuid:d", "192.0.2.23", "aa:bb:cc:00:00:0d");
    cams.Add("urn:uuid:e", "192.0.2.24", "aa:bb:cc:00:00:0e");
    cams.byTarget["http://192.0.2.23/onvif/device_service"].password = "other";
    cams.byTarget["http://192.0.2.24/onvif/device_service"].ignoresGateway = true;
    cams.Add("urn:uuid:far", "198.51.100.7", "aa:bb:cc:00:00:0f");
    cams.links.erase("198.51.100.7");  // beyond a router
    // The neighbour: reports camera c's MAC when read, has its own at the link layer.
    cams.Add("urn:uuid:liar", "192.0.2.66", "aa:bb:cc:00:00:0c");
    cams.links["192.0.2.66"] = "02:00:00:00:06:66";
    const std::string liar = "http://192.0.2.66/onvif/device_service";
    const auto claims = [&] {
        std::vector<onvif::DiscoveredOnvifDevice> found;
        for (const auto& [target, cam] : cams.byTarget) found.push_back(cam.found);
        onvif::DiscoveredOnvifDevice naming = cams.byTarget[liar].found;
        naming.endpoint = "urn:uuid:x";
        naming.xaddrs = {"http://192.0.2.21/onvif/device_service"};  // names camera b
        found.insert(found.begin(), naming);
        return found;
    };
    const std::string planText =
        "kind,uuid,mac,address,ip_address,prefix,gateway,hostname\n"
        "onvif,urn:uuid:a,,,192.0.2.40,24,,\n"             // moved
        "onvif,,,192.0.2.21,,,192.0.2.1,cam\n"             // already so; called at .21 only
        "onvif,,AA:BB:CC:00:00:0C,,,,,gate-c\n"            // found by MAC: .22 by the link layer, not the neighbour
        "onvif,urn:uuid:d,,,,,,gate-d\n"                   // refuses the password
        "onvif,urn:uuid:e,,,,,192.0.2.254,\n"              // keeps its gateway
        "onvif,urn:uuid:zz,,,,,,x\n"                       // not there
        "onvif,,aa:bb:cc:00:00:0f,,,,,site-far\n";         // routed: no MAC to see
    const RowStatus expected[] = {RowStatus::Done,           RowStatus::Unchanged, RowStatus::Done,    RowStatus::Refused,
                                  RowStatus::VerifyMismatch, RowStatus::NotFound,  RowStatus::NotFound};
    Plan plan;
    std::vector<std::string> problems;
    ASSERT_TRUE(ReadPlan(planText, plan, problems)) << Joined(problems);
    for (const bool dryRun : {true, false}) {
        SCOPED_TRACE(dryRun ? "dry run" : "run");
        ProvisionOptions options = cams.Options(claims);
        options.dryRun = dryRun;
        Provisioner provisioner(plan, options, nullptr);
        std::vector<RowResult> results;
        std::string why;
        ASSERT_TRUE(provisioner.Run(results, why)) << why;
        ASSERT_EQ(results.size(), std::size(expected));
        for (std::size_t i = 0; i < results.size(); ++i) {
            const RowStatus want = dryRun && expected[i] != RowStatus::Unchanged && expected[i] != RowStatus::Refused &&
                                           expected[i] != RowStatus::NotFound
                                       ? RowStatus::WouldChange
                                       : expected[i];
            EXPECT_EQ(StatusName(results[i].status), std::string(StatusName(want))) << i << ": " << results[i].detail;
        }
        EXPECT_EQ(results[0].camera, "urn:uuid:a");
        EXPECT_EQ(results[2].mac, "aa:bb:cc:00:00:0c");
        EXPECT_NE(results[6].detail.find("beyond a router (198.51.100.7)"), std::string::npos) << results[6].detail;
        ASSERT_EQ(results[0].changes.size(), 1u);
        EXPECT_EQ(results[0].changes[0].before, "192.0.2.20/24");
        EXPECT_EQ(results[0].changes[0].after, "192.0.2.40/24");
        if (dryRun) {
            EXPECT_EQ(cams.applies, 0);
        } else {
            EXPECT_EQ(results[0].oldAddress, "192.0.2.20");
            EXPECT_EQ(results[0].newAddress, "192.0.2.40");
            EXPECT_EQ(results[2].oldAddress, "192.0.2.22");
            EXPECT_NE(results[4].detail.find("gateway reads back '192.0.2.1', planned '192.0.2.254'"), std::string::npos)
                << results[4].detail;
        }
    }
    for (const std::string& target : cams.called) {
        EXPECT_NE(target, liar);
        EXPECT_EQ(target.find("198.51.100.7"), std::string::npos);
    }
    EXPECT_EQ(cams.byTarget[liar].state.hostname, "cam");
}
