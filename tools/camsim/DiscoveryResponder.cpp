// The simulated camera's discovery side: answers every search request on UDP
// 49160 with a reply broadcast to 255.255.255.255:49160, so that a PC in
// another subnet hears it too.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <thread>

#include "DiscoveryResponder.h"
#include "core/discovery/DiscoveryReply.h"
#include "core/base/AddressText.h"

namespace orvanta::camsim {

namespace {

using namespace orvanta::discovery;

// SIGUSR1 toggles silence, so a test can make a camera vanish and return.
std::atomic<bool> g_silenced{false};
void OnSilenceSignal(int) { g_silenced = !g_silenced; }

struct Identity {
    uint8_t mac[6] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
    uint32_t ip = 0;    // host byte order
    uint32_t mask = 0;  // host byte order
    uint32_t port = 80;
    std::string description = "Network Camera";
    std::string serial;
    std::string interfaceText = "ethernet";  // what a wired camera reports
    std::string fourth;
    uint32_t sport = 0;
};

// The simulator's addresses are in host order; the text is the system's own.
bool ParseIp(const std::string& text, uint32_t& hostOrder) { return ParseIpv4HostOrder(text, hostOrder); }
std::string IpText(uint32_t hostOrder) { return FormatIpv4HostOrder(hostOrder); }

// The namespace's own first non-loopback IPv4 address and its mask.
bool FirstOwnAddress(uint32_t& ip, uint32_t& mask) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool found = false;
    for (const ifaddrs* ifa = list; ifa && !found; ifa = ifa->ifa_next) {
        if (!ifa->ifa_addr || ifa->ifa_addr->sa_family != AF_INET) continue;
        if (ifa->ifa_flags & IFF_LOOPBACK) continue;
        ip = ntohl(reinterpret_cast<const sockaddr_in*>(ifa->ifa_addr)->sin_addr.s_addr);
        mask = ifa->ifa_netmask
                   ? ntohl(reinterpret_cast<const sockaddr_in*>(ifa->ifa_netmask)->sin_addr.s_addr)
                   : 0;
        found = true;
    }
    freeifaddrs(list);
    return found;
}

// Key=value lines of the file that the web side rewrites when the camera's
// settings change. Unknown keys and malformed lines are skipped.
std::map<std::string, std::string> ReadConfig(const std::string& path) {
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

// The identity for this request: the options, overlaid by the current values
// of the configuration file when there is one.
Identity CurrentIdentity(const Identity& base, const std::string& configPath) {
    Identity id = base;
    if (configPath.empty()) return id;
    const auto cfg = ReadConfig(configPath);
    auto get = [&](const char* key) -> const std::string* {
        const auto it = cfg.find(key);
        return it == cfg.end() || it->second.empty() ? nullptr : &it->second;
    };
    if (auto v = get("IPAddr")) ParseIp(*v, id.ip);
    if (auto v = get("Netmask")) ParseIp(*v, id.mask);
    if (auto v = get("HttpPort")) id.port = static_cast<uint32_t>(std::strtoul(v->c_str(), nullptr, 10));
    if (auto v = get("MAC")) ParseMac(*v, id.mac);
    if (auto v = get("SerialNo")) id.serial = *v;
    if (auto v = get("ModelName")) id.description = *v;
    return id;
}

// Camera k of a --count group: MAC and address stepped by k, serial suffixed.
DiscoveryReplyFields FieldsFor(const Identity& id, uint32_t k, uint32_t count, bool altMagic) {
    DiscoveryReplyFields f;
    f.magic = altMagic ? kAlternativeMagic : kPrimaryMagic;
    std::memcpy(f.mac, id.mac, 6);
    const uint32_t low = ((uint32_t(id.mac[3]) << 16) | (uint32_t(id.mac[4]) << 8) | id.mac[5]) + k;
    f.mac[3] = uint8_t(low >> 16);
    f.mac[4] = uint8_t(low >> 8);
    f.mac[5] = uint8_t(low);
    f.ipNetOrder = htonl(id.ip + k);
    f.port = id.port;
    f.description = id.description;
    f.serial = count > 1 ? id.serial + "-" + std::to_string(k) : id.serial;
    f.interfaceText = id.interfaceText;
    f.fourth = id.fourth;
    f.mask = IpText(id.mask);
    f.sport = id.sport;
    return f;
}

bool IsRequest(const uint8_t* data, ssize_t n) {
    if (n < static_cast<ssize_t>(kHeaderSize)) return false;
    const uint32_t magic = ReadBe32(data);
    return (magic == kPrimaryMagic || magic == kAlternativeMagic) && ReadBe32(data + 4) == kTypeRequest;
}

// recv that also tells the index of the card the datagram came in on (0
// when the kernel did not say).
ssize_t ReceiveWithCard(int fd, uint8_t* buf, std::size_t size, int& card) {
    iovec iov{buf, size};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    const ssize_t n = ::recvmsg(fd, &msg, 0);
    card = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); n >= 0 && c; c = CMSG_NXTHDR(&msg, c))
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO)
            card = reinterpret_cast<const in_pktinfo*>(CMSG_DATA(c))->ipi_ifindex;
    return n;
}

// sendto through card `card` (any card the routes choose when 0).
ssize_t SendThroughCard(int fd, const uint8_t* data, std::size_t size, const sockaddr_in& to, int card) {
    iovec iov{const_cast<uint8_t*>(data), size};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in*>(&to);
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    if (card > 0) {
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        cmsghdr* c = CMSG_FIRSTHDR(&msg);
        c->cmsg_level = IPPROTO_IP;
        c->cmsg_type = IP_PKTINFO;
        c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = card;
        std::memcpy(CMSG_DATA(c), &info, sizeof info);
    }
    return ::sendmsg(fd, &msg, 0);
}

}  // namespace

// What the options say, fixed before the socket opens.
struct DiscoveryResponder::Config {
    Identity base;
    bool followOwnAddress = true;
    bool maskGiven = false;
    uint32_t mask = 0;  // --mask, host byte order
    bool altMagic = false;
    long count = 1;
    long silentAfter = -1;
    long burst = 64;
    long burstGapUs = 1000;
    long replyDelayMs = 0;
    std::string configPath;
};

DiscoveryResponder::DiscoveryResponder() : config_(std::make_unique<Config>()) {}

DiscoveryResponder::~DiscoveryResponder() {
    if (fd_ >= 0) ::close(fd_);
}

int DiscoveryResponder::Parse(const CamsimOptions& options) {
    Identity& base = config_->base;
    if (options.Has("mac") && !ParseMac(options.Get("mac"), base.mac)) {
        std::fprintf(stderr, "orvanta-camsim: bad --mac\n");
        return 2;
    }
    if (options.Has("ip")) {
        if (!ParseIp(options.Get("ip"), base.ip)) {
            std::fprintf(stderr, "orvanta-camsim: bad --ip\n");
            return 2;
        }
        base.mask = 0xFFFFFF00u;
    }
    if (options.Has("mask") && !ParseIp(options.Get("mask"), config_->mask)) {
        std::fprintf(stderr, "orvanta-camsim: bad --mask\n");
        return 2;
    }
    config_->maskGiven = options.Has("mask");
    if (config_->maskGiven) base.mask = config_->mask;
    // The web side's own port, unless the reply is told otherwise.
    base.port = static_cast<uint32_t>(options.GetInt("port", options.GetInt("http-port", 80)));
    base.description = options.Get("desc", base.description);
    char defaultSerial[16];
    std::snprintf(defaultSerial, sizeof defaultSerial, "SIM%02X%02X%02X", base.mac[3], base.mac[4],
                  base.mac[5]);
    base.serial = options.Get("serial", defaultSerial);
    base.interfaceText = options.Get("interface", base.interfaceText);
    base.fourth = options.Get("fourth", "");
    base.sport = static_cast<uint32_t>(options.GetInt("second-port", 0));
    config_->followOwnAddress = !options.Has("ip");
    config_->altMagic = options.Has("alt-magic");
    config_->count = options.GetInt("count", 1);
    config_->silentAfter = options.GetInt("silent-after", -1);
    config_->burst = options.GetInt("burst", 64);
    config_->burstGapUs = options.GetInt("burst-gap-us", 1000);
    config_->replyDelayMs = options.GetInt("reply-delay-ms", 0);
    config_->configPath = options.Get("config", "");
    const Config& c = *config_;
    if (c.count < 1 || c.count > 65535 || c.burst < 1 || c.replyDelayMs < 0 || c.replyDelayMs > 60000) {
        std::fprintf(stderr,
                     "orvanta-camsim: --count must be 1..65535, --burst at least 1, "
                     "--reply-delay-ms 0..60000\n");
        return 2;
    }
    return 0;
}

int DiscoveryResponder::SetUp() {
    Identity& base = config_->base;
    if (config_->followOwnAddress) {
        FirstOwnAddress(base.ip, base.mask);
        if (config_->maskGiven) base.mask = config_->mask;
    }

    struct sigaction sa {};
    sa.sa_handler = OnSilenceSignal;
    sigaction(SIGUSR1, &sa, nullptr);

    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    // IP_PKTINFO: the card a request came in on, so that the reply leaves
    // through that card whatever routes the namespace has (a camera's one
    // port needs no default route to answer the PC beside it).
    if (fd_ < 0 || ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
        ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0 ||
        ::setsockopt(fd_, IPPROTO_IP, IP_PKTINFO, &one, sizeof one) != 0) {
        std::perror("orvanta-camsim: discovery socket");
        return 1;
    }
    // Room for a large group's burst of replies without blocking for long.
    const int sndbuf = 4 * 1024 * 1024;
    if (::setsockopt(fd_, SOL_SOCKET, SO_SNDBUFFORCE, &sndbuf, sizeof sndbuf) != 0)
        ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof sndbuf);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(kDiscoveryPort);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        std::perror("orvanta-camsim: bind discovery port");
        return 1;
    }
    std::printf("discovery: listening on udp %u as %ld camera(s), first %s\n", kDiscoveryPort, config_->count,
                IpText(base.ip).c_str());
    std::fflush(stdout);
    return 0;
}

int DiscoveryResponder::Serve(const std::atomic<bool>& stop) {
    const Config& c = *config_;
    Identity base = c.base;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(kDiscoveryPort);
    const auto start = std::chrono::steady_clock::now();
    uint8_t buf[kMaxReplySize + 1];
    while (!stop) {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 100);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        int requestCard = 0;
        const ssize_t n = ReceiveWithCard(fd_, buf, sizeof buf, requestCard);
        // Only requests are answered: never a reply, our own included.
        if (!IsRequest(buf, n)) continue;
        const bool timedOut =
            c.silentAfter >= 0 &&
            std::chrono::steady_clock::now() - start >= std::chrono::seconds(c.silentAfter);
        if (timedOut || g_silenced) continue;
        // A slow camera: requests that come in the meantime stay queued.
        if (c.replyDelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(c.replyDelayMs));
        // Without --ip the camera is whatever address its namespace has now,
        // so a change of address made by the web side shows at once.
        if (c.followOwnAddress) FirstOwnAddress(base.ip, base.mask);
        if (c.maskGiven) base.mask = c.mask;
        const Identity id = CurrentIdentity(base, c.configPath);
        long sent = 0;
        for (uint32_t k = 0; k < static_cast<uint32_t>(c.count) && !stop; ++k) {
            const auto reply = DiscoveryReply::Encode(FieldsFor(id, k, static_cast<uint32_t>(c.count), c.altMagic));
            if (SendThroughCard(fd_, reply.data(), reply.size(), to, requestCard) == static_cast<ssize_t>(reply.size()))
                ++sent;
            // A real installation's answers spread over a few milliseconds;
            // pacing a group keeps the lab's links from dropping the burst.
            if ((k + 1) % static_cast<uint32_t>(c.burst) == 0 && c.burstGapUs > 0)
                std::this_thread::sleep_for(std::chrono::microseconds(c.burstGapUs));
        }
        std::printf("discovery: answered a request with %ld of %ld replies as %s\n", sent, c.count,
                    IpText(id.ip).c_str());
        std::fflush(stdout);
    }
    ::close(fd_);
    fd_ = -1;
    return 0;
}

std::string DiscoveryResponderUsage() {
    return "  --mac AA:BB:CC:DD:EE:FF   MAC in the reply (default 02:00:00:00:00:01)\n"
           "  --ip A.B.C.D             address in the reply (default: this namespace's first\n"
           "                           non-loopback IPv4 address, with its mask)\n"
           "  --mask A.B.C.D           subnet mask text in the reply (with --ip and no\n"
           "                           --mask: 255.255.255.0)\n"
           "  --port N                 web port in the reply (default --http-port, else 80)\n"
           "  --desc TEXT              description (default \"Network Camera\")\n"
           "  --serial TEXT            serial number (default SIM + the MAC's last 3 bytes)\n"
           "  --interface TEXT         interface text, e.g. \"wireless\" (default ethernet)\n"
           "  --fourth TEXT            the fourth text of the reply (default empty)\n"
           "  --second-port N          the second port (default 0)\n"
           "  --alt-magic              answer with the alternative magic number\n"
           "  --count N                answer as N cameras: MAC and address stepped by one,\n"
           "                           serial suffixed with -k\n"
           "  --burst N --burst-gap-us U  pause U us after every N replies (64, 1000)\n"
           "  --reply-delay-ms N       answer each request N ms after it came (default 0)\n"
           "  --silent-after SECONDS   stop answering that long after start\n"
           "                           (SIGUSR1 toggles silence at any time)\n"
           "  --config FILE            Key=value file read at every request; IPAddr, Netmask,\n"
           "                           HttpPort, MAC, SerialNo and ModelName (the description)\n"
           "                           override the options above\n"
           "  --no-discovery           do not run this side\n";
}

}  // namespace orvanta::camsim
