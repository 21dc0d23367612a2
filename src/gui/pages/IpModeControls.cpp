#include "gui/pages/IpModeControls.h"

#include <QRadioButton>
#include <cstring>
#include <string>

#include "core/settings/FixedField.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

IpModeControls::IpModeControls(QRadioButton* dhcp, QRadioButton* fixed, std::array<Ipv4AddressEdit*, 5> addresses,
                               WizardPage* owner)
    : owner_(owner), dhcp_(dhcp), fixed_(fixed), addresses_(addresses) {
    // Only the user's choice changes the enabling: a refresh that selects a
    // radio from code leaves it to Load, which is not symmetric.
    // The handlers hold the controls themselves, not this object, which the
    // page may copy.
    const auto controls = addresses_;
    if (dhcp_) owner->WhenChecked(dhcp_, [controls] { SetEnabled(controls, false); });
    if (fixed_) owner->WhenChecked(fixed_, [controls] { SetEnabled(controls, true); });
}

void IpModeControls::SetEnabled(const std::array<Ipv4AddressEdit*, 5>& controls, bool enabled) {
    for (Ipv4AddressEdit* c : controls)
        if (c) c->setEnabled(enabled);
}

void IpModeControls::SetAddressesEnabled(bool enabled) const { SetEnabled(addresses_, enabled); }

void IpModeControls::Load(uint8_t mode, const Fields& fields, bool enableOnFixed) const {
    const WizardPage::QuietLoad quiet(owner_);
    if (mode == 0) {
        WizardPage::SetChecked(dhcp_, true);
        WizardPage::SetChecked(fixed_, false);
        SetAddressesEnabled(false);
    } else if (mode == 1) {
        WizardPage::SetChecked(fixed_, true);
        WizardPage::SetChecked(dhcp_, false);
        for (std::size_t i = 0; i < addresses_.size(); ++i) {
            if (addresses_[i] == nullptr) continue;
            // The field may lack a terminator only if someone broke the
            // record; read no further than its width.
            const std::string text(fields[i].data, ::strnlen(fields[i].data, fields[i].width));
            addresses_[i]->SetFromRecordText(text.c_str());
        }
        if (enableOnFixed) SetAddressesEnabled(true);
    }
}

bool IpModeControls::Store(uint8_t& mode, const Fields& fields) const {
    if (dhcp_ && dhcp_->isChecked()) {
        mode = 0;
        return true;
    }
    if (fixed_ && fixed_->isChecked()) {
        mode = 1;
        for (std::size_t i = 0; i < addresses_.size(); ++i)
            CopyToField(fields[i].data, fields[i].width, WizardPage::AddressText(addresses_[i]).toStdString());
        return true;
    }
    return false;
}

}  // namespace orvanta
