#include "gui/framework/AddressChoice.h"

#include "core/hostnet/AddressProbe.h"
#include "core/settings/CameraSettings.h"
#include "core/settings/FixedField.h"
#include "core/base/AddressText.h"
#include "gui/framework/WizardContext.h"

namespace orvanta {

std::optional<uint32_t> ClassfulMask(uint32_t hostOrderAddress) {
    const unsigned first = hostOrderAddress >> 24;
    if (first >= 128 && first <= 191) return 0xFFFF0000u;
    if (first >= 192 && first <= 223) return 0xFFFFFF00u;
    return std::nullopt;
}

bool AddressTakenByAnother(const WizardContext& context, uint32_t target, uint32_t camera, uint32_t source) {
    if (target == camera || context.hostNetwork == nullptr || context.settings == nullptr) return false;
    // Without a usable address of its own the PC asks from none.
    if (source == 0 && !ParseIpv4(FieldText(context.settings->HostIP), source)) source = 0xFFFFFFFFu;
    return hostnet::ProbeAddressInUse(*context.hostNetwork, target, source);
}

}  // namespace orvanta
