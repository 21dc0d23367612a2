#include "support/GuidedLanPath.h"

#include "gui/pages/CSubChoose.h"
#include "gui/pages/CSubDDNS.h"
#include "gui/pages/CSubFirst.h"
#include "gui/pages/CSubOption.h"
#include "gui/pages/CSubSearchNet.h"
#include "gui/pages/CSubSetAutoParam.h"
#include "gui/pages/CSubSetupFinish.h"
#include "gui/pages/CSubShowPic.h"
#include "gui/pages/CSubUPnP.h"
#include "gui/pages/CSubWizardIP.h"
#include "gui/framework/PageIndex.h"

namespace orvanta::testing {
namespace {

constexpr int kSearchButton = CSubSearchNet::kSearchButton;
constexpr int kCameraList = CSubSearchNet::kList;
constexpr int kSearchNext = CSubSearchNet::kNext;
constexpr int kCameraUrl = CSubSetupFinish::kAddress;

using Kind = PathAction::Kind;

std::vector<PathAction> QuickIpActions(const QuickIpValues& v) {
    std::vector<PathAction> actions;
    if (!v.address.isEmpty()) {
        actions.push_back({Kind::Click, CSubWizardIP::kFixedRadio, {}});
        actions.push_back({Kind::TypeAddress, CSubWizardIP::kAddress, v.address});
        if (!v.mask.isEmpty()) actions.push_back({Kind::TypeAddress, CSubWizardIP::kMask, v.mask});
        if (!v.gateway.isEmpty()) actions.push_back({Kind::TypeAddress, CSubWizardIP::kGateway, v.gateway});
        if (!v.dns.isEmpty()) actions.push_back({Kind::TypeAddress, CSubWizardIP::kDns, v.dns});
        actions.push_back({Kind::Look, 0, QStringLiteral("quick-ip-typed")});
    }
    actions.push_back({Kind::Click, CSubWizardIP::kNext, {}});
    return actions;
}

}  // namespace

std::vector<PathStep> GuidedLanPath(const QuickIpValues& quickIp) {
    return {
        {"first-page", kPageFirst, {{Kind::Click, CSubFirst::kSetupButton, {}}}},
        {"choose-link",
         kPageChoose,
         {{Kind::Click, CSubChoose::kYesRadio, {}},
          {Kind::Click, CSubChoose::kLanRadio, {}},
          {Kind::Click, CSubChoose::kNext, {}}}},
        {"diagram", kPageShowPic, {{Kind::Click, CSubShowPic::kNext, {}}}},
        {"search",
         kPageSearchNet,
         {{Kind::Click, kSearchButton, {}},
          {Kind::PickCamera, kCameraList, {}},
          {Kind::Look, 0, QStringLiteral("search-selected")},
          {Kind::Operation, kSearchNext, QStringLiteral("reading")}}},
        {"option",
         kPageOption,
         {{Kind::Click, CSubOption::kWizardRadio, {}}, {Kind::Click, CSubOption::kNext, {}}}},
        {"quick-ip", kPageWizardIP, QuickIpActions(quickIp)},
        {"upnp", kPageUPnP, {{Kind::Click, CSubUPnP::kNext, {}}}},
        {"ddns", kPageDDNS, {{Kind::Click, CSubDDNS::kNext, {}}}},
        {"summary", kPageSetAutoParam, {{Kind::Operation, CSubSetAutoParam::kSave, QStringLiteral("saving")}}},
        {"setup-finished", kPageSetupFinish, {{Kind::ExpectCameraUrl, kCameraUrl, {}}}},
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
