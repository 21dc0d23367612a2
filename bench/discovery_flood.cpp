// A hostile sender for the discovery lab: broadcasts well-formed replies with
// made-up MACs to port 49160 at a given rate for a given time, the way a
// misbehaving device or an attacker on the segment could. Run it only inside
// a lab namespace (bench/discovery_flood_lab.sh does): it broadcasts.
//
// usage: bench_discovery_flood REPLIES_PER_SECOND SECONDS
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "core/discovery/DiscoveryReply.h"

using namespace orvanta::discovery;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_discovery_flood REPLIES_PER_SECOND SECONDS\n");
        return 2;
    }
    const long rate = std::atol(argv[1]);
    const long seconds = std::atol(argv[2]);
    if (rate < 1 || seconds < 1) return 2;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
        std::perror("bench_discovery_flood: socket");
        return 1;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(kDiscoveryPort);

    DiscoveryReplyFields f;
    f.description = "flood";
    f.serial = "FLOOD";
    f.interfaceText = "ethernet";
    f.mask = "255.255.0.0";
    std::vector<uint8_t> reply = DiscoveryReply::Encode(f);
    std::mt19937_64 rng(std::random_device{}());
    // Sent in slices of a millisecond, so the rate holds without a timer per
    // datagram.
    const long perSlice = rate / 1000 > 0 ? rate / 1000 : 1;
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    long sent = 0;
    for (long slice = 0; std::chrono::steady_clock::now() < end; ++slice) {
        for (long i = 0; i < perSlice; ++i) {
            const uint64_t r = rng();
            for (int b = 0; b < 6; ++b) reply[kHeaderSize + kPayloadMac + b] = uint8_t(r >> (8 * b));
            reply[kHeaderSize + kPayloadMac] &= 0xFE;  // a unicast MAC, as a device's
            std::memcpy(&reply[kHeaderSize + kPayloadIp], &r, 4);
            if (::sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                         sizeof to) == static_cast<ssize_t>(reply.size()))
                ++sent;
        }
        std::this_thread::sleep_until(start + std::chrono::milliseconds(slice + 1));
    }
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("flood: %ld replies in %.1f s (%.0f a second)\n", sent, took, sent / took);
    ::close(fd);
    return 0;
}
