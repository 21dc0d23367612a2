#include "core/hostnet/DialUpCredentials.h"

#include "core/settings/FixedField.h"

namespace orvanta::hostnet {

void ReadDialUpCredentials(CameraSettings& settings, HostNetwork& net) {
    const DialUpAccount account = net.ReadDialUp();
    if (!account.found) return;
    SetField(settings.DialUser, account.user);
    if (account.passwordKnown) SetField(settings.DialPassword, account.password);
}

}  // namespace orvanta::hostnet
