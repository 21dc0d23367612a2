#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/discovery/DiscoveredCamera.h"
#include "core/settings/CameraSettings.h"
#include "core/settings/FixedField.h"

using namespace orvanta;

TEST(CameraSettings, FreshRecordIsEmptyButKeepsConnecting) {
    CameraSettings s;
    EXPECT_EQ(s.KeepConnecting, 1);
    EXPECT_EQ(s.IPType, 0);
    EXPECT_EQ(s.WIPType, 0);
    EXPECT_EQ(s.HttpPort, 0);
    EXPECT_STREQ(s.IPAddr, "");
    EXPECT_STREQ(s.WPAKey, "");
    EXPECT_EQ(s.StartSearch + s.StartSetup + s.StartUpgrade, 0);
}

// The longest value each field has to carry is stored whole; a field made
// narrower than what cameras and users put into it fails here.
TEST(CameraSettings, LongestValuesFitTheirFields) {
    CameraSettings s;
    const std::string wpaHexKey(64, 'A');  // a PSK given as 64 hexadecimal digits
    SetField(s.WPAKey, wpaHexKey);
    EXPECT_EQ(FieldText(s.WPAKey), wpaHexKey);
    SetField(s.CamPort, "65535");
    EXPECT_EQ(FieldText(s.CamPort), "65535");
    SetField(s.Date, "2026/12/31");
    EXPECT_EQ(FieldText(s.Date), "2026/12/31");
    const std::string dnsName = std::string(63, 'a') + "." + std::string(63, 'b') + "." + std::string(63, 'c') + "." +
                                std::string(61, 'd');  // 253 characters, the longest DNS name
    SetField(s.DDNSHost, dnsName);
    EXPECT_EQ(FieldText(s.DDNSHost), dnsName);
    // A serial number as long as discovery can deliver is kept whole when
    // the camera is picked.
    discovery::DiscoveredCamera found{};
    const std::string serial(sizeof found.SerialNo - 1, 'S');
    SetField(found.SerialNo, serial);
    SetField(s.CamSerial, FieldText(found.SerialNo));
    EXPECT_EQ(FieldText(s.CamSerial), serial);
}

// Each row: text copied into an 8-byte field, and what the field must hold.
struct FieldCase {
    const char* text;
    const char* stored;
    const char* why;
};

TEST(FixedField, CutsAtWidthLessOneOnCharacterBoundary) {
    const FieldCase cases[] = {
        {"", "", "empty text gives an empty field"},
        {"1234567", "1234567", "exactly width-1 bytes fit whole"},
        {"12345678", "1234567", "one byte too many is cut"},
        {"123456\xC3\xA9", "123456", "a two-byte character across the cut is dropped whole"},
        {"12345\xC3\xA9", "12345\xC3\xA9", "a two-byte character that ends at the cut stays"},
        {"1234\xE6\xB8\xAC\xE8\xA9\xA6", "1234\xE6\xB8\xAC", "a three-byte character across the cut is dropped"},
        {"abcdef\xA9\xA9\xA9\xA9", "abcdef\xA9", "8-bit text that is not UTF-8 is cut at the width"},
    };
    for (const auto& c : cases) {
        char field[8];
        std::memset(field, 'x', sizeof field);
        CopyToField(field, sizeof field, c.text);
        EXPECT_STREQ(field, c.stored) << c.why;
    }
}

TEST(FixedField, FieldTextStopsAtTerminatorOrWidth) {
    char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FieldText(full), "abcd");
    char part[4] = {'a', '\0', 'c', 'd'};
    EXPECT_EQ(FieldText(part), "a");
}
