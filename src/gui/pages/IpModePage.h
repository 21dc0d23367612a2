// A page whose body is the DHCP/fixed radio pair over five address
// controls (the LAN IP and wireless IP pages): it lays the block out the
// same way for both, captions it from the language file and keeps the
// IpModeControls that load and store it. The pages only give their ids.
#pragma once

#include <array>

#include "gui/framework/WizardPage.h"
#include "gui/pages/IpModeControls.h"

namespace orvanta {

class IpModePage : public WizardPage {
    Q_OBJECT
public:
    using WizardPage::WizardPage;

protected:
    struct BlockIds {
        int dhcp;
        int fixed;
        // Labels and controls in the order address, mask, router, DNS, DNS2.
        std::array<int, 5> labels;
        std::array<int, 5> addresses;
    };

    // Adds the block and its rows to the page's caption table.
    void AddIpModeBlock(const BlockIds& ids, const QString& dhcpText, const QString& fixedText);

    IpModeControls mode_;
};

}  // namespace orvanta
