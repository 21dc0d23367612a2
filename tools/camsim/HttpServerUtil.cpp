#include "HttpServerUtil.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <mutex>

#include "core/base/AddressText.h"
#include "core/base/HexDigit.h"

namespace orvanta::camsim {

namespace {

std::mutex g_logMutex;

}  // namespace

std::string ReadRequest(int fd) {
    std::string req;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    char buf[2048];
    while (req.find("\r\n\r\n") == std::string::npos && req.size() < 16384) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        req.append(buf, static_cast<std::size_t>(n));
    }
    return req;
}

bool SendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void CloseGracefully(int fd, const std::atomic<bool>& stop, int waitMs) {
    shutdown(fd, SHUT_WR);
    char buf[512];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!stop && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) < 0) break;
        if (p.revents == 0) continue;
        if (recv(fd, buf, sizeof buf, 0) <= 0) break;
    }
    close(fd);
}

void HoldOpen(int fd, const std::atomic<bool>& stop, int waitMs) {
    char buf[512];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!stop && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) < 0) break;
        if (p.revents != 0 && recv(fd, buf, sizeof buf, 0) <= 0) break;
    }
    close(fd);
}

std::string PercentDecode(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::map<std::string, std::string> ParseQuery(const std::string& query) {
    std::map<std::string, std::string> out;
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t amp = query.find('&', start);
        if (amp == std::string::npos) amp = query.size();
        const std::string pair = query.substr(start, amp - start);
        if (!pair.empty()) {
            const auto eq = pair.find('=');
            if (eq == std::string::npos) out[PercentDecode(pair)] = "";
            else out[PercentDecode(pair.substr(0, eq))] = PercentDecode(pair.substr(eq + 1));
        }
        start = amp + 1;
    }
    return out;
}

std::string RequestTarget(const std::string& request) {
    const std::string line = request.substr(0, request.find("\r\n"));
    const auto sp1 = line.find(' ');
    const auto sp2 = line.rfind(' ');
    if (sp1 == std::string::npos || sp2 <= sp1 || line.compare(0, sp1, "GET") != 0) return "";
    return line.substr(sp1 + 1, sp2 - sp1 - 1);
}

int ListenOn(int port, const std::string& bindAddress) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    sa.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!bindAddress.empty() && !ParseIpv4(bindAddress, sa.sin_addr.s_addr)) {
        close(fd);
        return -1;
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || listen(fd, 64) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void AppendLine(const std::string& path, const std::string& line) {
    if (path.empty()) return;
    std::lock_guard<std::mutex> lock(g_logMutex);
    std::ofstream out(path, std::ios::app);
    out << line << '\n';
}

}  // namespace orvanta::camsim
