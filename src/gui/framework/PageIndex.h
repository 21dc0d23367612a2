// A page's position in the page collection: fixed by the order in which the
// main window creates the pages, and the argument of ShowPage.
#pragma once

namespace orvanta {

enum PageIndex : int {
    kPageStart = 0,
    kPageSearch = 1,
    kPageOption = 2,
    kPageSystem = 3,
    kPageDiagram = 4,
    kPageIspLink = 5,
    kPageLanAddress = 6,
    kPageWirelessNetwork = 7,
    kPageWirelessAddress = 8,
    kPageUpnpPorts = 9,
    kPageDynamicDns = 10,
    kPageAccessPointScan = 11,
    kPageWps = 12,
    kPageSummary = 13,
    kPageWpsPicture = 14,
    kPageSetupChoice = 15,
    kPagePppoe = 16,
    kPageQuickAddress = 17,
    kPageServerLogin = 18,
    kPageSetupFinished = 19,
    kPageServerCameraList = 20,
    kPageOnvifLogin = 21,
    kPageOnvifAddress = 22,
    kPageOnvifClock = 23,
    kPageOnvifSummary = 24,
    kPageOnvifFinished = 25,
    kPageOnvifStreams = 26,
    kPageCount = 27,
};

}  // namespace orvanta
