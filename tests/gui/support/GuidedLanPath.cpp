#include "support/GuidedLanPath.h"

#include "gui/pages/SetupChoicePage.h"
#include "gui/pages/DdnsPage.h"
#include "gui/pages/StartPage.h"
#include "gui/pages/OptionPage.h"
#include "gui/pages/SearchPage.h"
#include "gui/pages/SummaryPage.h"
#include "gui/pages/SetupFinishedPage.h"
#include "gui/pages/DiagramPage.h"
#include "gui/pages/UpnpPortsPage.h"
#include "gui/pages/QuickAddressPage.h"
#include "gui/framework/PageIndex.h"

namespace orvanta::testing {
namespace {

constexpr int kSearchButton = SearchPage::kSearchButton;
constexpr int kCameraList = SearchPage::kList;
constexpr int kSearchNext = SearchPage::kNext;
constexpr int kCameraUrl = SetupFinishedPage::kAddress;

using Kind = PathAction::Kind;

std::vector<PathAction> QuickIpActions(const QuickIpValues& v) {
    std::vector<PathAction> actions;
    if (!v.address.isEmpty()) {
        actions.push_back({Kind::Click, QuickAddressPage::kFixedRadio, {}});
        actions.push_back({Kind::TypeAddress, QuickAddressPage::kAddress, v.address});
        if (!v.mask.isEmpty()) actions.push_back({Kind::TypeAddress, QuickAddressPage::kMask, v.mask});
        if (!v.gateway.isEmpty()) actions.push_back({Kind::TypeAddress, QuickAddressPage::kGateway, v.gateway});
        if (!v.dns.isEmpty()) actions.push_back({Kind::TypeAddress, QuickAddressPage::kDns, v.dns});
        actions.push_back({Kind::Look, 0, QStringLiteral("quick-ip-typed")});
    }
    actions.push_back({Kind::Click, QuickAddressPage::kNext, {}});
    return actions;
}

}  // namespace

std::vector<PathStep> GuidedLanPath(const QuickIpValues& quickIp) {
    return {
        {"first-page", kPageStart, {{Kind::Click, StartPage::kSetupButton, {}}}},
        {"choose-link",
         kPageSetupChoice,
         {{Kind::Click, SetupChoicePage::kYesRadio, {}},
          {Kind::Click, SetupChoicePage::kLanRadio, {}},
          {Kind::Click, SetupChoicePage::kNext, {}}}},
        {"diagram", kPageDiagram, {{Kind::Click, DiagramPage::kNext, {}}}},
        {"search",
         kPageSearch,
         {{Kind::Click, kSearchButton, {}},
          {Kind::PickCamera, kCameraList, {}},
          {Kind::Look, 0, QStringLiteral("search-selected")},
          {Kind::Operation, kSearchNext, QStringLiteral("reading")}}},
        {"option",
         kPageOption,
         {{Kind::Click, OptionPage::kWizardRadio, {}}, {Kind::Click, OptionPage::kNext, {}}}},
        {"quick-ip", kPageQuickAddress, QuickIpActions(quickIp)},
        {"upnp", kPageUpnpPorts, {{Kind::Click, UpnpPortsPage::kNext, {}}}},
        {"ddns", kPageDynamicDns, {{Kind::Click, DdnsPage::kNext, {}}}},
        {"summary", kPageSummary, {{Kind::Operation, SummaryPage::kSave, QStringLiteral("saving")}}},
        {"setup-finished", kPageSetupFinished, {{Kind::ExpectCameraUrl, kCameraUrl, {}}}},
    };
}

bool RunActions(const PathStep& step, PathDriver& driver) {
    for (const PathAction& a : step.actions) {
        bool ok = true;
        switch (a.kind) {
            case Kind::Click: ok = driver.Click(step.page, a.control); break;
            case Kind::Operation: ok = driver.StartOperation(step.page, a.control, a.text); break;
            case Kind::PickCamera: ok = driver.PickCamera(step.page, a.control); break;
            case Kind::TypeAddress: ok = driver.TypeAddress(step.page, a.control, a.text); break;
            case Kind::ExpectCameraUrl: ok = driver.ExpectCameraUrl(step.page, a.control); break;
            case Kind::Look: driver.Look(a.text); break;
        }
        if (!ok) return false;
    }
    return true;
}

int WalkPath(const std::vector<PathStep>& steps, PathDriver& driver) {
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (!driver.WaitForPage(steps[i].page) || !RunActions(steps[i], driver)) return static_cast<int>(i);
    return -1;
}

}  // namespace orvanta::testing
