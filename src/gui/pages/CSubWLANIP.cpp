#include "gui/pages/CSubWLANIP.h"

#include <QPushButton>

namespace orvanta {

CSubWLANIP::CSubWLANIP(QWidget* parent) : IpModePage(162, "WLANIPPage", parent) {
    AddIpModeBlock({1161, 1162, {1314, 1315, 1316, 1317, 1318}, {1101, 1102, 1103, 1104, 1105}},
                   QStringLiteral("DHCP Wireless IP"), QStringLiteral("Fixed Wireless IP"));
    {
        // Part of the page's template, never shown and without a handler.
        QPushButton* b = AddButton(1106, Dlu(160, 242, 60, 20), QStringLiteral("Exit"));
        b->hide();
    }
    AddStepTitle(1353, "TitleWLAN", 1024, QStringLiteral(""));
    connect(AddBackButton(1108, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubWLANIP::OnBack);
    connect(AddNextButton(1107, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubWLANIP::OnNext);
}

void CSubWLANIP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    ApplyIpModeCaptions(lang);
}

IpModeControls::Fields CSubWLANIP::RecordFields() const {
    CameraSettings& s = Settings();
    return {IpModeControls::Of(s.WIPAddr), IpModeControls::Of(s.WNetmask), IpModeControls::Of(s.WGateway),
            IpModeControls::Of(s.WDNS1), IpModeControls::Of(s.WDNS2)};
}

void CSubWLANIP::LoadFromSettings() { mode_.Load(Settings().WIPType, RecordFields(), /*enableOnFixed=*/true); }

void CSubWLANIP::OnBack() { PostCommand(cmd::kWlanApPage); }

void CSubWLANIP::OnNext() {
    if (!mode_.Store(Settings().WIPType, RecordFields())) {
        Ask(QStringLiteral("Please choose one !"), QStringLiteral("Orvanta"), mb::kOk);
        return;
    }
    PostCommand(cmd::kUpnpPage);
}

}  // namespace orvanta
