#include "gui/pages/IpModePage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>

#include "gui/controls/Ipv4AddressEdit.h"

namespace orvanta {

void IpModePage::AddIpModeBlock(const BlockIds& ids, const QString& dhcpText, const QString& fixedText) {
    static const QString kLabels[5] = {QStringLiteral("IP Address"), QStringLiteral("Subnet Mask"),
                                       QStringLiteral("Gateway"), QStringLiteral("DNS"), QStringLiteral("DNS2")};
    QButtonGroup* modeGroup = AddRadioGroup();
    QRadioButton* dhcp = AddRadio(ids.dhcp, Dlu(30, 40, 250, 12), dhcpText, modeGroup);
    QRadioButton* fixed = AddRadio(ids.fixed, Dlu(30, 58, 250, 12), fixedText, modeGroup);
    AddGroupBox(0, Dlu(20, 76, 350, 120), QStringLiteral(""));
    std::array<QLabel*, 5> labels{};
    std::array<Ipv4AddressEdit*, 5> addresses{};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const int row = 20 * int(i);
        labels[i] = AddStatic(ids.labels[i], Dlu(40, 92 + row, 100, 10), kLabels[i]);
        addresses[i] = AddAddress(ids.addresses[i], Dlu(150, 90 + row, 120, 13));
    }
    mode_ = IpModeControls(dhcp, fixed, addresses, this);

    Captions({{dhcp, "RadioDHCP"},
              {fixed, "RadioFixIP"},
              {labels[0], "IP"},
              {labels[1], "Submask"},
              {labels[2], "Gateway"},
              {labels[3], "DNS"},
              {labels[4], "DNS2"}});
}

}  // namespace orvanta
