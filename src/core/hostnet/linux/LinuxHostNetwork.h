// HostNetwork on Linux: rtnetlink dumps, sysfs and lease files for the
// inventory; orvanta-netadmin for everything that needs a capability.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "core/hostnet/HostNetwork.h"
#include "core/hostnet/NetadminRequest.h"
#include "core/hostnet/linux/LinuxPaths.h"
#include "core/hostnet/linux/NetadminClient.h"

namespace orvanta::hostnet {

class LinuxHostNetwork : public HostNetwork {
public:
    explicit LinuxHostNetwork(LinuxPaths paths = {});

    AdapterList ListAdapters() override;
    AliasResult AddAlias(const AliasContext& alias) override;
    AliasResult RemoveAlias(const AliasContext& alias) override;
    DuplicateCheck CheckDuplicate(uint32_t ifIndex, uint32_t address, int windowMs) override;
    ArpReply SendArp(uint32_t target, uint32_t source) override;
    DialUpAccount ReadDialUp() override;
    void Sleep(int ms) override;

    // How long SendArp waits for an answer.
    static constexpr int kArpWaitMs = 1000;

private:
    // The answer for an alias request, with the one diagnostic line on
    // stderr for failures no retry can mend.
    AliasResult AliasCall(NetadminVerb verb, const AliasContext& alias);
    void Diagnose(const std::string& what, AliasStatus status, const std::string& text);

    // Helper answers must pair with their requests: the free-address search
    // runs on the worker thread while the window may remove aliases.
    NetadminReply CallHelper(const std::string& ifname, const std::string& request, int timeoutMs);

    LinuxPaths paths_;
    std::mutex helpersMutex_;
    std::map<std::string, std::unique_ptr<NetadminClient>> helpers_;
};

std::unique_ptr<HostNetwork> MakeLinuxHostNetwork(LinuxPaths paths);

}  // namespace orvanta::hostnet
