// Navigation codes that pages post to the main window. A page never shows
// another page itself: it posts one of these and returns, and the main
// window's handler decides what happens once the button handler is over.
#pragma once

#include <QEvent>
#include <cstdint>

namespace orvanta {

using WizardCommand = int32_t;

namespace cmd {
inline constexpr WizardCommand kFirstPage = 2;
inline constexpr WizardCommand kSystemPage = 3;
inline constexpr WizardCommand kOptionPage = 4;
inline constexpr WizardCommand kDiagramPage = 5;
inline constexpr WizardCommand kIspPage = 6;
inline constexpr WizardCommand kWlanApPage = 7;
inline constexpr WizardCommand kLanIpPage = 8;
inline constexpr WizardCommand kWlanIpPage = 9;
inline constexpr WizardCommand kSearchPage = 10;
inline constexpr WizardCommand kServerLoginPage = 11;
inline constexpr WizardCommand kServerListPage = 13;
inline constexpr WizardCommand kUpnpPage = 14;
inline constexpr WizardCommand kDdnsPage = 15;
inline constexpr WizardCommand kEnsureSubnet = 17;
inline constexpr WizardCommand kReadCamera = 18;
inline constexpr WizardCommand kSaveCamera = 19;
inline constexpr WizardCommand kApScanPage = 20;
inline constexpr WizardCommand kSummaryPage = 21;
inline constexpr WizardCommand kScanNow = 22;
inline constexpr WizardCommand kAbout = 24;
inline constexpr WizardCommand kWpsPage = 26;
inline constexpr WizardCommand kWpsPicPage = 27;
inline constexpr WizardCommand kChoosePage = 28;
inline constexpr WizardCommand kPppoePage = 29;
inline constexpr WizardCommand kQuickIpPage = 30;
inline constexpr WizardCommand kSetupFinishPage = 31;
inline constexpr WizardCommand kChangeLanguage = 32;
}  // namespace cmd

// The queued event that carries a command to the main window (the Qt
// counterpart of a posted WM_USER+10 with the code in its first parameter).
class WizardCommandEvent : public QEvent {
public:
    static QEvent::Type EventType();
    explicit WizardCommandEvent(WizardCommand code) : QEvent(EventType()), code_(code) {}
    WizardCommand Code() const { return code_; }

private:
    WizardCommand code_;
};

}  // namespace orvanta
