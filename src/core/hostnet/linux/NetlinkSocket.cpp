#include "core/hostnet/linux/NetlinkSocket.h"

#include <linux/rtnetlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "core/hostnet/linux/BoundSocket.h"

namespace orvanta::hostnet {

namespace {

constexpr int kReplyTimeoutMs = 5000;

}  // namespace

std::string ExtendedAckText(const nlmsghdr& h) {
    if (!(h.nlmsg_flags & NLM_F_ACK_TLVS) || h.nlmsg_len < NLMSG_HDRLEN + sizeof(nlmsgerr)) return {};
    const auto* err = static_cast<const nlmsgerr*>(NLMSG_DATA(&h));
    std::size_t offset = NLMSG_HDRLEN + sizeof(nlmsgerr);
    // Without NLM_F_CAPPED the whole original request is echoed first.
    if (!(h.nlmsg_flags & NLM_F_CAPPED)) offset += NLMSG_ALIGN(err->msg.nlmsg_len) - NLMSG_HDRLEN;
    const auto* base = reinterpret_cast<const uint8_t*>(&h);
    std::string text;
    while (offset + sizeof(nlattr) <= h.nlmsg_len) {
        nlattr attr;
        std::memcpy(&attr, base + offset, sizeof attr);
        if (attr.nla_len < sizeof(nlattr) || offset + attr.nla_len > h.nlmsg_len) break;
        if ((attr.nla_type & NLA_TYPE_MASK) == NLMSGERR_ATTR_MSG) {
            const char* s = reinterpret_cast<const char*>(base + offset + sizeof(nlattr));
            text.assign(s, strnlen(s, attr.nla_len - sizeof(nlattr)));
        }
        offset += NLA_ALIGN(attr.nla_len);
    }
    return text;
}

NetlinkSocket::~NetlinkSocket() {
    if (fd_ >= 0) close(fd_);
}

int NetlinkSocket::Open() {
    if (fd_ >= 0) return 0;
    fd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd_ < 0) return -errno;
    const int one = 1;
    // Best effort: older kernels simply send no text.
    setsockopt(fd_, SOL_NETLINK, NETLINK_EXT_ACK, &one, sizeof one);
    setsockopt(fd_, SOL_NETLINK, NETLINK_CAP_ACK, &one, sizeof one);
    sockaddr_nl local = {};
    local.nl_family = AF_NETLINK;
    return BindOrClose(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
}

int NetlinkSocket::Send(std::vector<uint8_t>& request, uint16_t extraFlags) {
    if (request.size() < sizeof(nlmsghdr)) return -EINVAL;
    nlmsghdr h;
    std::memcpy(&h, request.data(), sizeof h);
    h.nlmsg_len = uint32_t(request.size());
    h.nlmsg_flags |= NLM_F_REQUEST | extraFlags;
    h.nlmsg_seq = ++seq_;
    std::memcpy(request.data(), &h, sizeof h);
    sockaddr_nl kernel = {};
    kernel.nl_family = AF_NETLINK;
    if (sendto(fd_, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0)
        return -errno;
    return 0;
}

int NetlinkSocket::Transact(std::vector<uint8_t> request, std::string* text) {
    const int opened = Open();
    if (opened != 0) return opened;
    const int sent = Send(request, NLM_F_ACK);
    if (sent != 0) return sent;
    return ReadReplies(16384, [&](const nlmsghdr& h) -> std::optional<int> {
        if (h.nlmsg_type != NLMSG_ERROR) return std::nullopt;
        const auto* err = static_cast<const nlmsgerr*>(NLMSG_DATA(&h));
        if (text) *text = ExtendedAckText(h);
        return err->error;  // 0 for a plain ACK, else -errno
    });
}

int NetlinkSocket::Dump(std::vector<uint8_t> request, const std::function<void(const nlmsghdr&)>& each) {
    const int opened = Open();
    if (opened != 0) return opened;
    const int sent = Send(request, NLM_F_DUMP);
    if (sent != 0) return sent;
    return ReadReplies(32768, [&](const nlmsghdr& h) -> std::optional<int> {
        if (h.nlmsg_type == NLMSG_DONE) return 0;
        if (h.nlmsg_type == NLMSG_ERROR) {
            const auto* err = static_cast<const nlmsgerr*>(NLMSG_DATA(&h));
            return err->error;
        }
        each(h);
        return std::nullopt;
    });
}

int NetlinkSocket::Get(std::vector<uint8_t> request, const std::function<void(const nlmsghdr&)>& answer) {
    const int opened = Open();
    if (opened != 0) return opened;
    const int sent = Send(request, 0);
    if (sent != 0) return sent;
    return ReadReplies(16384, [&](const nlmsghdr& h) -> std::optional<int> {
        if (h.nlmsg_type == NLMSG_ERROR) {
            const auto* err = static_cast<const nlmsgerr*>(NLMSG_DATA(&h));
            return err->error;
        }
        answer(h);
        return 0;
    });
}

int NetlinkSocket::ReadReplies(std::size_t bufSize, const std::function<std::optional<int>(const nlmsghdr&)>& onReply) {
    std::vector<uint8_t> buf(bufSize);
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        const int ready = poll(&p, 1, kReplyTimeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return -ETIMEDOUT;
        const ssize_t n = recv(fd_, buf.data(), buf.size(), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -errno;
        }
        std::size_t len = std::size_t(n);
        for (auto* h = reinterpret_cast<nlmsghdr*>(buf.data()); NLMSG_OK(h, len); h = NLMSG_NEXT(h, len)) {
            // Anything for an earlier request (a timed-out one) is not ours.
            if (h->nlmsg_seq != seq_) continue;
            if (const std::optional<int> result = onReply(*h)) return *result;
        }
    }
}

NetlinkMessage::NetlinkMessage(uint16_t type, uint16_t flags, const void* fixed, std::size_t fixedLen) {
    bytes_.resize(NLMSG_HDRLEN + NLMSG_ALIGN(fixedLen), 0);
    nlmsghdr h = {};
    h.nlmsg_type = type;
    h.nlmsg_flags = flags;
    std::memcpy(bytes_.data(), &h, sizeof h);
    if (fixedLen) std::memcpy(bytes_.data() + NLMSG_HDRLEN, fixed, fixedLen);
}

void NetlinkMessage::AddAttribute(uint16_t type, const void* data, std::size_t len) {
    rtattr attr;
    attr.rta_type = type;
    attr.rta_len = uint16_t(RTA_LENGTH(len));
    const std::size_t at = bytes_.size();
    bytes_.resize(at + RTA_SPACE(len), 0);
    std::memcpy(bytes_.data() + at, &attr, sizeof attr);
    std::memcpy(bytes_.data() + at + RTA_LENGTH(0), data, len);
}

std::vector<uint8_t> NetlinkMessage::Bytes() const { return bytes_; }

void ForEachAttribute(const nlmsghdr& msg, std::size_t fixedLen,
                      const std::function<void(uint16_t, const uint8_t*, std::size_t)>& each) {
    const auto* base = reinterpret_cast<const uint8_t*>(&msg);
    std::size_t offset = NLMSG_HDRLEN + NLMSG_ALIGN(fixedLen);
    while (offset + sizeof(rtattr) <= msg.nlmsg_len) {
        rtattr attr;
        std::memcpy(&attr, base + offset, sizeof attr);
        if (attr.rta_len < sizeof(rtattr) || offset + attr.rta_len > msg.nlmsg_len) break;
        each(attr.rta_type, base + offset + RTA_LENGTH(0), attr.rta_len - RTA_LENGTH(0));
        offset += RTA_ALIGN(attr.rta_len);
    }
}

}  // namespace orvanta::hostnet
