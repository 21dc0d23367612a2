// Talks to one orvanta-netadmin process serving one interface: started on
// first use, fed one request line at a time over a socket pair, ended by
// closing its stdin.
#pragma once

#include <sys/types.h>

#include <string>

#include "core/hostnet/HostNetwork.h"
#include "core/hostnet/NetadminRequest.h"

namespace orvanta::hostnet {

class NetadminClient {
public:
    NetadminClient(std::string helperPath, std::string ifname);
    ~NetadminClient();
    NetadminClient(const NetadminClient&) = delete;
    NetadminClient& operator=(const NetadminClient&) = delete;

    // The helper's answer; a helper that cannot be started, dies or stays
    // silent reads as an Error answer (HelperMissing, Other).
    NetadminReply Call(const std::string& request, int timeoutMs);

    // orvanta-netadmin from $ORVANTA_NETADMIN, else beside /proc/self/exe (a
    // build tree), else in ../libexec/orvanta/ from it (installed).
    static std::string DefaultHelperPath();

private:
    bool Start(NetadminReply& failure);
    void Stop();

    std::string helperPath_;
    std::string ifname_;
    int fd_ = -1;
    pid_t pid_ = -1;
    std::string pending_;  // bytes read past the last answer line
};

}  // namespace orvanta::hostnet
