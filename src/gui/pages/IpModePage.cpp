#include "gui/pages/IpModePage.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "gui/controls/CIPAddressCtrl.h"

namespace orvanta {

void IpModePage::AddIpModeBlock(const BlockIds& ids, const QString& dhcpText, const QString& fixedText) {
    static const QString kLabels[5] = {QStringLiteral("IP Address"), QStringLiteral("Subnet Mask"),
                                       QStringLiteral("Gateway"), QStringLiteral("DNS"), QStringLiteral("DNS2")};
    ids_ = ids;
    QButtonGroup* modeGroup = AddRadioGroup();
    QRadioButton* dhcp = AddRadio(ids.dhcp, Dlu(30, 40, 250, 12), dhcpText, modeGroup);
    QRadioButton* fixed = AddRadio(ids.fixed, Dlu(30, 58, 250, 12), fixedText, modeGroup);
    AddGroupBox(0, Dlu(20, 76, 350, 120), QStringLiteral(""));
    std::array<CIPAddressCtrl*, 5> addresses{};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const int row = 20 * int(i);
        AddStatic(ids.labels[i], Dlu(40, 92 + row, 100, 10), kLabels[i]);
        addresses[i] = AddAddress(ids.addresses[i], Dlu(150, 90 + row, 120, 13));
    }
    mode_ = IpModeControls(dhcp, fixed, addresses, this);
}

void IpModePage::ApplyIpModeCaptions(const LanguageStrings& lang) {
    static const char* const kKeys[5] = {"IP", "Submask", "Gateway", "DNS", "DNS2"};
    SetCaption(Control(ids_.dhcp), lang, "RadioDHCP", 260);
    SetCaption(Control(ids_.fixed), lang, "RadioFixIP", 260);
    for (std::size_t i = 0; i < ids_.labels.size(); ++i) SetCaption(Control(ids_.labels[i]), lang, kKeys[i], 260);
}

}  // namespace orvanta
