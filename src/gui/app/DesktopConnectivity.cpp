#include "gui/app/DesktopConnectivity.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QVariant>

#include "core/hostnet/linux/SystemFiles.h"

namespace orvanta {
namespace {

// Start-up waits for this answer, so a bus that does not reply in time
// counts as "cannot tell".
constexpr int kBusTimeoutMs = 500;

int AskNetworkManager() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return kInternetUnknown;
    QDBusInterface nm(QStringLiteral("org.freedesktop.NetworkManager"), QStringLiteral("/org/freedesktop/NetworkManager"),
                      QStringLiteral("org.freedesktop.DBus.Properties"), bus);
    if (!nm.isValid()) return kInternetUnknown;
    nm.setTimeout(kBusTimeoutMs);
    const QString service = QStringLiteral("org.freedesktop.NetworkManager");
    QDBusReply<QVariant> connectivity = nm.call(QStringLiteral("Get"), service, QStringLiteral("Connectivity"));
    if (connectivity.isValid()) {
        // NM_CONNECTIVITY_NONE 1, PORTAL 2, LIMITED 3, FULL 4; a captive
        // portal or a LAN without a way out is not the Internet.
        switch (connectivity.value().toUInt()) {
            case 4: return kInternetYes;
            case 1: case 2: case 3: return kInternetNo;
            default: break;  // 0: NetworkManager has not checked
        }
    }
    QDBusReply<QVariant> state = nm.call(QStringLiteral("Get"), service, QStringLiteral("State"));
    if (!state.isValid()) return kInternetUnknown;
    // NM_STATE_CONNECTED_GLOBAL 70; ASLEEP 10 and DISCONNECTED 20 mean no
    // link at all. Site or local connections leave the question open.
    const uint value = state.value().toUInt();
    if (value == 70) return kInternetYes;
    if (value == 10 || value == 20) return kInternetNo;
    return kInternetUnknown;
}

}  // namespace

int DesktopInternetState(const QString& networkdStateFile) {
    const int nm = AskNetworkManager();
    if (nm != kInternetUnknown) return nm;
    const int networkd = hostnet::ReadNetworkdOnlineState(networkdStateFile.toStdString());
    return networkd < 0 ? kInternetUnknown : networkd;
}

}  // namespace orvanta
