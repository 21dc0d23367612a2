// The simulated camera's web side: HTTP/1.0, one request per connection,
// closed after the reply; Basic login against the root password; and, on
// demand, the ways real cameras misbehave.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "HttpServerUtil.h"
#include "WebServer.h"
#include "core/http/Base64.h"
#include "core/base/AddressText.h"

namespace orvanta::camsim {

namespace {

const char* const kMisbehaviours[] = {"404-http10", "404", "402", "unauthorized", "no-wpapskeym", "empty",
                                      "oversize", "never-close", "drip", "reset",
                                      "header-then-silence"};

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

std::string Base64Decode(const std::string& in) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : in) {
        const int v = Base64Value(c);
        if (v < 0) break;
        buffer = (buffer << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

int PrefixOf(const std::string& netmask) {
    uint32_t mask = 0;
    if (!ParseIpv4(netmask, mask)) return 24;
    return __builtin_popcount(mask);
}

bool RunIp(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Moves this camera's address on its interface (inside its namespace).
void Readdress(const WebConfig& c, const std::string& oldAddress, const std::string& oldNetmask,
               const std::string& address, const std::string& netmask) {
    const int oldPrefix = PrefixOf(oldNetmask);
    uint32_t probe = 0;
    if (!ParseIpv4(address, probe)) {
        std::fprintf(stderr, "orvanta-camsim: not moving to '%s': not an address\n", address.c_str());
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(c.readdressDelayMs));
    const std::string prefix = "/" + std::to_string(PrefixOf(netmask));
    // Added beside the old one in the same subnet, the new address is a
    // secondary: have the kernel promote it when the old one goes, so the
    // interface never stands without an address (which would drop its routes).
    if (FILE* f = std::fopen(("/proc/sys/net/ipv4/conf/" + c.iface + "/promote_secondaries").c_str(), "w")) {
        std::fputs("1", f);
        std::fclose(f);
    }
    if (!RunIp({"ip", "addr", "add", address + prefix, "dev", c.iface}))
        std::fprintf(stderr, "orvanta-camsim: adding %s on %s failed\n", address.c_str(), c.iface.c_str());
    if (ParseIpv4(oldAddress, probe) && oldAddress != address)
        RunIp({"ip", "addr", "del", oldAddress + "/" + std::to_string(oldPrefix), "dev", c.iface});
    std::printf("orvanta-camsim: moved to %s%s on %s\n", address.c_str(), prefix.c_str(), c.iface.c_str());
    std::fflush(stdout);
}

std::string StatusReply(int status, const std::string& body, bool contentLength) {
    if (status == 404) return "HTTP/1.0 404 Not Found\r\nContent-Type: text/plain\r\n\r\n404 Not Found\r\n";
    const std::string length = contentLength ? "Content-Length: " + std::to_string(body.size()) + "\r\n" : "";
    return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n" + length + "\r\n" + body;
}

const std::string kUnauthorized =
    "HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"camera\"\r\nContent-Type: text/plain\r\n\r\n"
    "Unauthorized\r\n";

// Answers one connection and closes it.
void Answer(int fd, const WebConfig& c, CameraPages& pages, const std::atomic<bool>& stop) {
    const std::string req = ReadRequest(fd);
    const std::string target = RequestTarget(req);
    if (target.empty()) {
        SendAll(fd, "HTTP/1.0 400 Bad Request\r\n\r\n");
        CloseGracefully(fd, stop);
        return;
    }
    AppendLine(c.requestLog, target);

    const bool misbehaving = !c.misbehave.empty() && target.find(c.misbehavePath) != std::string::npos;
    const std::string kind = misbehaving ? c.misbehave : "";
    if (kind == "reset") {
        linger l{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        close(fd);
        return;
    }
    if (kind == "empty") {
        CloseGracefully(fd, stop);
        return;
    }

    std::string reply;
    std::string credentials;
    const std::string authKey = "\r\nAuthorization: Basic ";
    if (const auto at = req.find(authKey); at != std::string::npos) {
        const auto start = at + authKey.size();
        credentials = Base64Decode(req.substr(start, req.find("\r\n", start) - start));
    }
    const bool allowed = !c.passwordSet || credentials == c.rootUser + ":" + c.rootPassword;
    if (kind == "404-http10") reply = "HTTP/1.0 404 Not Found\r\n\r\n";
    else if (kind == "404") reply = "HTTP/1.1 404 Not Found\r\n\r\n";
    else if (kind == "402") reply = "HTTP/1.0 402 Failure\r\n\r\n";
    else if (kind == "unauthorized" || !allowed) reply = kUnauthorized;
    else {
        const CameraPages::Reply r = pages.Handle(target, kind == "no-wpapskeym");
        reply = StatusReply(r.status, r.body, c.contentLength);
    }
    if (kind == "header-then-silence") {
        // The header promises a body that never comes; the connection stays.
        SendAll(fd, reply.substr(0, reply.find("\r\n\r\n") + 4));
        HoldOpen(fd, stop, 600000);
        return;
    }
    if (kind == "oversize") {
        // Past any reply buffer a client may have; the real text comes first.
        while (reply.size() < 9000) reply += "Padding=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\r\n";
    }
    if (kind == "drip") {
        for (char ch : reply) {
            if (stop || send(fd, &ch, 1, MSG_NOSIGNAL) != 1) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(c.dripMs));
        }
    } else {
        SendAll(fd, reply);
    }
    if (kind == "never-close") {
        // Keep the connection open until the client gives up on it: no
        // half-close either, which the client would read as the end.
        HoldOpen(fd, stop, 600000);
        return;
    }
    CloseGracefully(fd, stop);
}

}  // namespace

WebServer::~WebServer() {
    threads_.JoinAll();
    if (listener_ >= 0) close(listener_);
}

int WebServer::Parse(const CamsimOptions& options) {
    WebConfig& c = config_;
    c.port = static_cast<int>(options.GetInt("http-port", 80));
    c.bind = options.Get("bind");
    c.rootUser = options.Get("root-user", "root");
    c.passwordSet = options.Has("root-password");
    c.rootPassword = options.Get("root-password");
    c.misbehave = options.Get("misbehave");
    c.misbehavePath = options.Get("misbehave-path");
    c.dripMs = static_cast<int>(options.GetInt("drip-ms", 5));
    c.iface = options.Get("iface");
    c.readdressDelayMs = static_cast<int>(options.GetInt("readdress-delay-ms", 500));
    c.requestLog = options.Get("request-log");
    c.contentLength = !options.Has("no-content-length");
    c.configPath = options.Get("config");
    if (!c.misbehave.empty()) {
        bool known = false;
        for (const char* k : kMisbehaviours) known = known || c.misbehave == k;
        if (!known) {
            std::fprintf(stderr, "orvanta-camsim: unknown --misbehave '%s'\n", c.misbehave.c_str());
            return 2;
        }
    }
    if (c.port < 1 || c.port > 65535) {
        std::fprintf(stderr, "orvanta-camsim: bad --http-port\n");
        return 2;
    }

    std::vector<std::string> apTexts;
    if (!options.GetAllWithFile("ap", "ap-file", apTexts)) {
        std::fprintf(stderr, "orvanta-camsim: cannot read --ap-file\n");
        return 2;
    }
    for (const auto& t : apTexts) {
        AccessPoint ap;
        if (!ParseAccessPoint(t, ap)) {
            std::fprintf(stderr, "orvanta-camsim: bad --ap '%s'\n", t.c_str());
            return 2;
        }
        c.accessPoints.push_back(ap);
    }
    const std::string wps = options.Get("wps-after", "3");
    c.wpsAfter = wps == "never" ? -1 : static_cast<int>(options.GetInt("wps-after", 3));
    return 0;
}

int WebServer::SetUp() {
    std::string error;
    if (!store_.Open(config_.configPath, error)) {
        std::fprintf(stderr, "orvanta-camsim: %s\n", error.c_str());
        return 1;
    }
    pages_.emplace(store_, config_.accessPoints, config_.wpsAfter);
    if (!config_.iface.empty()) {
        pages_->OnReaddress([this](const std::string& oldAddress, const std::string& oldMask,
                                   const std::string& address, const std::string& mask) {
            threads_.Start([this, oldAddress, oldMask, address, mask] {
                Readdress(config_, oldAddress, oldMask, address, mask);
            });
        });
    }

    listener_ = ListenOn(config_.port, config_.bind);
    if (listener_ < 0) {
        std::fprintf(stderr, "orvanta-camsim: cannot listen on port %d: %s\n", config_.port, std::strerror(errno));
        return 1;
    }
    std::printf("orvanta-camsim: web side on port %d\n", config_.port);
    std::fflush(stdout);
    return 0;
}

int WebServer::Serve(const std::atomic<bool>& stop) {
    while (!stop) {
        threads_.JoinFinished();
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        // Each connection on its own thread, so that one held open or
        // drip-fed does not keep the next client waiting.
        threads_.Start([this, fd, &stop] { Answer(fd, config_, *pages_, stop); });
    }
    close(listener_);
    listener_ = -1;
    // Their waits end on `stop`; an address move under way is finished.
    threads_.JoinAll();
    return 0;
}

std::string WebServerUsage() {
    return "  --http-port N           port of the web side (default 80)\n"
           "  --bind ADDR             listen on ADDR only (default: every address)\n"
           "  --config FILE           camera parameters as Key=value lines (CGI key names: IPAddr,\n"
           "                          Netmask, HttpPort, SSID, ..., ModelName, SerialNo, MAC); created\n"
           "                          with defaults, rewritten atomically after every write\n"
           "  --root-user NAME        login name (default root)\n"
           "  --root-password PW      require Basic login root:PW (\"Unauthorized\" otherwise)\n"
           "  --ap \"SSID,MAC,Mode,Channel,Quality,Security[,Algorithm]\"  an access point (repeatable)\n"
           "  --ap-file FILE          access points, one per line in the --ap form\n"
           "  --wps-after N|never     WPS succeeds on the Nth status query after a start (default 3)\n"
           "  --iface IF              on a network write with a new fixed IPAddr, move to it on IF\n"
           "  --readdress-delay-ms N  wait before moving (default 500)\n"
           "  --request-log FILE      append each request target, one per line\n"
           "  --misbehave KIND        404-http10 | 404 | 402 | unauthorized | no-wpapskeym | empty |\n"
           "                          oversize | never-close | drip | reset | header-then-silence\n"
           "  --misbehave-path TEXT   misbehave only for targets containing TEXT\n"
           "  --drip-ms N             pause between bytes for --misbehave drip (default 5)\n"
           "  --no-content-length     replies do not say how long they are (ended by the close only)\n";
}

}  // namespace orvanta::camsim
