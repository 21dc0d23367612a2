#include "OnvifReach.h"

#include "core/hostnet/ReachableAddress.h"
#include "core/hostnet/TemporaryAddress.h"

namespace orvanta::cli {

OnvifReach::OnvifReach(std::string card) : net_(hostnet::MakeLinuxHostNetwork()), card_(std::move(card)) {}

OnvifReach::~OnvifReach() { RemoveAll(); }

void OnvifReach::RemoveAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    hostnet::RemoveTemporaryAddresses(*net_, added_);
}

bool OnvifReach::Ensure(const std::string& address, int prefix, const std::string& port) {
    std::lock_guard<std::mutex> lock(mutex_);
    return hostnet::EnsureAddressReachable(*net_, added_, address, prefix, port, card_);
}

}  // namespace orvanta::cli
