// Whether this PC reaches the Internet, as the desktop's own network manager
// sees it: the answer for installations that name no probe host.
#pragma once

#include <QString>

namespace orvanta {

// The record's internetReachable values.
enum InternetState : int { kInternetNo = 0, kInternetYes = 1, kInternetUnknown = 2 };

// NetworkManager's connectivity over the system bus first; where it does not
// run (or cannot tell), systemd-networkd's online state from
// `networkdStateFile`; kInternetUnknown when neither can tell.
int DesktopInternetState(const QString& networkdStateFile = QStringLiteral("/run/systemd/netif/state"));

}  // namespace orvanta
