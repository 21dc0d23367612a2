#include "gui/framework/AddressChoice.h"

#include "core/hostnet/AddressProbe.h"
#include "core/settings/CameraSettings.h"
#include "core/settings/FixedField.h"
#include "gui/framework/WizardContext.h"

namespace orvanta {

std::optional<Ipv4Address> ClassfulMask(Ipv4Address address) {
    const unsigned first = address.FirstPart();
    if (first >= 128 && first <= 191) return Ipv4Address::FromHostOrder(0xFFFF0000u);
    if (first >= 192 && first <= 223) return Ipv4Address::FromHostOrder(0xFFFFFF00u);
    return std::nullopt;
}

bool AddressTakenByAnother(const WizardContext& context, Ipv4Address target, Ipv4Address camera,
                           Ipv4Address source) {
    if (target == camera || context.hostNetwork == nullptr || context.settings == nullptr) return false;
    // Without a usable address of its own the PC asks from none.
    if (source.IsUnspecified())
        source = Ipv4Address::Parse(FieldText(context.settings->HostIP)).value_or(Ipv4Address::Broadcast());
    return hostnet::ProbeAddressInUse(*context.hostNetwork, target.NetworkOrder(), source.NetworkOrder());
}

}  // namespace orvanta
