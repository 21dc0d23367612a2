// A hardware (MAC) address as a value: six bytes, whatever form the text
// came in. Cameras report theirs as "00:04:7D:0E:B8:5C", "00-04-7d-0e-b8-5c",
// "0004.7d0e.b85c" or "00047D0EB85C"; a plan may use any of them too. Two
// texts name the same card when their bytes are equal, never when their
// letters are, and every one is printed the one way: "aa:bb:cc:dd:ee:ff".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

class MacAddress {
public:
    MacAddress() = default;
    explicit MacAddress(const std::array<uint8_t, 6>& bytes) : bytes_(bytes) {}

    // Six hexadecimal pairs in any case: separated by ':' or '-' (one
    // kind throughout), as three '.'-separated groups of four, or none.
    // Leading and trailing blanks are ignored. nullopt for anything else.
    static std::optional<MacAddress> Parse(std::string_view text);

    // "aa:bb:cc:dd:ee:ff".
    std::string Text() const;
    const std::array<uint8_t, 6>& Bytes() const { return bytes_; }
    bool IsZero() const { return bytes_ == std::array<uint8_t, 6>{}; }

    bool operator==(const MacAddress&) const = default;

private:
    std::array<uint8_t, 6> bytes_{};
};

// The MAC in its one printed form, or the text as it came when it is no
// MAC at all (shown to the user rather than lost).
std::string MacText(std::string_view text);

// Both texts are MACs with the same six bytes.
bool SameMac(std::string_view a, std::string_view b);

}  // namespace orvanta
