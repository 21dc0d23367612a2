// The DHCP/fixed radio pair with its five address controls (address, mask,
// router, two DNS servers) that the LAN IP and wireless IP pages share: the
// enabling on the radios' choice, the refresh from a record mode and its five
// address fields, and storing them back on Next.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class QRadioButton;

namespace orvanta {

class Ipv4AddressEdit;
class WizardPage;

class IpModeControls {
public:
    // One of the record's five address text fields.
    struct Field {
        char* data;
        std::size_t width;
    };
    template <std::size_t N>
    static Field Of(char (&field)[N]) {
        return {field, N};
    }
    using Fields = std::array<Field, 5>;

    IpModeControls() = default;
    IpModeControls(QRadioButton* dhcp, QRadioButton* fixed, std::array<Ipv4AddressEdit*, 5> addresses,
                   WizardPage* owner);

    // Record mode 0 selects DHCP and greys the addresses; 1 selects fixed and
    // fills them (enabling them only when `enableOnFixed`: the LAN page
    // leaves them as they were); any other value changes nothing.
    void Load(uint8_t mode, const Fields& fields, bool enableOnFixed) const;

    // Next: false when neither radio is selected (nothing is written).
    // DHCP stores mode 0 and leaves the addresses; fixed stores mode 1 and
    // each control as "%d.%d.%d.%d".
    bool Store(uint8_t& mode, const Fields& fields) const;

    QRadioButton* Fixed() const { return fixed_; }
    Ipv4AddressEdit* Address(int i) const { return addresses_[static_cast<std::size_t>(i)]; }

private:
    void SetAddressesEnabled(bool enabled) const;
    static void SetEnabled(const std::array<Ipv4AddressEdit*, 5>& controls, bool enabled);

    WizardPage* owner_ = nullptr;
    QRadioButton* dhcp_ = nullptr;
    QRadioButton* fixed_ = nullptr;
    std::array<Ipv4AddressEdit*, 5> addresses_{};
};

}  // namespace orvanta
