// What the pages of an ONVIF camera's set-up share: the camera chosen in the
// search list, the login, what the camera said when it was read, the change
// the pages build up, and what it reads back after the change. Owned by the
// main window; the pages reach it through their context. Only the user
// interface thread touches it: the worker gets copies.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include <QImage>
#include <QString>

#include "core/base/Ipv4Address.h"
#include "core/onvif/device/CardSubnet.h"
#include "core/onvif/OnvifMaintenance.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta {

struct OnvifSetup {
    onvif::DiscoveredOnvifDevice device;  // the row chosen in the search list
    onvif::CardSubnet pc;                  // the PC's card it answered on, at the login
    onvif::OnvifCredentials credentials;
    onvif::OnvifDeviceState before;       // read at the login
    // A free address in the PC's subnet proposed after the login (host
    // order), when the walk ran.
    std::optional<Ipv4Address> proposal;
    // What each profile's video encoder offers (by profile token), read
    // after the login; a profile missing here offers nothing to choose.
    std::map<std::string, onvif::OnvifEncoderOptions> streamOptions;
    onvif::OnvifChange change;            // what the address, clock and streams pages ask for
    onvif::OnvifDeviceState after;        // read back after the change
    onvif::OnvifResult lastResult;        // of the last login or change
    // The image the finish page chose, and how its upgrade went.
    std::string firmwareFile;
    onvif::FirmwareReport firmware;

    // The camera's picture, taken after the login (decoded on the worker),
    // and what the camera sent; a null picture has `pictureResult` or
    // `pictureNote` saying why.
    QImage picture;
    std::string pictureJpeg;
    onvif::OnvifResult pictureResult;
    QString pictureNote;

    // Endpoint reference -> MAC, for every camera read in this run: the
    // search list fills a row's MAC from here.
    std::map<std::string, std::string> macs;
    // Endpoint reference -> the login a camera took in this run (kept in
    // memory only): the search list shows such a camera's picture.
    std::map<std::string, onvif::OnvifCredentials> logins;
    // The search list's row whose picture was asked for.
    onvif::DiscoveredOnvifDevice pictureOf;

    // A new camera: everything of the one before goes but the MACs and logins.
    void Choose(const onvif::DiscoveredOnvifDevice& chosen) {
        std::map<std::string, std::string> known = std::move(macs);
        std::map<std::string, onvif::OnvifCredentials> taken = std::move(logins);
        *this = OnvifSetup{};
        macs = std::move(known);
        logins = std::move(taken);
        device = chosen;
    }
};

// The address of the device service the path talks to (onvif::DeviceFound).
std::string OnvifHost(const onvif::DiscoveredOnvifDevice& device);

}  // namespace orvanta
