// The discovery client's list keeping, expiry, records and datagram reading,
// driven with injected addresses, an injected clock and hand-made replies.
// Nothing here opens a network socket.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "DiagnosticCapture.h"
#include "ScriptedDiscoveryTransport.h"
#include "core/discovery/DiscoveryClient.h"
#include "core/discovery/DiscoveryReceiver.h"
#include "core/discovery/DiscoveryRequest.h"
#include "core/base/AddressText.h"

using namespace orvanta::discovery;

namespace {

struct Fixture {
    uint32_t now = 1000;
    DiscoverySettings settings;
    Fixture() {
        settings.localAddresses = [](std::vector<uint32_t>& a) {
            a = {0x0100000Au};  // 10.0.0.1 in network order
            return true;
        };
        settings.now = [this] { return now; };
        settings.diagnostics = false;
    }
};

DiscoveryEntry Image(uint32_t macLow, const char* description, uint8_t ipLast, uint32_t when) {
    DiscoveryReplyFields f;
    f.mac[4] = uint8_t(macLow >> 8);
    f.mac[5] = uint8_t(macLow);
    const uint8_t ip[4] = {10, 0, 0, ipLast};
    std::memcpy(&f.ipNetOrder, ip, 4);
    f.port = 80;
    f.description = description;
    f.serial = "S" + std::to_string(macLow);
    const auto d = DiscoveryReply::Encode(f);
    DiscoveryEntry e;
    DiscoveryReply::Accept(d.data(), d.size(), e.payload, false);
    e.receiveTime = when;
    return e;
}

std::vector<std::string> ListedMacs(const DiscoveryClient& v) {
    std::vector<std::string> out;
    for (const auto& e : v.List().InArrivalOrder()) out.push_back(orvanta::FormatMac(e.payload.data(), orvanta::MacCase::Upper));
    return out;
}

}  // namespace

TEST(DiscoveryClient, AddOrUpdateKeepsOneEntryPerMacInArrivalOrder) {
    Fixture fx;
    DiscoveryClient v(fx.settings);
    ASSERT_FALSE(v.LookupFailed());
    ASSERT_EQ(v.RecordCapacity(), 25);

    v.AddOrUpdate(Image(1, "a", 11, 1000));
    v.AddOrUpdate(Image(2, "b", 12, 1000));
    v.AddOrUpdate(Image(3, "c", 13, 1000));
    EXPECT_EQ(v.FormatRecords(), 1);

    // The same camera again with the same address: no change, one entry.
    v.AddOrUpdate(Image(2, "b", 12, 1500));
    EXPECT_FALSE(v.Changed());
    EXPECT_EQ(v.FormatRecords(), 0);
    EXPECT_EQ(v.List().Count(), 3u);

    // A description change alone is not a change of the list.
    v.AddOrUpdate(Image(2, "renamed", 12, 1600));
    EXPECT_EQ(v.FormatRecords(), 0);

    // A new address updates the entry where it stands and is a change.
    v.AddOrUpdate(Image(2, "renamed", 99, 1700));
    EXPECT_TRUE(v.Changed());
    EXPECT_EQ(ListedMacs(v), (std::vector<std::string>{"00:00:00:00:00:01", "00:00:00:00:00:02",
                                                        "00:00:00:00:00:03"}));
    ASSERT_EQ(v.FormatRecords(), 1);
    EXPECT_STREQ(v.Records()[1].IpText, "10.0.0.99");
    EXPECT_STREQ(v.Records()[1].DescInterface, "renamed/");
    EXPECT_EQ(v.List().InArrivalOrder().begin()->sequence, 1);
    int seq = 0;
    for (const auto& e : v.List().InArrivalOrder()) EXPECT_EQ(e.sequence, ++seq);
}

TEST(DiscoveryClient, ExpiryByAgeAcrossTickWrap) {
    struct Row {
        const char* what;
        uint32_t received;
        uint32_t now;
        bool removed;
    };
    const Row rows[] = {
        // Exactly the time to live is still alive; one tick more is not.
        {"at 7000 ms", 1000, 8000, false},
        {"at 7001 ms", 1000, 8001, true},
        // The 32-bit tick wraps after 49.7 days; ages must survive it.
        {"wrapped, young", 0xFFFFF000u, 0x00000100u, false},
        {"wrapped, old", 0xFFFFF000u, 0x00001F00u, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Fixture fx;
        fx.now = row.received;
        DiscoveryClient v(fx.settings);
        v.AddOrUpdate(Image(1, "a", 1, row.received));
        v.FormatRecords();
        fx.now = row.now;
        v.ExpireEntries();
        EXPECT_EQ(v.List().Count(), row.removed ? 0u : 1u);
        EXPECT_EQ(v.Changed(), row.removed);
    }
}

// The MAC index and the age order must give exactly what a plain walk of the
// list gives; a random history against a naive model catches a stale index,
// a misordered age list or a survivor left unrenumbered after a removal.
TEST(DiscoveryClient, IndexedListMatchesAPlainWalk) {
    struct Naive {
        uint32_t mac;
        uint8_t ip;
        uint32_t t;
    };
    Fixture fx;
    DiscoveryClient v(fx.settings);
    std::vector<Naive> model;
    std::mt19937 rng(7);
    for (int step = 0; step < 4000; ++step) {
        fx.now += rng() % 300;
        const uint32_t mac = 1 + rng() % 60;
        const uint8_t ip = uint8_t(rng() % 3);
        v.AddOrUpdate(Image(mac, "x", ip, fx.now));
        auto it = std::find_if(model.begin(), model.end(), [&](const Naive& n) { return n.mac == mac; });
        if (it == model.end()) model.push_back({mac, ip, fx.now});
        else *it = {mac, ip, fx.now};
        v.ExpireEntries();
        model.erase(std::remove_if(model.begin(), model.end(),
                                   [&](const Naive& n) { return fx.now - n.t > 7000; }),
                    model.end());
        ASSERT_EQ(v.List().Count(), model.size()) << "step " << step;
    }
    int seq = 0;
    for (const auto& e : v.List().InArrivalOrder()) EXPECT_EQ(e.sequence, ++seq);
    std::size_t i = 0;
    for (const auto& e : v.List().InArrivalOrder()) {
        EXPECT_EQ(e.payload[5], uint8_t(model[i].mac));
        EXPECT_EQ(e.payload[11], model[i].ip);
        EXPECT_EQ(e.receiveTime, model[i].t);
        ++i;
    }
}

// A full list makes room by dropping the latest newcomer heard only once,
// else the longest-unheard camera of all. Against a naive model, a random
// history catches a wrong victim, a stale index or "heard once" mark, and a
// position left unnumbered after a drop from the middle.
TEST(DiscoveryList, BoundedListMatchesANaiveModel) {
    struct Naive {
        uint32_t mac;
        uint32_t t;
        long lastHeard;  // order of the latest reply
        bool once;
    };
    constexpr std::size_t kCap = 12;
    DiscoveryList list(kCap);
    std::vector<Naive> model;  // in arrival order
    std::mt19937 rng(11);
    uint32_t now = 5000;
    for (long step = 0; step < 6000; ++step) {
        now += rng() % 200;
        // Mostly a few regulars, now and then a stranger.
        const uint32_t mac = rng() % 4 ? 1 + rng() % 10 : 100 + rng() % 400;
        const DiscoveryEntry image = Image(mac, "x", 1, now);
        auto it = std::find_if(model.begin(), model.end(), [&](const Naive& n) { return n.mac == mac; });
        if (DiscoveryEntry* found = list.Find(image.payload.data() + kPayloadMac)) {
            ASSERT_NE(it, model.end()) << "step " << step;
            list.Refresh(*found, image);
            *it = {mac, now, step, false};
        } else {
            ASSERT_EQ(it, model.end()) << "step " << step;
            if (model.size() == kCap) {
                auto victim = model.end();
                for (auto m = model.begin(); m != model.end(); ++m)
                    if (m->once && (victim == model.end() || m->lastHeard > victim->lastHeard)) victim = m;
                if (victim == model.end()) {
                    for (auto m = model.begin(); m != model.end(); ++m)
                        if (victim == model.end() || m->lastHeard < victim->lastHeard) victim = m;
                }
                model.erase(victim);
            }
            list.Append(image);
            model.push_back({mac, now, step, true});
        }
        if (step % 7 == 0) {
            list.RemoveOlderThan(now, 7000);
            model.erase(std::remove_if(model.begin(), model.end(), [&](const Naive& n) { return now - n.t > 7000; }),
                        model.end());
        }
        ASSERT_EQ(list.Count(), model.size()) << "step " << step;
        if (step % 97 == 0 || step == 5999) {
            std::size_t i = 0;
            for (const auto& e : list.InArrivalOrder()) {
                ASSERT_EQ(e.sequence, int32_t(i + 1)) << "step " << step;
                ASSERT_EQ(e.payload[5], uint8_t(model[i].mac)) << "step " << step;
                ASSERT_EQ(e.payload[4], uint8_t(model[i].mac >> 8)) << "step " << step;
                ++i;
            }
        }
    }
}

TEST(DiscoveryClient, NoAddressMeansEverySearchFails) {
    Fixture fx;
    fx.settings.localAddresses = [](std::vector<uint32_t>&) { return false; };
    DiscoveryClient v(fx.settings);
    EXPECT_TRUE(v.LookupFailed());
    for (const bool restart : {true, false}) {
        const SearchResult r = v.Search(restart);
        EXPECT_EQ(r.change, SearchChange::Failed);
        EXPECT_TRUE(r.cameras.empty());
    }
    EXPECT_FALSE(v.SocketsOpen());
}

namespace {

// A datagram socket pair stands in for the network: the test writes
// datagrams into one end, the client reads them from the other.
struct DatagramPair {
    int fds[2] = {-1, -1};
    DatagramPair() {
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_DGRAM, 0, fds), 0);
        fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    }
    ~DatagramPair() {
        close(fds[0]);
        close(fds[1]);
    }
    void Send(const std::vector<uint8_t>& d) { ASSERT_EQ(send(fds[1], d.data(), d.size(), 0), ssize_t(d.size())); }
};


}  // namespace

TEST(DiscoveryClient, ReceiveReplyResults) {
    DiagnosticCapture diag;
    Fixture fx;
    fx.settings.diagnostics = true;
    DiscoveryClient v(fx.settings);
    DatagramPair pair;
    InterfaceSlot slot;
    slot.socket = pair.fds[0];
    ReplyPayload payload;
    using Outcome = DiscoveryClient::ReceiveOutcome;

    struct Row {
        const char* what;
        std::vector<uint8_t> datagram;  // empty: nothing sent
        DiscoveryClient::ReceiveOutcome result;
        const char* diag;
    };
    DiscoveryReplyFields f;
    f.mac[0] = 0xAA;
    const auto reply = DiscoveryReply::Encode(f);
    const auto req = DiscoveryRequest::Build();
    std::vector<uint8_t> tooLong(reply);
    tooLong.push_back(0);
    const Row rows[] = {
        {"reply", reply, Outcome::Accepted, "recvfrom function return length = 284\n"},
        // The PC's own request comes back on the port and is refused.
        {"own request", {req.bytes.begin(), req.bytes.end()}, Outcome::Rejected, nullptr},
        // One byte over the largest reply is a receive failure, not a cut read.
        {"285 bytes", tooLong, Outcome::NothingRead,
         "recvfrom function return length = -1\nFailed in receive reply message !\n"},
        // Nothing waiting on the non-blocking socket.
        {"queue empty", {}, Outcome::NothingRead,
         "recvfrom function return length = -1\nFailed in receive reply message !\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (!row.datagram.empty()) pair.Send(row.datagram);
        const std::size_t before = diag.text().size();
        EXPECT_EQ(v.ReceiveReply(&slot, &payload), row.result);
        if (row.diag) {
            EXPECT_EQ(diag.text().substr(before), row.diag);
        }
    }
    EXPECT_EQ(v.ReceiveReply(nullptr, &payload), Outcome::NoSlot);
    EXPECT_EQ(v.ReceiveReply(&slot, nullptr), Outcome::NoBuffer);
    EXPECT_EQ(v.SendRequest(nullptr), DiscoveryClient::SendOutcome::NoSlot);
    const std::string all = diag.text();
    EXPECT_NE(all.find("Invalid handler !\n"), std::string::npos);
    EXPECT_NE(all.find("Invalid reply data buffer !\n"), std::string::npos);
}


// The receive thread empties the socket whether the client reads or not, so
// a burst larger than the socket's own queue survives until the client comes.
// Its queue is bounded: what does not fit is dropped and counted. Datagrams
// come out in order, and a datagram too long for the largest reply reports
// its full length so that the client can refuse it.
TEST(DiscoveryReceiver, DrainsABurstIntoABoundedQueue) {
    DatagramPair pair;
    DiscoveryReceiver receiver(100);
    ASSERT_TRUE(receiver.Add(pair.fds[0]));
    ASSERT_FALSE(receiver.Add(pair.fds[0]));
    std::vector<uint8_t> d(kMaxReplySize, 0);
    // A local datagram socket queues only a handful; these sends block until
    // the thread has taken them, with the client reading nothing.
    for (int i = 0; i < 150; ++i) {
        d[0] = uint8_t(i);
        pair.Send(d);
    }
    std::vector<bool> readable;
    ASSERT_EQ(receiver.Wait({pair.fds[0]}, 2000000, readable), 1);
    for (int spin = 0; spin < 200 && receiver.Dropped() < 50; ++spin) usleep(10000);
    EXPECT_EQ(receiver.Dropped(), 50u);
    uint8_t buf[kMaxReplySize];
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(receiver.Take(pair.fds[0], buf, sizeof buf), long(kMaxReplySize));
        ASSERT_EQ(buf[0], uint8_t(i));
    }
    EXPECT_EQ(receiver.Take(pair.fds[0], buf, sizeof buf), -1);
    EXPECT_EQ(receiver.Wait({pair.fds[0]}, 1000, readable), 0);

    d.push_back(0);
    pair.Send(d);
    ASSERT_EQ(receiver.Wait({pair.fds[0]}, 2000000, readable), 1);
    EXPECT_EQ(receiver.Take(pair.fds[0], buf, sizeof buf), long(kMaxReplySize + 1));
    // Removing stops the thread; the socket stays the caller's.
    receiver.Remove(pair.fds[0]);
    EXPECT_FALSE(receiver.Drains(pair.fds[0]));
    pair.Send(d);
    EXPECT_EQ(recv(pair.fds[0], buf, sizeof buf, MSG_TRUNC), ssize_t(kMaxReplySize + 1));
}

namespace {

// A client on the in-memory network, with one or two local addresses.
struct Scripted : Fixture {
    std::shared_ptr<ScriptedDiscoveryTransport> net = std::make_shared<ScriptedDiscoveryTransport>();
    std::unique_ptr<DiscoveryClient> v;
    // What the last step that did not fail handed out, as a caller keeps it.
    const DiscoveredCamera* records = nullptr;
    int count = -1;
    explicit Scripted(int addresses = 1) {
        settings.localAddresses = [addresses](std::vector<uint32_t>& a) {
            a = {0x0100000Au, 0x0101000Au};
            a.resize(addresses);
            return true;
        };
        settings.transport = net;
        settings.waitCycles = 3;
        v = std::make_unique<DiscoveryClient>(settings);
    }
    SearchChange Search(int restart) {
        const SearchResult r = v->Search(restart == 1);
        if (r.change != SearchChange::Failed) {
            records = r.cameras.data();
            count = static_cast<int>(r.cameras.size());
        }
        return r.change;
    }
    void Reply(uint32_t mac, uint8_t ip) {
        DiscoveryReplyFields f;
        f.mac[5] = uint8_t(mac);
        f.ipNetOrder = uint32_t(ip) << 24 | 0x0A;
        net->Deliver(DiscoveryReply::Encode(f));
    }
};

}  // namespace

TEST(DiscoveryClient, SearchSendsOnceAnIntervalAndRestartsQuietly) {
    Scripted s(2);
    EXPECT_EQ(s.Search(0), SearchChange::Unchanged);  // the first call opens and broadcasts at once
    EXPECT_EQ(s.net->opened, 2);
    EXPECT_EQ(s.net->requestsSent, 1);  // one request whatever the number of slots
    const auto req = DiscoveryRequest::Build();
    EXPECT_EQ(s.net->lastRequest, std::vector<uint8_t>(req.bytes.begin(), req.bytes.end()));

    s.Reply(1, 5);
    EXPECT_EQ(s.Search(0), SearchChange::Rebuilt);
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.v->RecordCapacity(), 25);
    // Both sockets heard the broadcast reply: one entry, the slot read last.
    EXPECT_EQ(s.v->List().InArrivalOrder().front().slotIndex, 1);
    s.now += 7000 - 0;
    EXPECT_EQ(s.Search(0), SearchChange::Unchanged);
    EXPECT_EQ(s.net->requestsSent, 1);  // exactly the interval is not yet more
    s.now += 1;
    s.Search(0);
    EXPECT_EQ(s.net->requestsSent, 2);

    // A restart empties the list and reopens, but is no change by itself.
    const DiscoveredCamera* before = s.records;
    EXPECT_EQ(s.Search(1), SearchChange::Unchanged);
    EXPECT_EQ(s.count, 0);
    EXPECT_EQ(s.records, before);
    EXPECT_EQ(s.net->opened, 4);
    EXPECT_EQ(s.net->OpenHandles(), 2u);
    EXPECT_EQ(s.net->requestsSent, 3);
    EXPECT_STREQ(s.records[0].MacText, "00:00:00:00:00:01");  // the old rows stay for the caller
}

TEST(DiscoveryClient, EntriesExpireOnlyWhenADatagramIsRead) {
    Scripted s;
    s.Search(1);
    s.Reply(1, 5);
    s.Reply(2, 6);
    EXPECT_EQ(s.Search(0), SearchChange::Rebuilt);
    EXPECT_EQ(s.count, 2);
    s.now += 7001;  // both cameras fall silent
    s.Search(0);    // resend, but nothing read: no entry is removed
    EXPECT_EQ(s.v->List().Count(), 2u);
    // The PC's own request coming back is rejected, yet it drives the expiry.
    const auto req = DiscoveryRequest::Build();
    s.net->Deliver({req.bytes.begin(), req.bytes.end()});
    EXPECT_EQ(s.Search(0), SearchChange::Rebuilt);
    EXPECT_EQ(s.count, 0);
}

TEST(DiscoveryClient, SocketFailuresFailTheSearchUntilARestart) {
    Scripted s;
    s.net->failOpen = true;
    EXPECT_EQ(s.Search(1), SearchChange::Failed);
    s.net->failOpen = false;
    EXPECT_EQ(s.Search(0), SearchChange::Failed);  // the slot keeps its failed socket
    EXPECT_EQ(s.count, -1);      // outputs untouched
    EXPECT_EQ(s.Search(1), SearchChange::Unchanged);
    s.Reply(1, 5);
    EXPECT_EQ(s.Search(0), SearchChange::Rebuilt);
    EXPECT_EQ(s.count, 1);

    // A failed wait fails the call and keeps the list and the sockets.
    s.net->failWait = true;
    s.count = -1;
    EXPECT_EQ(s.Search(0), SearchChange::Failed);
    EXPECT_EQ(s.count, -1);
    EXPECT_EQ(s.v->List().Count(), 1u);
    EXPECT_TRUE(s.v->SocketsOpen());
}

TEST(DiscoveryClient, SendFailuresAreReportedAndThePollGoesOn) {
    struct Row {
        DiscoveryTransport::SendResult result;
        const char* line;
    };
    const Row rows[] = {
        {DiscoveryTransport::OpenFailed, "Failed in open sending socket !\n"},
        {DiscoveryTransport::SendFailed, "Failed in send request message !\n"},
    };
    for (const auto& row : rows) {
        DiagnosticCapture diag;
        Scripted s;
        s.settings.diagnostics = true;
        s.v = std::make_unique<DiscoveryClient>(s.settings);
        s.net->sendResult = row.result;
        s.Reply(1, 5);  // nobody is listening yet: lost
        EXPECT_EQ(s.Search(1), SearchChange::Unchanged);
        EXPECT_EQ(diag.text(), row.line);
    }
}

TEST(DiscoveryClient, ANeverEndingStreamCannotHoldASearch) {
    // A socket that is never drained: every read finds another datagram.
    struct Endless : ScriptedDiscoveryTransport {
        long reads = 0;
        long Receive(int, uint8_t* buffer, std::size_t capacity) override {
            ++reads;
            const auto req = DiscoveryRequest::Build();
            std::memcpy(buffer, req.bytes.data(), std::min(capacity, req.bytes.size()));
            return static_cast<long>(req.bytes.size());
        }
        int Wait(const std::vector<int>& handles, int, std::vector<bool>& readable) override {
            readable.assign(handles.size(), true);
            return static_cast<int>(handles.size());
        }
    };
    Fixture fx;
    auto net = std::make_shared<Endless>();
    fx.settings.transport = net;
    fx.settings.waitCycles = 3;
    fx.settings.maxReadsPerCycle = 50;
    DiscoveryClient v(fx.settings);
    EXPECT_EQ(v.Search(true).change, SearchChange::Unchanged);
    EXPECT_EQ(net->reads, 3 * 50);
}
