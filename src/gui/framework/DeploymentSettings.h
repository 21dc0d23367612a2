// Where this installation probes for the Internet and which camera-listing
// server it offers. Read from orvanta.ini beside the executable:
//
//   [Network]
//   ProbeHost=...          empty: no probe; the desktop's network manager
//                          is asked instead (DesktopConnectivity.h)
//   ProbePort=80
//   ListingServerHost=...  empty: the "Search Intranet" button stays hidden
//   ListingServerPort=80
//
// ORVANTA_PROBE_HOST / ORVANTA_PROBE_PORT / ORVANTA_LISTING_HOST /
// ORVANTA_LISTING_PORT override the file (tests point them at loopback).
#pragma once

#include <QString>

namespace orvanta {

struct DeploymentSettings {
    QString probeHost;
    int probePort = 80;
    QString listingHost;
    int listingPort = 80;

    bool HasProbeHost() const { return !probeHost.trimmed().isEmpty(); }
    bool HasListingServer() const { return !listingHost.trimmed().isEmpty(); }

    // Reads `iniPath` (missing file: all empty), then applies the
    // environment. A port that is not a number in 1..65535 keeps 80.
    static DeploymentSettings Load(const QString& iniPath);

    // orvanta.ini beside the program when there is one, else the installed
    // data folder's.
    static QString DefaultIniPath();
};

}  // namespace orvanta
