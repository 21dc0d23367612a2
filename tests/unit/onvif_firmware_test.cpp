// Firmware upgrades below the service: the durations cameras announce, the
// reply that gives the upload address, the checks a file passes before
// anything is sent, the multipart body of the older call, and the upload
// itself against servers that take it all, refuse it early, or drop the
// connection half-way.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/http/HttpUpload.h"
#include "core/onvif/device/FirmwareImage.h"
#include "core/onvif/device/FirmwareMessages.h"
#include "core/onvif/soap/SoapReply.h"

namespace orvanta::onvif {
namespace {

using namespace std::chrono_literals;

TEST(FirmwareMessages, DurationsAsCamerasWriteThem) {
    const struct {
        const char* text;
        long long ms;  // -1: refused
        const char* catches;
    } cases[] = {
        {"PT30S", 30000, "the common form"},
        {"PT1M30.5S", 90500, "minutes with fractional seconds"},
        {"P0DT0H2M0S", 120000, "every field written out, zeros included"},
        {"PT0S", 0, "no wait at all"},
        {" PT5S\n", 5000, "white space around the value from pretty-printed XML"},
        {"P1D", 86400000, "days without a time part"},
        {"P1Y", -1, "years have no fixed length"},
        {"P1M", -1, "M before T is months, not minutes"},
        {"PT", -1, "a time part with nothing in it"},
        {"P", -1, "nothing at all"},
        {"30", -1, "a bare number of seconds"},
        {"PT-5S", -1, "a negative down time"},
        {"PT1.5M", -1, "a fraction on a unit other than seconds"},
        {"PT5", -1, "a number without its unit"},
        {"P1H", -1, "hours outside the time part"},
        {"PT1..5S", -1, "two decimal points"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + ": " + c.catches);
        const auto got = ParseXsDuration(c.text);
        EXPECT_EQ(got.has_value(), c.ms >= 0);
        if (got && c.ms >= 0) EXPECT_EQ(got->count(), c.ms);
    }
}

TEST(FirmwareMessages, StartFirmwareUpgradeReplies) {
    const std::string ns = "xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\" xmlns:d=\"http://www.onvif.org/ver10/device/wsdl\"";
    const struct {
        const char* what;
        std::string body;
        bool ok;
        std::string uri;
        long long delayMs, downMs;
    } cases[] = {
        {"a whole reply under another prefix",
         "<d:StartFirmwareUpgradeResponse><d:UploadUri>http://10.0.0.5/upload/7</d:UploadUri><d:UploadDelay>PT2S"
         "</d:UploadDelay><d:ExpectedDownTime>PT3M</d:ExpectedDownTime></d:StartFirmwareUpgradeResponse>",
         true, "http://10.0.0.5/upload/7", 2000, 180000},
        {"durations that cannot be read are waited for as none",
         "<d:StartFirmwareUpgradeResponse><d:UploadUri>http://10.0.0.5/u</d:UploadUri><d:UploadDelay>soon</d:UploadDelay>"
         "<d:ExpectedDownTime>120</d:ExpectedDownTime></d:StartFirmwareUpgradeResponse>",
         true, "http://10.0.0.5/u", 0, 0},
        {"no upload address: nothing to send to",
         "<d:StartFirmwareUpgradeResponse><d:UploadDelay>PT0S</d:UploadDelay></d:StartFirmwareUpgradeResponse>", false, "",
         0, 0},
        {"another call's response", "<d:SystemRebootResponse><d:Message>x</d:Message></d:SystemRebootResponse>", false,
         "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SoapReply reply;
        ASSERT_TRUE(ReadSoapReply("<s:Envelope " + ns + "><s:Body>" + c.body + "</s:Body></s:Envelope>", reply).ok());
        FirmwareUploadOffer offer;
        EXPECT_EQ(ReadStartFirmwareUpgrade(reply.body, offer), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(offer.uploadUri, c.uri);
        EXPECT_EQ(offer.uploadDelay.count(), c.delayMs);
        EXPECT_EQ(offer.expectedDownTime.count(), c.downMs);
    }
}

TEST(FirmwareMessages, MtomBodyNamesItsPartsConsistently) {
    const MtomParts parts = BuildMtomParts("<env/>", "http://www.onvif.org/ver10/device/wsdl/UpgradeSystemFirmware", "b0undary");
    // The root part is the one `start` names, and the attachment is the one
    // the envelope's xop:Include points at: a camera finds the image only so.
    EXPECT_NE(parts.contentType.find("start=\"<root@orvanta>\""), std::string::npos);
    EXPECT_NE(parts.contentType.find("boundary=\"b0undary\""), std::string::npos);
    EXPECT_NE(parts.head.find("Content-ID: <root@orvanta>\r\n\r\n<env/>\r\n--b0undary\r\n"), std::string::npos);
    EXPECT_NE(parts.head.find(std::string("Content-ID: <") + kFirmwareContentId + ">\r\n\r\n"), std::string::npos);
    EXPECT_EQ(parts.head.rfind("\r\n\r\n"), parts.head.size() - 4) << "the image follows the part's header at once";
    EXPECT_NE(UpgradeSystemFirmwareCall().body.find(std::string("href=\"cid:") + kFirmwareContentId + "\""),
              std::string::npos);
    EXPECT_EQ(parts.tail, "\r\n--b0undary--\r\n");
}

class TempDir {
public:
    TempDir() : path_(std::filesystem::temp_directory_path() / ("fw_" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

TEST(FirmwareImages, OnlyARegularFileOfBoundedSizeIsSent) {
    TempDir dir;
    std::ofstream(dir / "image.bin") << "IMAGE";
    std::ofstream(dir / "empty.bin");
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    // One byte over the limit, without writing 256 MiB.
    ASSERT_EQ(truncate((std::ofstream(dir / "huge.bin"), dir / "huge.bin").c_str(), (256 << 20) + 1), 0);
    ASSERT_EQ(truncate((std::ofstream(dir / "limit.bin"), dir / "limit.bin").c_str(), 256 << 20), 0);
    std::filesystem::create_symlink(dir / "image.bin", dir / "link.bin");
    const struct {
        std::string path;
        bool ok;
        const char* says;  // in the refusal
    } cases[] = {
        {dir / "image.bin", true, ""},
        {dir / "limit.bin", true, ""},                   // exactly 256 MiB is allowed
        {dir / "link.bin", true, ""},                    // a link to an image is the image
        {dir / "huge.bin", false, "more than the 256 MiB"},
        {dir / "empty.bin", false, "is empty"},
        {dir / "folder", false, "is a folder"},
        {dir / "pipe", false, "is not a regular file"},  // and the open did not block on it
        {"/dev/zero", false, "is not a regular file"},
        {dir / "missing.bin", false, "cannot be opened"},
        {"", false, "no firmware file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        FirmwareImage image;
        const OnvifResult r = FirmwareImage::Open(c.path, image);
        EXPECT_EQ(r.ok(), c.ok) << r.detail;
        if (c.ok) {
            EXPECT_GE(image.Fd(), 0);
            continue;
        }
        EXPECT_EQ(r.status, OnvifStatus::Refused);
        EXPECT_NE(r.detail.find(c.says), std::string::npos) << r.detail;
        EXPECT_NE(r.detail.find("nothing was sent"), std::string::npos) << r.detail;
        EXPECT_EQ(image.Fd(), -1);
    }
}

// A server of one connection on 127.0.0.1: it reads up to `readLimit`
// bytes of the request, then replies `reply` (or, with an empty reply,
// resets the connection). What it read is kept.
class OneShotServer {
public:
    OneShotServer(std::size_t readLimit, std::string reply) : readLimit_(readLimit), reply_(std::move(reply)) {
        listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        // A small receive buffer, so that the client's sends really wait on us.
        const int small = 16 * 1024;
        setsockopt(listen_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listen_, 1);
        getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~OneShotServer() {
        if (thread_.joinable()) thread_.join();
        close(listen_);
    }
    std::string Port() const { return std::to_string(port_); }
    const std::string& Received() {
        if (thread_.joinable()) thread_.join();
        return received_;
    }

private:
    void Serve() {
        const int c = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) return;
        char buf[8192];
        // Up to the limit, or the whole request once its header tells its length.
        std::size_t want = readLimit_;
        while (received_.size() < want) {
            const ssize_t n = recv(c, buf, std::min(sizeof buf, want - received_.size()), 0);
            if (n <= 0) break;
            received_.append(buf, static_cast<std::size_t>(n));
            const std::size_t end = received_.find("\r\n\r\n"), length = received_.find("Content-Length: ");
            if (end != std::string::npos && length != std::string::npos && length < end)
                want = std::min(readLimit_, end + 4 + std::stoul(received_.substr(length + 16)));
        }
        if (reply_.empty()) {
            linger l{1, 0};
            setsockopt(c, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        } else {
            send(c, reply_.data(), reply_.size(), MSG_NOSIGNAL);
            shutdown(c, SHUT_WR);
            // Drain what the client still sends, so it is not reset before it reads the reply.
            while (recv(c, buf, sizeof buf, MSG_DONTWAIT) > 0) {}
            std::this_thread::sleep_for(100ms);
        }
        close(c);
    }

    std::size_t readLimit_;
    std::string reply_;
    int listen_ = -1;
    uint16_t port_ = 0;
    std::string received_;
    std::thread thread_;
};

TEST(FirmwareUploads, WholeEarlyAndCut) {
    TempDir dir;
    std::string image(4 << 20, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 131 % 251);
    std::ofstream(dir / "image.bin", std::ios::binary) << image;
    FirmwareImage file;
    ASSERT_TRUE(FirmwareImage::Open(dir / "image.bin", file).ok());
    const std::string ok = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
    const std::string challenge =
        "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Digest realm=\"cam\", nonce=\"n1\", qop=\"auth\"\r\n"
        "Content-Length: 0\r\n\r\n";
    const struct {
        const char* what;
        std::size_t readLimit;
        std::string reply;
        std::string head, tail;
        UploadEnd end;
        int status;
        bool wholeBodySent;
        int cancelAfterSlices = -1;  // the caller gives up after this many slices went out
    } cases[] = {
        {"the whole image, then 200", SIZE_MAX, ok, "", "", UploadEnd::Answered, 200, true},
        {"a multipart head and tail around the image", SIZE_MAX, ok, "--b\r\n\r\n", "\r\n--b--\r\n", UploadEnd::Answered,
         200, true},
        {"a login challenge after the header: the rest is not sent", 600, challenge, "", "", UploadEnd::AnsweredEarly,
         401, false},
        {"the connection reset half-way: no reply to read", 512 * 1024, "", "", "", UploadEnd::Cut, 0, false},
        {"Cancel pressed during the upload: it stops at the next slice", SIZE_MAX, ok, "", "", UploadEnd::Cancelled, 0,
         false, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OneShotServer server(c.readLimit, c.reply);
        UploadTarget target{"127.0.0.1", server.Port(), "/firmware/upload/1"};
        UploadBody body{c.head, file.Fd(), file.Size(), c.tail};
        std::vector<std::uint64_t> progress;
        UploadLimits limits{1000, 3000, 3000};
        if (c.cancelAfterSlices >= 0)
            limits.cancelled = [&] { return progress.size() >= static_cast<std::size_t>(c.cancelAfterSlices); };
        const UploadOutcome out = PostUpload(limits, Deadline::After(10000), target, body,
                                             [&](std::uint64_t sent, std::uint64_t total) {
                                                 EXPECT_EQ(total, body.Size());
                                                 progress.push_back(sent);
                                             });
        EXPECT_EQ(out.end, c.end) << UploadEndName(out.end) << ": " << out.detail;
        EXPECT_EQ(out.reply.status, c.status);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        if (c.wholeBodySent) {
            EXPECT_EQ(out.bodySent, body.Size());
            ASSERT_FALSE(progress.empty());
            EXPECT_EQ(progress.back(), body.Size());
            // Byte for byte: the header block, then head, image and tail.
            const std::string& got = server.Received();
            const std::size_t headerEnd = got.find("\r\n\r\n") + 4;
            EXPECT_NE(got.find("Content-Length: " + std::to_string(body.Size()) + "\r\n"), std::string::npos);
            EXPECT_TRUE(got.substr(headerEnd) == c.head + image + c.tail) << "the body differs from what was given";
        } else {
            EXPECT_LT(out.bodySent, body.Size());
        }
    }
}

}  // namespace
}  // namespace orvanta::onvif
