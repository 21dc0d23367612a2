// Requests against a scripted server on 127.0.0.1: time limits, failure
// codes, what a failed read leaves in the record, and the sequences.
#include <arpa/inet.h>
#include <netinet/in.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "core/camera/CameraParameters.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/NetworkCameraService.h"
#include "core/http/HttpTransport.h"
#include "core/http/TransportSettings.h"
#include "core/camera/WpsRequest.h"
#include "core/base/Diagnostics.h"
#include "core/settings/FixedField.h"
#include "LoopbackCamera.h"

namespace orvanta {
namespace {

const char* const kOk = "HTTP/1.0 200 OK\r\n\r\n";

class CameraTransport : public ::testing::Test {
protected:
    void SetUp() override {
        limits_.connectWaitMs = 300;
        limits_.receiveLimitMs = 800;
    }
    TransportSettings limits_;
};

TEST_F(CameraTransport, NeverClosingCameraReturnsWithinTheLimit) {
    limits_.replyQuietMs = 0;  // the reply's own limit alone
    LoopbackCamera server({{std::string(kOk) + "Version=1.0.7\r\n", true}});
    CameraSettings s;
    server.Aim(s);
    const auto start = std::chrono::steady_clock::now();
    const HttpResult r = ReadParameters(limits_, Deadline::Never(), s, ParameterGroup::Version);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GT(r.length, 0u);
    EXPECT_STREQ(s.Version, "1.0.7");  // what arrived by then is the reply
    EXPECT_LT(took, std::chrono::milliseconds(2500));
}

// A camera that answers and keeps the connection open: a reply that says
// how long it is ends there; one whose header promises a body that never
// comes is no reply, however long the limit.
TEST_F(CameraTransport, KeptOpenRepliesEndAtTheirAnnouncedLength) {
    TransportSettings& t = limits_;
    t.receiveLimitMs = 20000;  // waiting for the close would show as 20 s
    const std::string body = "Version=1.0.7\r\n";
    LoopbackCamera server({{std::string("HTTP/1.0 200 OK\r\nContent-Length: ") + std::to_string(body.size()) +
                                "\r\n\r\n" + body,
                            true}});
    CameraSettings s;
    server.Aim(s);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_GT(ReadParameters(limits_, Deadline::Never(), s, ParameterGroup::Version).length, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_STREQ(s.Version, "1.0.7");

    t.receiveLimitMs = 800;
    LoopbackCamera silent({{"HTTP/1.0 200 OK\r\nContent-Length: 40\r\n\r\nVersion=9", true}});
    silent.Aim(s);
    EXPECT_EQ(ReadParameters(limits_, Deadline::Never(), s, ParameterGroup::Version).status, HttpStatus::TimedOut);
    EXPECT_STREQ(s.Version, "1.0.7");
}

// Without a length, a kept-open reply ends once the camera falls quiet
// after a body that ends at a line end, long before the reply's own limit;
// a pause before the body (a camera still scanning) or inside a line is no end.
TEST_F(CameraTransport, KeptOpenRepliesWithoutALengthEndWhenQuiet) {
    limits_.receiveLimitMs = 20000;
    limits_.replyQuietMs = 300;
    const std::string head(kOk);
    const std::string body = "Version=1.0.7\r\n";
    const auto turn = [](std::string reply, std::size_t pauseAt = std::string::npos) {
        LoopbackCamera::Turn t{std::move(reply), true};
        t.pauseAt = pauseAt;
        t.pauseMs = 900;
        return t;
    };
    struct Row {
        const char* what;
        LoopbackCamera::Turn turn;
        int atLeastMs;
    } rows[] = {
        {"kept open", turn(head + body), 300},
        {"no status line", turn(body), 300},
        {"pause before the body", turn(head + body, head.size()), 1200},
        {"pause inside a line", turn(head + body, head.size() + 5), 1200},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LoopbackCamera server({row.turn});
        CameraSettings s;
        server.Aim(s);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_GT(ReadParameters(limits_, Deadline::Never(), s, ParameterGroup::Version).length, 0u);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_STREQ(s.Version, "1.0.7");
        EXPECT_GE(took, std::chrono::milliseconds(row.atLeastMs));
        EXPECT_LT(took, std::chrono::seconds(5));
    }
}

// The overall limit counts from the start of the sequence, not of each
// request: requests of 600 ms each (a kept-open reply without a length, the
// quiet rule off) fit their own limit, but the third passes the sequence's
// 1.5 s, whether the service's own limit or the caller's deadline sets it.
// A drip-fed reply cut by the limit is not parsed, though its own limit is
// far off.
TEST_F(CameraTransport, OverallLimitBoundsTheWholeSequence) {
    TransportSettings& t = limits_;
    t.receiveLimitMs = 600;
    t.replyQuietMs = 0;
    const std::string ok(kOk);
    struct Row {
        int serviceLimitMs;  // the service's overall limit (0: none)
        int callerLimitMs;   // the deadline the caller hands down (0: none)
    };
    for (const Row row : {Row{1500, 0}, Row{0, 1500}, Row{1500, 60000}}) {
        t.overallLimitMs = row.serviceLimitMs;
        std::vector<LoopbackCamera::Turn> turns;
        for (const char* page : {"Version=1\r\n", "TitleBar=t\r\n", "WPAPSKeyM=0\r\n", "DDNS=0\r\n", "NTPEN=1\r\n",
                                 "Wireless=0\r\n"})
            turns.push_back({ok + page, true});
        LoopbackCamera server(turns);
        CameraSettings s;
        server.Aim(s);
        std::vector<AccessPointEntry> aps;
        const auto start = std::chrono::steady_clock::now();
        const CameraResult o = NetworkCameraService(limits_).Read(s, aps, Deadline::After(row.callerLimitMs));
        EXPECT_FALSE(o.ok()) << row.serviceLimitMs << "/" << row.callerLimitMs;
        EXPECT_EQ(o.last.status, HttpStatus::TimedOut);
        EXPECT_EQ(s.Loaded, 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    }
    {
        t.overallLimitMs = 1500;
        t.receiveLimitMs = 20000;
        LoopbackCamera server({{ok + "TitleBar=" + std::string(200, 'd') + "\r\n", false, 20}});
        CameraSettings s;
        server.Aim(s);
        SetField(s.TitleBar, "kept");
        EXPECT_EQ(ReadParameters(limits_, Deadline::Never(), s, ParameterGroup::Sysinfo).status, HttpStatus::TimedOut);
        EXPECT_STREQ(s.TitleBar, "kept");
    }
}

TEST_F(CameraTransport, FailedReadsLeaveTheRecord) {
    struct Row {
        std::string reply;
        ParameterGroup group;
        HttpStatus expected;
    } rows[] = {
        // A network page without its key mode: nothing stored.
        {std::string(kOk) + "IPType=0\r\nIPAddr=198.51.100.9\r\n", ParameterGroup::Network, HttpStatus::NoWpaKeyMode},
        {"HTTP/1.0 401 Unauthorized\r\n\r\nUnauthorized", ParameterGroup::Sysinfo, HttpStatus::Unauthorized},
        {"HTTP/1.0 404 Not Found\r\n\r\nIPAddr=198.51.100.9\r\nWPAPSKeyM=1", ParameterGroup::Network,
         HttpStatus::NotFound10},
        {"", ParameterGroup::Network, HttpStatus::NoReply},
    };
    for (const Row& r : rows) {
        LoopbackCamera server({{r.reply}});
        CameraSettings s;
        server.Aim(s);
        s.IPType = 1;
        SetField(s.IPAddr, "10.0.0.2");
        SetField(s.TitleBar, "kept");
        CameraSettings before = s;
        EXPECT_EQ(ReadParameters(limits_, Deadline::Never(), s, r.group).status, r.expected) << r.reply;
        EXPECT_EQ(std::memcmp(&before, &s, sizeof s), 0) << r.reply;
    }
}

TEST_F(CameraTransport, SysinfoAuthParsesAnEmptyReply) {
    LoopbackCamera server({{""}});
    CameraSettings s;
    server.Aim(s);
    SetField(s.TitleBar, "old");
    EXPECT_EQ(ReadSysinfoAuth(limits_, Deadline::Never(), s), HttpResult::Received(0));
    EXPECT_STREQ(s.TitleBar, "");
}

TEST_F(CameraTransport, ReplySizes) {
    // Exactly the capacity: taken whole, terminated, checked and parsed.
    std::string exact = std::string(kOk) + "Version=2.0\r\n";
    exact += std::string(kReplyCapacity - exact.size(), 'x');
    // Larger: cut at the capacity, the start still parsed.
    const std::string larger = exact + std::string(3000, 'y');
    for (const std::string& reply : {exact, larger}) {
        LoopbackCamera server({{reply}});
        CameraSettings s;
        server.Aim(s);
        EXPECT_EQ(ReadParameters(limits_, Deadline::Never(), s, ParameterGroup::Version), HttpResult::Received(kReplyCapacity));
        EXPECT_STREQ(s.Version, "2.0");
    }
}

TEST_F(CameraTransport, ConnectFailures) {
    CameraSettings s;
    {
        LoopbackCamera server;
        server.Aim(s);
        // A closing window stops the task at its next connect.
        SetKeepConnecting(s, false);
        EXPECT_EQ(ReadParameters(limits_, Deadline::Never(), s, ParameterGroup::Version).status, HttpStatus::ConnectFailed);
        EXPECT_TRUE(server.Requests().empty());
    }
    SetKeepConnecting(s, true);
    // The server is gone: refused at once.
    EXPECT_EQ(ReadParameters(limits_, Deadline::Never(), s, ParameterGroup::Version).status, HttpStatus::ConnectFailed);
    SetField(s.CamPort, "99999");
    EXPECT_EQ(ReadParameters(limits_, Deadline::Never(), s, ParameterGroup::Version).status, HttpStatus::ConnectFailed);
}

TEST_F(CameraTransport, ResolveAndProbe) {
    EXPECT_EQ(ResolveHost("10.1.2.3"), std::optional<uint32_t>(htonl(0x0A010203)));
    EXPECT_EQ(ResolveHost(""), std::optional<uint32_t>(htonl(INADDR_LOOPBACK)));  // no name: this machine
    // The diagnostic goes to the sink, never to stdout, which carries results.
    testing::internal::CaptureStdout();
    std::string diag;
    SetDiagnosticSink([&diag](std::string_view line) { diag += std::string(line) + "\n"; });
    EXPECT_EQ(ResolveHost("10.1.2.256"), std::nullopt);
    SetDiagnosticSink({});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(diag, "The IPv4 address entered must be a legal address\n");

    uint16_t port = 0;
    {
        LoopbackCamera server;
        port = static_cast<uint16_t>(std::stoi(server.PortText()));
        EXPECT_EQ(ProbeInternet(limits_, "127.0.0.1", port), 0);
    }
    EXPECT_EQ(ProbeInternet(limits_, "127.0.0.1", port), -1);  // nobody listens any more
    EXPECT_EQ(ProbeInternet(limits_, "127.0.0.1", 0), -1);
}

TEST_F(CameraTransport, NormalSaveSucceedsWhateverTheNetworkWriteGets) {
    for (const char* networkReply : {"HTTP/1.0 402 Failure\r\n\r\n", ""}) {
        LoopbackCamera server({{kOk}, {kOk}, {kOk}, {networkReply}});
        CameraSettings s;
        server.Aim(s);
        std::vector<std::string> steps;
        const CameraResult o = NetworkCameraService(limits_).Save(
            s, SaveForm::Normal, Deadline::Never(), [&](const CameraStep& step) { steps.push_back(step.name); });
        EXPECT_TRUE(o.ok());
        EXPECT_EQ(steps, (std::vector<std::string>{"write sysinfo", "write ddns", "write time", "write network"}));
    }
}

TEST_F(CameraTransport, SaveStopsAtTheFirstFailureAndOnCancel) {
    {
        // The WPS save reads the time group: "Unauthorized" there ends it as Unauthorized.
        LoopbackCamera server({{kOk}, {kOk}, {"HTTP/1.0 401 Unauthorized\r\n\r\nUnauthorized"}});
        CameraSettings s;
        server.Aim(s);
        const CameraResult o = NetworkCameraService(limits_).Save(s, SaveForm::AfterWps, Deadline::Never());
        EXPECT_EQ(o.outcome, CameraOutcome::Refused);
        EXPECT_EQ(o.last.status, HttpStatus::Unauthorized);
    }
    {
        LoopbackCamera server({{kOk}, {kOk}, {kOk}, {kOk}});
        CameraSettings s;
        server.Aim(s);
        // Given up on just before the network write: that write never leaves,
        // so the save must not count as done.
        const CameraResult o = NetworkCameraService(limits_).Save(s, SaveForm::Normal, Deadline::Never(), [&](const CameraStep& step) {
            if (std::string(step.name) == "write time") SetKeepConnecting(s, false);
        });
        EXPECT_EQ(o.outcome, CameraOutcome::Cancelled);
        EXPECT_EQ(o.done.size(), 3u);
        EXPECT_EQ(server.RequestCount(), 3u);
    }
}

// Every write must be confirmed by a 2xx status line; what the reply says
// otherwise decides the result the save ends with.
TEST_F(CameraTransport, WritesNeedA2xxReply) {
    struct Row {
        const char* reply;
        bool saved;
        HttpStatus status;
        int code;
    } rows[] = {
        {"HTTP/1.0 200 OK\r\n\r\n", true, HttpStatus::Ok, 200},
        {"HTTP/1.1 204 No Content\r\n\r\n", true, HttpStatus::Ok, 204},
        // A server error is no save, though no status text names it.
        {"HTTP/1.0 500 Internal Server Error\r\n\r\n", false, HttpStatus::Failure, 500},
        {"HTTP/1.0 401 Unauthorized\r\n\r\n", false, HttpStatus::Unauthorized, 401},
        {"HTTP/1.0 404 Not Found\r\n\r\n", false, HttpStatus::NotFound10, 404},
        // Something that is not an HTTP reply at all confirms nothing.
        {"OK\r\n", false, HttpStatus::Failure, 0},
        // A 200 whose body is the camera's failure text.
        {"HTTP/1.0 200 OK\r\n\r\n402 Failure\r\n", false, HttpStatus::Failure, 200},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reply);
        LoopbackCamera server({{row.reply}, {kOk}, {kOk}, {kOk}});
        CameraSettings s;
        server.Aim(s);
        NetworkCameraService camera(limits_);
        const CameraResult r = camera.Save(s, SaveForm::Normal, Deadline::Never());
        EXPECT_EQ(r.ok(), row.saved);
        if (row.saved) continue;
        EXPECT_STREQ(r.step, "write sysinfo");
        EXPECT_EQ(r.last.status, row.status);
        EXPECT_EQ(r.replyCode, row.code);
        EXPECT_TRUE(r.done.empty());
        EXPECT_EQ(server.RequestCount(), 1u);  // nothing after the refused write
    }
}

// The empty login first, the given credentials only when it is refused.
TEST_F(CameraTransport, LoginTriesTheEmptyLoginFirst) {
    const std::string refused = "HTTP/1.0 401 Unauthorized\r\n\r\nUnauthorized";
    struct Row {
        std::vector<std::string> replies;
        bool given;
        CameraOutcome outcome;
        std::size_t requests;
        const char* user;  // in the record afterwards
    } rows[] = {
        {{kOk}, true, CameraOutcome::Done, 1, ""},  // an open camera gets no credentials
        {{refused}, false, CameraOutcome::LoginRequired, 1, ""},
        {{refused, kOk}, true, CameraOutcome::Done, 2, "root"},
        {{refused, refused}, true, CameraOutcome::Refused, 2, "root"},
    };
    for (const Row& row : rows) {
        std::vector<LoopbackCamera::Turn> turns;
        for (const std::string& r : row.replies) turns.push_back({r});
        LoopbackCamera server(turns);
        CameraSettings s;
        server.Aim(s);
        CameraLogin login;
        if (row.given) {
            login.user = "root";
            login.password = "pw";
        }
        NetworkCameraService camera(limits_);
        const CameraResult r = camera.LogIn(s, login, Deadline::Never());
        EXPECT_EQ(r.outcome, row.outcome);
        EXPECT_EQ(server.RequestCount(), row.requests);
        EXPECT_EQ(FieldText(s.User), std::string_view(row.user));
        if (row.requests == 2) EXPECT_NE(server.Requests()[1].find("Authorization: Basic "), std::string::npos);
    }
}

TEST_F(CameraTransport, ReadSequenceFailsOnAScanWithoutResult) {
    const std::string ok(kOk);
    LoopbackCamera server({{ok + "Version=1\r\n"},
                           {ok + "TitleBar=t\r\n"},
                           {ok + "WPAPSKeyM=0\r\n"},
                           {ok + "DDNS=0\r\n"},
                           {ok + "NTPEN=1\r\n"},
                           {ok + "Wireless=1\r\nWPS=1\r\n"},
                           {ok + "no scan here"}});
    CameraSettings s;
    server.Aim(s);
    std::vector<AccessPointEntry> aps;
    const CameraResult o = NetworkCameraService(limits_).Read(s, aps, Deadline::Never());
    EXPECT_EQ(o.outcome, CameraOutcome::NoScan);
    EXPECT_EQ(s.Loaded, 1);
    EXPECT_EQ(s.APScanOK, 0);
}

TEST_F(CameraTransport, WpsStartDoesNotWaitForTheReply) {
    LoopbackCamera server({{std::string(kOk) + "WPS=1", true}});
    CameraSettings s;
    server.Aim(s);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_GT(WpsRequest(limits_, Deadline::Never(), s, WpsAction::Start).length, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

}  // namespace
}  // namespace orvanta
