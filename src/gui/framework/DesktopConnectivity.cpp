#include "gui/framework/DesktopConnectivity.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariant>

#include "core/hostnet/linux/SystemFiles.h"

namespace orvanta {
namespace {

// Start-up waits for this answer, so a bus that does not reply in time
// counts as "cannot tell".
constexpr int kBusTimeoutMs = 500;

// One property of NetworkManager's root object, or an invalid variant. A
// plain method call: a QDBusInterface would first introspect the service,
// with the bus's own 25 s time-out.
QVariant NetworkManagerProperty(QDBusConnection& bus, const char* name) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.NetworkManager"), QStringLiteral("/org/freedesktop/NetworkManager"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.NetworkManager") << QString::fromLatin1(name);
    const QDBusMessage reply = bus.call(get, QDBus::Block, kBusTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return qvariant_cast<QDBusVariant>(reply.arguments().first()).variant();
}

int AskNetworkManager() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return kInternetUnknown;
    const QVariant connectivity = NetworkManagerProperty(bus, "Connectivity");
    if (connectivity.isValid()) {
        // NM_CONNECTIVITY_NONE 1, PORTAL 2, LIMITED 3, FULL 4; a captive
        // portal or a LAN without a way out is not the Internet.
        switch (connectivity.toUInt()) {
            case 4: return kInternetYes;
            case 1: case 2: case 3: return kInternetNo;
            default: break;  // 0: NetworkManager has not checked
        }
    }
    const QVariant state = NetworkManagerProperty(bus, "State");
    if (!state.isValid()) return kInternetUnknown;
    // NM_STATE_CONNECTED_GLOBAL 70; ASLEEP 10 and DISCONNECTED 20 mean no
    // link at all. Site or local connections leave the question open.
    const uint value = state.toUInt();
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
