// The two address walks: the temporary alias and the free-address search,
// driven through the scripted host network.
#include <gtest/gtest.h>
#include <net/if.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>

#include "FakeHostNetwork.h"
#include "core/hostnet/AddressProbe.h"
#include "core/hostnet/HostPartCounter.h"
#include "core/hostnet/RuntimeFolder.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/base/Diagnostics.h"
#include "core/settings/FixedField.h"

namespace orvanta::hostnet {
namespace {

using Strings = std::vector<std::string>;

TEST(HostPartCounterTest, TopHostAddress) {
    struct Row {
        const char *address, *mask, *top;
    } rows[] = {
        {"192.168.5.20", "255.255.255.0", "192.168.5.254"},  // last byte 255 lowered to 254
        {"10.1.2.3", "255.255.0.0", "10.1.255.254"},         // octets taken in wire order
        {"172.16.9.9", "255.255.255.252", "172.16.9.11"},    // small subnet: no lowering
        {"10.0.0.7", "255.255.255.255", "10.0.0.7"},         // /32: the address itself
    };
    for (const auto& r : rows)
        EXPECT_EQ(FormatIpv4(TopHostAddress(Ip(r.address), Ip(r.mask))), r.top) << r.address;
}

// Every candidate the counter produces after the start, as a walk would.
Strings Walk(const char* start, const char* mask, std::size_t limit) {
    HostPartCounter counter(Ip(mask));
    Strings out;
    uint32_t candidate = Ip(start);
    while (out.size() < limit && counter.StepDown()) {
        candidate = WithHostPart(candidate, Ip(mask), counter.Value());
        out.push_back(FormatIpv4(candidate));
    }
    return out;
}

TEST(HostPartCounterTest, StepsDownInWireOrder) {
    // /24: one below the top, down to .1, then exhausted (253 candidates).
    const Strings c24 = Walk("192.168.5.254", "255.255.255.0", 1000);
    ASSERT_EQ(c24.size(), 253u);
    EXPECT_EQ(c24.front(), "192.168.5.253");
    EXPECT_EQ(c24.back(), "192.168.5.1");

    // /16: the last byte runs out first, then borrows from the third.
    const Strings c16 = Walk("10.1.255.254", "255.255.0.0", 256);
    EXPECT_EQ(c16[0], "10.1.255.253");
    EXPECT_EQ(c16[252], "10.1.255.1");
    EXPECT_EQ(c16[253], "10.1.254.254");
    EXPECT_EQ(c16[254], "10.1.254.253");
    EXPECT_EQ(Walk("10.1.255.254", "255.255.0.0", 100000).back(), "10.1.0.1");

    // /31 and /32 have nothing to step to; the walk must end, not wrap.
    EXPECT_TRUE(Walk("10.0.0.1", "255.255.255.254", 10).empty());
    EXPECT_TRUE(Walk("10.0.0.1", "255.255.255.255", 10).empty());
}

struct AliasFixture : ::testing::Test {
    FakeHostNetwork net;
    AddedAddresses added{""};
    CameraSettings settings;

    // A network as SetUp leaves it, for cases that need a clean one.
    FakeHostNetwork fresh() const {
        FakeHostNetwork copy;
        copy.listing = net.listing;
        return copy;
    }

    void SetUp() override {
        Adapter eth;
        eth.index = 3;
        eth.type = AdapterType::Ethernet;
        eth.up = true;
        eth.addresses = {{Ip("192.168.1.10"), Ip("255.255.255.0")}};
        net.listing.adapters = {eth};
        settings.HostIfIndex = 3;
        settings.CamAddr = Ip("192.168.5.20");
        settings.CamMask = Ip("255.255.255.0");
    }
};

TEST_F(AliasFixture, AddsTopHostAddressAfterThreeSettlingWaits) {
    EXPECT_TRUE(EnsureCameraSubnet(settings, net, added));
    EXPECT_EQ(net.calls, (Strings{"list", "add 192.168.5.254/24 if3", "dup 192.168.5.254 1000",
                                  "dup 192.168.5.254 1000", "dup 192.168.5.254 1000", "list"}));
    ASSERT_EQ(added.Count(), 1u);
    EXPECT_EQ(added.Contexts()[0], (AliasContext{3, Ip("192.168.5.254"), Ip("255.255.255.0")}));
}

TEST_F(AliasFixture, DuplicateTopStepsToNextAndDeletesTheFirst) {
    net.duplicates = {Ip("192.168.5.254")};
    EXPECT_TRUE(EnsureCameraSubnet(settings, net, added));
    EXPECT_EQ(net.CallsOf("add"), (Strings{"add 192.168.5.254/24 if3", "add 192.168.5.253/24 if3"}));
    EXPECT_EQ(net.CallsOf("del"), (Strings{"del 192.168.5.254/24 if3"}));
    ASSERT_EQ(added.Count(), 1u);
    EXPECT_EQ(added.Contexts()[0].address, Ip("192.168.5.253"));
}

TEST_F(AliasFixture, CameraInPcSubnetAddsNothing) {
    // Whatever mask the camera reports: 0.0.0.0 once made the PC add
    // 192.255.255.254/8 with a host route that beat its own /24.
    for (const char* mask : {"255.255.255.0", "0.0.0.0", "255.0.0.0", "255.255.255.252"}) {
        FakeHostNetwork fresh = this->fresh();
        settings.CamAddr = Ip("192.168.1.77");
        settings.CamMask = Ip(mask);
        EXPECT_TRUE(EnsureCameraSubnet(settings, fresh, added)) << mask;
        EXPECT_TRUE(fresh.CallsOf("add").empty()) << mask;
        EXPECT_EQ(added.Count(), 0u) << mask;
    }
}

TEST_F(AliasFixture, AnotherCameraOfOurAddressesSubnetIsRoutedThroughIt) {
    // Where the subnet could only be routed camera by camera (a default
    // route takes it), each further camera is asked for through the one
    // address; the first camera's own is not asked for again.
    ASSERT_TRUE(EnsureCameraSubnet(settings, net, added));
    settings.CamAddr = Ip("192.168.5.21");
    EXPECT_TRUE(EnsureCameraSubnet(settings, net, added));
    settings.CamAddr = Ip("192.168.5.20");
    EXPECT_TRUE(EnsureCameraSubnet(settings, net, added));
    EXPECT_EQ(net.CallsOf("add"), (Strings{"add 192.168.5.254/24 if3", "add 192.168.5.254/24 if3"}));
    EXPECT_EQ(added.Count(), 1u);
    // The helper's refusal is the camera's reason.
    net.addResultForAll = {AliasStatus::Refused, "already 64 cameras routed through 192.168.5.254 (at most 64)"};
    settings.CamAddr = Ip("192.168.5.22");
    std::string why;
    SetDiagnosticSink(nullptr);
    EXPECT_FALSE(EnsureCameraSubnet(settings, net, added, {}, &why));
    EXPECT_EQ(why, "already 64 cameras routed through 192.168.5.254 (at most 64)");
}

TEST_F(AliasFixture, AnotherCardsNetworkIsRefusedBeforeAnyAdd) {
    // A laptop's Wi-Fi holds 192.168.7.10/24 and routes 10/8 into a VPN.
    Adapter wlan;
    wlan.index = 4;
    wlan.name = "wlan0";
    wlan.type = AdapterType::Wireless;
    wlan.up = true;
    wlan.addresses = {{Ip("192.168.7.10"), Ip("255.255.255.0")}};
    wlan.routes = {{Ip("10.0.0.0"), Ip("255.0.0.0")}};
    net.listing.adapters[0].name = "eth0";
    net.listing.adapters.push_back(wlan);
    SetDiagnosticSink(nullptr);
    for (const char* cam : {"192.168.7.20", "10.9.9.9"}) {
        FakeHostNetwork fresh = this->fresh();
        settings.CamAddr = Ip(cam);
        std::string why;
        EXPECT_FALSE(EnsureCameraSubnet(settings, fresh, added, {}, &why)) << cam;
        EXPECT_TRUE(fresh.CallsOf("add").empty()) << cam;
        EXPECT_NE(why.find("wlan0; reaching a camera there would disturb it"), std::string::npos) << why;
    }
    // The camera rides along with the add, so the helper can route to it alone.
    settings.CamAddr = Ip("192.168.5.20");
    EXPECT_TRUE(EnsureCameraSubnet(settings, net, added));
    EXPECT_EQ(net.present.at(0).camera, Ip("192.168.5.20"));
}

TEST_F(AliasFixture, FailuresOtherAddressesCannotMendEndTheWalkAtOnce) {
    // Each row would otherwise cost 3 s on each of 253 addresses.
    for (AliasStatus status : {AliasStatus::PermissionDenied, AliasStatus::HelperMissing,
                               AliasStatus::NoSuchInterface, AliasStatus::Refused}) {
        FakeHostNetwork fresh = net;
        fresh.addResultForAll = {status, "scripted"};
        EXPECT_FALSE(EnsureCameraSubnet(settings, fresh, added));
        EXPECT_EQ(fresh.CallsOf("add").size(), 1u);
        EXPECT_TRUE(fresh.CallsOf("sleep").empty());
        EXPECT_EQ(added.Count(), 0u);
    }
    // The same when the duplicate check itself lacks its capability: the
    // alias that did go on comes off again.
    net.duplicateCheckFailure = AliasStatus::PermissionDenied;
    EXPECT_FALSE(EnsureCameraSubnet(settings, net, added));
    EXPECT_EQ(net.CallsOf("add").size(), 1u);
    EXPECT_TRUE(net.present.empty());
}

TEST_F(AliasFixture, FailedListingDuringVerificationIsAFailedAddNotAnExit) {
    AdapterList broken;
    broken.ok = false;
    broken.error = "scripted";
    net.listingQueue = {net.listing, broken};  // EnsureCameraSubnet's look, then the check
    EXPECT_TRUE(EnsureCameraSubnet(settings, net, added));
    EXPECT_EQ(net.CallsOf("add"), (Strings{"add 192.168.5.254/24 if3", "add 192.168.5.253/24 if3"}));
    EXPECT_EQ(added.Contexts().at(0).address, Ip("192.168.5.253"));
}

TEST_F(AliasFixture, AddThatNeverShowsIsDeletedAndRetried) {
    net.hideAddedAliases = true;
    settings.CamMask = Ip("255.255.255.252");  // candidates .23 .22 .21
    settings.CamAddr = Ip("192.168.5.21");
    EXPECT_TRUE(EnsureCameraSubnet(settings, net, added));
    // Exhausted: the top host address goes on once more, unchecked.
    EXPECT_EQ(net.CallsOf("add"), (Strings{"add 192.168.5.23/30 if3", "add 192.168.5.22/30 if3",
                                           "add 192.168.5.21/30 if3", "add 192.168.5.23/30 if3"}));
    EXPECT_EQ(net.CallsOf("del").size(), 3u);
    EXPECT_EQ(net.calls.back(), "add 192.168.5.23/30 if3");
    EXPECT_EQ(added.Count(), 1u);
}

TEST_F(AliasFixture, RecoverableAddFailureStillWaitsThenSteps) {
    net.addResults[Ip("192.168.5.254")] = {AliasStatus::Exists, "File exists"};
    EXPECT_TRUE(EnsureCameraSubnet(settings, net, added));
    EXPECT_EQ(net.CallsOf("sleep").size(), 3u);
    EXPECT_EQ(net.CallsOf("del"), Strings{});  // nothing of ours to delete
    EXPECT_EQ(added.Contexts().at(0).address, Ip("192.168.5.253"));

    // An owner the helper's own probe found needs no settling wait.
    FakeHostNetwork probed = fresh();
    probed.addResults[Ip("192.168.5.254")] = {AliasStatus::Duplicate, "in use"};
    AddedAddresses second{""};
    EXPECT_TRUE(EnsureCameraSubnet(settings, probed, second));
    EXPECT_EQ(probed.CallsOf("sleep"), Strings{});
    EXPECT_EQ(second.Contexts().at(0).address, Ip("192.168.5.253"));
}

TEST_F(AliasFixture, CameraMaskNeverWidensTheAliasBeyondItsPrivateBlock) {
    struct Row {
        const char* camAddr;
        const char* camMask;
        const char* add;  // the first add the walk makes
    } rows[] = {
        {"192.168.5.20", "255.255.255.0", "add 192.168.5.254/24 if3"},
        // A quarter of IPv4 asked for: the camera's private block instead.
        {"192.168.5.20", "192.0.0.0", "add 192.168.255.254/16 if3"},
        {"172.20.1.5", "255.0.0.0", "add 172.31.255.254/12 if3"},
        {"10.1.2.3", "128.0.0.0", "add 10.255.255.254/8 if3"},
        {"169.254.3.4", "0.0.0.0", "add 169.254.255.254/16 if3"},
        // A mask with holes: its leading run of ones.
        {"10.1.2.3", "255.255.0.255", "add 10.1.255.254/16 if3"},
        // Public: passed on unchanged, for the host network to refuse.
        {"198.51.100.20", "255.255.255.0", "add 198.51.100.254/24 if3"},
    };
    for (const auto& r : rows) {
        FakeHostNetwork net2 = fresh();
        AddedAddresses none{""};
        settings.CamAddr = Ip(r.camAddr);
        settings.CamMask = Ip(r.camMask);
        EnsureCameraSubnet(settings, net2, none);
        ASSERT_FALSE(net2.CallsOf("add").empty()) << r.camAddr << "/" << r.camMask;
        EXPECT_EQ(net2.CallsOf("add").front(), r.add) << r.camAddr << "/" << r.camMask;
    }
}

TEST_F(AliasFixture, StateFileOutlivesACrashAndIsClearedOnRemoval) {
    char dir[] = "/tmp/ovh_stateXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string file = std::string(dir) + "/orvanta/aliases";
    const uint32_t lo = if_nametoindex("lo");
    {
        // Two cameras in two subnets: two aliases, both recorded.
        AddedAddresses recorded(file);
        Adapter loAdapter;
        loAdapter.index = lo;
        net.listing.adapters = {loAdapter};
        settings.HostIfIndex = lo;
        EnsureCameraSubnet(settings, net, recorded);
        settings.CamAddr = Ip("10.9.0.5");
        settings.CamMask = Ip("255.255.0.0");
        EnsureCameraSubnet(settings, net, recorded);
        ASSERT_EQ(recorded.Count(), 2u);
        // The "crash": the object goes away without RemoveTemporaryAddresses.
    }
    const auto stale = AddedAddresses::Load(file);
    ASSERT_EQ(stale.size(), 2u);
    EXPECT_EQ(stale[1], (AliasContext{lo, Ip("10.9.255.254"), Ip("255.255.0.0")}));

    // Without the helper nothing can be removed now: the record must stay
    // for a later start rather than the aliases being forgotten on the PC.
    FakeHostNetwork helperless;
    helperless.removeFailure = AliasStatus::HelperMissing;
    EXPECT_EQ(RemoveStaleAliases(helperless, file), 0);
    EXPECT_EQ(AddedAddresses::Load(file).size(), 2u);

    FakeHostNetwork next;
    next.present = stale;
    EXPECT_EQ(RemoveStaleAliases(next, file), 2);
    EXPECT_TRUE(next.present.empty());
    EXPECT_FALSE(std::ifstream(file).good());

    // A normal close removes both, first added first, and forgets the file.
    AddedAddresses live(file);
    live.Commit({lo, Ip("192.168.5.254"), Ip("255.255.255.0")});
    live.Commit({lo, Ip("10.9.255.254"), Ip("255.255.0.0")});
    RemoveTemporaryAddresses(next, live);
    EXPECT_EQ(next.CallsOf("del").end()[-2], "del 192.168.5.254/24 if" + std::to_string(lo));
    EXPECT_EQ(live.Count(), 0u);
    EXPECT_FALSE(std::ifstream(file).good());
    rmdir((std::string(dir) + "/orvanta").c_str());
    rmdir(dir);
}

TEST(AddedAddressesTest, SharedFolderIsNeitherWrittenNorBelieved) {
    char dir[] = "/tmp/ovh_stateXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string folder = std::string(dir) + "/orvanta";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    chmod(folder.c_str(), 0777);  // as another user's pre-made /tmp folder would be
    const std::string file = folder + "/aliases";
    {
        std::ofstream(file) << "lo 10.9.255.254/16\n";  // planted
    }
    EXPECT_TRUE(AddedAddresses::Load(file).empty());
    std::string diag;
    SetDiagnosticSink([&diag](std::string_view line) { diag += std::string(line) + "\n"; });
    AddedAddresses added(file);
    added.Commit({if_nametoindex("lo"), Ip("192.168.5.254"), Ip("255.255.255.0")});
    SetDiagnosticSink({});
    EXPECT_NE(diag.find("not a private folder"), std::string::npos);
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "lo 10.9.255.254/16");  // left as it was, not rewritten
    std::remove(file.c_str());
    rmdir(folder.c_str());
    rmdir(dir);
}

TEST(AddedAddressesTest, RecordIsReadOnlyToItsCapsAndNeverBlocks) {
    char dir[] = "/tmp/ovh_stateXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string file = std::string(dir) + "/aliases";
    {
        std::ofstream out(file);
        for (int i = 0; i < 200000; ++i) out << "lo 10.9.255.254/16\n";
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(AddedAddresses::Load(file).size(), AddedAddresses::kMaxRecordedAliases);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    std::remove(file.c_str());
    // A FIFO in the record's place is not opened for a read that would wait.
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_TRUE(AddedAddresses::Load(file).empty());
    std::remove(file.c_str());
    rmdir(dir);
}

TEST(RuntimeFolderTest, PrivateFolderIsMadeOrRefused) {
    char dir[] = "/tmp/ovh_runXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string mine = std::string(dir) + "/mine";
    EXPECT_EQ(MakePrivateFolder(mine), "");
    struct stat st;
    ASSERT_EQ(lstat(mine.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);

    // What another user could have put in /tmp before us.
    const std::string link = std::string(dir) + "/link";
    ASSERT_EQ(symlink(mine.c_str(), link.c_str()), 0);
    EXPECT_NE(MakePrivateFolder(link), "");
    if (getuid() == 0) {
        const std::string theirs = std::string(dir) + "/theirs";
        ASSERT_EQ(mkdir(theirs.c_str(), 0700), 0);
        ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
        EXPECT_NE(MakePrivateFolder(theirs), "");
        rmdir(theirs.c_str());
    }
    // A squatted /tmp name gives way to the fallback, which is made private.
    const std::string fallback = std::string(dir) + "/cache";
    EXPECT_EQ(FirstPrivateFolder(link, fallback), fallback);
    EXPECT_EQ(FirstPrivateFolder(mine, fallback), mine);
    unlink(link.c_str());
    rmdir(mine.c_str());
    rmdir(fallback.c_str());
    rmdir(dir);
}

const std::array<uint8_t, 6> kCamMac{0x00, 0x0e, 0x11, 0x22, 0x33, 0x44};
const std::array<uint8_t, 6> kPcMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x10};
const std::array<uint8_t, 6> kOtherMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x99};

TEST(FindFreeAddressTest, Walks) {
    const ArpReply cam = FakeHostNetwork::Answer(kCamMac);
    const ArpReply other = FakeHostNetwork::Answer(kOtherMac);
    const ArpReply failed{ArpStatus::Failed, {}, AliasStatus::PermissionDenied, "scripted"};
    struct Row {
        const char* what;
        const char* start;
        std::map<uint32_t, std::deque<ArpReply>> script;
        const char* expect;
        std::size_t probes;
    } rows[] = {
        // The camera confirms its own address three times: it keeps it.
        {"camera thrice", "192.168.1.20", {{Ip("192.168.1.20"), {cam, cam, cam}}}, "192.168.1.20", 3},
        // Nobody at the start address: it is free as it is.
        {"start free", "192.168.1.20", {}, "192.168.1.20", 1},
        // PC's own address answers, .253 answers, .252 is free; .254 never tried.
        {"from the PC", "192.168.1.10",
         {{Ip("192.168.1.10"), {FakeHostNetwork::Answer(kPcMac)}}, {Ip("192.168.1.253"), {other}}},
         "192.168.1.252", 3},
        // Twice the camera, then another device: the first phase ends and the
        // walk moves on instead of counting on.
        {"camera then stranger", "192.168.1.20",
         {{Ip("192.168.1.20"), {cam, cam, other}}}, "192.168.1.253", 4},
        // After the first phase the camera's MAC elsewhere is just "in use".
        {"camera MAC later", "192.168.1.20",
         {{Ip("192.168.1.20"), {other}}, {Ip("192.168.1.253"), {cam}}}, "192.168.1.252", 3},
        // A request that cannot be sent gives back the start, not a guess.
        {"failure", "192.168.1.20", {{Ip("192.168.1.20"), {other}}, {Ip("192.168.1.253"), {failed}}},
         "192.168.1.20", 2},
    };
    for (auto& r : rows) {
        FakeHostNetwork net;
        net.arpScript = r.script;
        EXPECT_EQ(FormatIpv4(FindFreeAddress(net, Ip(r.start), Ip("192.168.1.10"), Ip("255.255.255.0"), kCamMac)),
                  r.expect)
            << r.what;
        EXPECT_EQ(net.CallsOf("arp").size(), r.probes) << r.what;
        EXPECT_EQ(net.CallsOf("arp").at(0), std::string("arp ") + r.start + " from 192.168.1.10") << r.what;
    }
}

TEST(FindFreeAddressTest, FullSubnetGivesStartAndCameraStartRule) {
    FakeHostNetwork net;
    for (int i = 1; i <= 3; ++i) net.arpOwners[Ip(("10.0.0." + std::to_string(i)).c_str())] = kOtherMac;
    EXPECT_EQ(FindFreeAddress(net, Ip("10.0.0.2"), Ip("10.0.0.1"), Ip("255.255.255.252"), kCamMac), Ip("10.0.0.2"));

    // Camera outside the PC's subnet: the search starts at the PC's address.
    CameraSettings s;
    SetField(s.HostIP, "192.168.1.10");
    SetField(s.HostMask, "255.255.255.0");
    s.CamAddr = Ip("192.168.5.20");
    s.CamMask = Ip("255.255.255.0");
    FakeHostNetwork net2;
    EXPECT_EQ(FindFreeAddressForCamera(s, net2), Ip("192.168.1.10"));
    s.CamAddr = Ip("192.168.1.20");
    std::memcpy(s.CamMAC, kCamMac.data(), 6);
    net2.arpOwners[Ip("192.168.1.20")] = kCamMac;
    EXPECT_EQ(FindFreeAddressForCamera(s, net2), Ip("192.168.1.20"));
}

TEST(SingleProbeTest, AnswerMeansInUseAnythingElseFree) {
    FakeHostNetwork net;
    net.arpOwners[Ip("192.168.1.30")] = kOtherMac;
    net.arpScript[Ip("192.168.1.31")] = {{ArpStatus::Failed, {}, AliasStatus::PermissionDenied, "x"}};
    EXPECT_TRUE(ProbeAddressInUse(net, Ip("192.168.1.30"), Ip("192.168.1.10")));
    EXPECT_FALSE(ProbeAddressInUse(net, Ip("192.168.1.31"), Ip("192.168.1.10")));
    EXPECT_FALSE(ProbeAddressInUse(net, Ip("192.168.1.32"), Ip("192.168.1.10")));
}

}  // namespace
}  // namespace orvanta::hostnet
