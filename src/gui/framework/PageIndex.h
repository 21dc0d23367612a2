// A page's position in the page collection: fixed by the order in which the
// main window creates the pages, and the argument of ShowPage.
#pragma once

namespace orvanta {

enum PageIndex : int {
    kPageFirst = 0,
    kPageSearchNet = 1,
    kPageOption = 2,
    kPageSystem = 3,
    kPageShowPic = 4,
    kPageLANISP = 5,
    kPageLANIP = 6,
    kPageWLANAP = 7,
    kPageWLANIP = 8,
    kPageUPnP = 9,
    kPageDDNS = 10,
    kPageAPScan = 11,
    kPageWPS = 12,
    kPageSetAutoParam = 13,
    kPageWPSPic = 14,
    kPageChoose = 15,
    kPagePPPoE = 16,
    kPageWizardIP = 17,
    kPageLogin = 18,
    kPageSetupFinish = 19,
    kPageLinkSer = 20,
    kPageCount = 21,
};

}  // namespace orvanta
