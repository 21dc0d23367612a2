// The camera-listing server: answers "/cgi-bin/Parameters?Act=1&Page=<type>&ID=..&Password=.."
// with the cameras registered for that ID, password and login type.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "HttpServerUtil.h"
#include "ListingServer.h"

namespace orvanta::camsim {

namespace {

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string p; std::getline(in, p, sep);) parts.push_back(p);
    return parts;
}

// "ID,PASSWORD,device|user[,CamID,IP,Port,MAC,Model]": an account, with one
// camera when the last five are given. Repeating an account adds cameras.
bool AddListing(const std::string& text, std::vector<Account>& accounts) {
    const auto parts = Split(text, ',');
    if (parts.size() != 3 && parts.size() != 8) return false;
    if (parts[2] != "device" && parts[2] != "user") return false;
    const std::string type = parts[2] == "device" ? "3" : "2";
    Account* account = nullptr;
    for (auto& a : accounts)
        if (a.id == parts[0] && a.password == parts[1] && a.type == type) account = &a;
    if (account == nullptr) {
        accounts.push_back(Account{parts[0], parts[1], type, {}});
        account = &accounts.back();
    }
    if (parts.size() == 8) account->cameras.push_back(ListedCamera{parts[3], parts[4], parts[5], parts[6], parts[7]});
    return true;
}

// "Total Camera=N", then each camera's items, with a "Camera=" marker between
// cameras: the client takes the first camera from behind the count and each
// next one from behind the next marker.
std::string ListingBody(const Account& a) {
    std::string body = "Total Camera=" + std::to_string(a.cameras.size()) + "\r\n";
    for (std::size_t i = 0; i < a.cameras.size(); ++i) {
        const auto& c = a.cameras[i];
        body += "ID=" + c.id + " IP=" + c.ip + " Port=" + c.port + " Mac_address=" + c.mac + " Modelname=" + c.model +
                "\r\n";
        if (i + 1 < a.cameras.size()) body += "Camera=" + std::to_string((i + 1) % 10) + "\r\n";
    }
    return body;
}

// Answers one query and closes the connection.
void Answer(int fd, const std::vector<Account>& accounts, const std::string& fail, const std::string& log,
           const std::atomic<bool>& stop) {
    const std::string target = RequestTarget(ReadRequest(fd));
    AppendLine(log, target);
    const auto qmark = target.find('?');
    const auto q = ParseQuery(qmark == std::string::npos ? "" : target.substr(qmark + 1));
    auto get = [&](const char* k) {
        const auto it = q.find(k);
        return it == q.end() ? std::string() : it->second;
    };
    std::string reply;
    if (fail == "404-http10") reply = "HTTP/1.0 404 Not Found\r\n\r\n";
    else if (fail == "404") reply = "HTTP/1.1 404 Not Found\r\n\r\n404 Not Found\r\n";
    else if (fail == "402") reply = "HTTP/1.0 402 Failure\r\n\r\n";
    else if (fail == "unauthorized") reply = "HTTP/1.0 401 Unauthorized\r\n\r\nUnauthorized\r\n";
    else if (target.substr(0, qmark) != "/cgi-bin/Parameters" || get("Act") != "1")
        reply = "HTTP/1.0 404 Not Found\r\n\r\n";
    else {
        const Account* found = nullptr;
        for (const auto& a : accounts)
            if (a.id == get("ID") && a.password == get("Password") && a.type == get("Page")) found = &a;
        reply = found ? "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + ListingBody(*found)
                      : "HTTP/1.0 401 Unauthorized\r\n\r\nUnauthorized\r\n";
    }
    SendAll(fd, reply);
    CloseGracefully(fd, stop);
}

}  // namespace

ListingServer::~ListingServer() {
    if (listener_ >= 0) close(listener_);
}

int ListingServer::Parse(const CamsimOptions& options) {
    std::vector<std::string> listings;
    if (!options.GetAllWithFile("listing", "listing-file", listings)) {
        std::fprintf(stderr, "orvanta-camsim: cannot read --listing-file\n");
        return 2;
    }
    for (const auto& l : listings) {
        if (!AddListing(l, accounts_)) {
            std::fprintf(stderr, "orvanta-camsim: bad --listing '%s'\n", l.c_str());
            return 2;
        }
    }
    fail_ = options.Get("listing-fail");
    if (!fail_.empty() && fail_ != "404-http10" && fail_ != "404" && fail_ != "402" && fail_ != "unauthorized") {
        std::fprintf(stderr, "orvanta-camsim: unknown --listing-fail '%s'\n", fail_.c_str());
        return 2;
    }
    log_ = options.Get("request-log");
    port_ = static_cast<int>(options.GetInt("http-port", 80));
    bind_ = options.Get("bind");
    return 0;
}

int ListingServer::SetUp() {
    listener_ = ListenOn(port_, bind_);
    if (listener_ < 0) {
        std::fprintf(stderr, "orvanta-camsim: cannot listen on port %d: %s\n", port_, std::strerror(errno));
        return 1;
    }
    std::printf("orvanta-camsim: listing server on port %d\n", port_);
    std::fflush(stdout);
    return 0;
}

int ListingServer::Serve(const std::atomic<bool>& stop) {
    while (!stop) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) Answer(fd, accounts_, fail_, log_, stop);
    }
    close(listener_);
    listener_ = -1;
    return 0;
}

std::string ListingServerUsage() {
    return "  --listing-server        run as the camera-listing server instead of a camera\n"
           "  --http-port N           port to listen on (default 80)\n"
           "  --bind ADDR             listen on ADDR only (default: every address)\n"
           "  --listing \"ID,PASSWORD,device|user[,CamID,IP,Port,MAC,Model]\"  an account and one\n"
           "                          of its cameras (repeatable; repeat the account for more)\n"
           "  --listing-file FILE     the same, one per line\n"
           "  --listing-fail KIND     answer every query with 404-http10 | 404 | 402 | unauthorized\n"
           "  --request-log FILE      append each request target, one per line\n";
}

}  // namespace orvanta::camsim
