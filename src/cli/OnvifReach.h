// Reaching an ONVIF camera outside the PC's subnets from the command line:
// the same temporary address the wizard and the provisioner add for our own
// cameras (link-local ones included), removed again when the command ends.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "core/hostnet/AddedAddresses.h"
#include "core/hostnet/HostNetwork.h"

namespace orvanta::cli {

class OnvifReach {
public:
    // `card`: the card a search heard the camera on ("" for the PC's
    // connection as the wizard picks it).
    explicit OnvifReach(std::string card = "");
    ~OnvifReach();
    OnvifReach(const OnvifReach&) = delete;
    OnvifReach& operator=(const OnvifReach&) = delete;

    void SetCard(const std::string& card) { card_ = card; }

    // True when the PC can talk to `address` on `port`: it is in a subnet of
    // the PC's, it answers a connect already, or a temporary address in its
    // subnet (`prefix`, or /16 link-local, /24 otherwise, when 0) was added.
    bool Ensure(const std::string& address, int prefix, const std::string& port = "80");

    // Removes every temporary address added so far (also done on destruction).
    void RemoveAll();

private:
    std::unique_ptr<hostnet::HostNetwork> net_;
    hostnet::AddedAddresses added_;
    std::string card_;
    std::mutex mutex_;
};

}  // namespace orvanta::cli
