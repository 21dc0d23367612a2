// A small rtnetlink client: one request message at a time, always with an
// ACK asked for, replies matched by sequence number, the kernel's error
// turned into -errno plus its extended-ack text. Dumps hand every message to
// a callback. Never exits, never throws.
#pragma once

#include <linux/netlink.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::hostnet {

class NetlinkSocket {
public:
    NetlinkSocket() = default;
    ~NetlinkSocket();
    NetlinkSocket(const NetlinkSocket&) = delete;
    NetlinkSocket& operator=(const NetlinkSocket&) = delete;

    // 0 or -errno.
    int Open();

    // Sends `request` (its nlmsg_len set) with NLM_F_ACK and waits for the
    // matching ACK. 0 or -errno; *text gets the kernel's extended-ack text.
    int Transact(std::vector<uint8_t> request, std::string* text = nullptr);

    // Sends a dump request and calls `each` for every reply message until
    // NLMSG_DONE. 0 or -errno.
    int Dump(std::vector<uint8_t> request, const std::function<void(const nlmsghdr&)>& each);

    // Sends a request that is answered by one message (a route lookup) and
    // hands that message to `answer`. 0 or -errno.
    int Get(std::vector<uint8_t> request, const std::function<void(const nlmsghdr&)>& answer);

private:
    int Send(std::vector<uint8_t>& request, uint16_t extraFlags);
    // Reads replies to the last request until `onReply` returns a result
    // (0 or -errno) for one of them; -ETIMEDOUT when the kernel goes quiet.
    int ReadReplies(std::size_t bufSize, const std::function<std::optional<int>(const nlmsghdr&)>& onReply);
    int fd_ = -1;
    uint32_t seq_ = 0;
};

// Building a request: header, fixed part, then attributes.
class NetlinkMessage {
public:
    NetlinkMessage(uint16_t type, uint16_t flags, const void* fixed, std::size_t fixedLen);
    void AddAttribute(uint16_t type, const void* data, std::size_t len);
    std::vector<uint8_t> Bytes() const;

private:
    std::vector<uint8_t> bytes_;
};

// The kernel's extended-ack message that follows an NLMSG_ERROR, or "".
std::string ExtendedAckText(const nlmsghdr& errorMessage);

// Walks the rtattr list that follows a fixed part of `fixedLen` bytes.
void ForEachAttribute(const nlmsghdr& msg, std::size_t fixedLen,
                      const std::function<void(uint16_t type, const uint8_t* data, std::size_t len)>& each);

}  // namespace orvanta::hostnet
