// The settings file that `read` prints and `save` takes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/settings/CameraKeys.h"
#include "core/settings/FixedField.h"
#include "core/settings/SettingsText.h"

namespace orvanta {
namespace {

TEST(SettingsText, RoundTripKeepsEveryField) {
    CameraSettings s;
    SetField(s.SSID, "My Net\\with\nbreak");  // backslash and a line end survive
    SetField(s.WPAKey, "a&b=c");
    SetField(s.TitleBar, "\xe6\x97\xa5 cam");
    s.CamAddr = 0x0100000A;  // 10.0.0.1 in network order
    const uint8_t mac[6] = {0, 0x11, 0x22, 0xaa, 0xbb, 0xff};
    std::memcpy(s.CamMAC, mac, 6);
    s.Timezone = -8;
    s.APCount = 4000000000u;
    s.WireCh = 255;

    const std::string text = WriteSettingsText(s);
    EXPECT_NE(text.find("CamAddr=10.0.0.1\n"), std::string::npos);
    EXPECT_NE(text.find("CamMAC=00:11:22:aa:bb:ff\n"), std::string::npos);
    CameraSettings back;
    std::memset(&back, 0x5a, sizeof back);  // every field must be rewritten
    std::string error;
    ASSERT_TRUE(ReadSettingsText(text, back, error)) << error;
    EXPECT_EQ(WriteSettingsText(back), text);
}

// A record field without a row would be left out of the file without a word,
// and a save from that file would send whatever the field happened to hold.
TEST(SettingsText, EveryRecordFieldHasOneRow) {
    std::size_t end = 0;
    for (const CameraKey* k : CameraKeysInRecordOrder()) {
        const std::size_t align = k->field.type == FieldType::I32 || k->field.type == FieldType::U32 ? 4 : 1;
        EXPECT_EQ(k->field.offset, (end + align - 1) / align * align) << "a gap or an overlap before " << k->field.name;
        end = k->field.offset + k->field.size;
    }
    EXPECT_EQ((end + 3) / 4 * 4, sizeof(CameraSettings)) << "fields after the last row";
}

TEST(SettingsText, RefusesWhatItCannotStore) {
    struct Row {
        std::string line;
        const char* why;
    } rows[] = {
        {"Nonsense=1", "unknown field"},
        {"WireCh=256", "bad value for WireCh"},            // one byte
        {"HttpPort=x", "bad value for HttpPort"},
        {"ModelName=" + std::string(32, 'm'), "at most 31 bytes"},  // never cut silently
        {"CamMAC=00:11:22", "bad value for CamMAC"},
        {"no equals sign", "expected Field=value"},
    };
    for (const Row& r : rows) {
        CameraSettings s;
        std::string error;
        EXPECT_FALSE(ReadSettingsText("# comment\n[camera]\n" + r.line + "\n", s, error)) << r.line;
        EXPECT_NE(error.find(r.why), std::string::npos) << error;
        EXPECT_NE(error.find("line 3"), std::string::npos) << error;
        // Secrets never appear in the message.
        EXPECT_EQ(error.find("mmmm"), std::string::npos) << error;
    }
}

TEST(SettingsText, JsonIsValidForAnyBytes) {
    CameraSettings s;
    SetField(s.SSID, "q\"\\\x01\xff");
    // C1 and bidirectional controls are valid JSON that a terminal obeys.
    SetField(s.ModelName, "a\xc2\x9b" "b\xe2\x80\xae" "c\xe2\x81\xa9" "d\xe2\x80\xa9");
    const std::string json = WriteSettingsJson(s);
    EXPECT_NE(json.find("\"SSID\": \"q\\\"\\\\\\u0001\\u00ff\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"ModelName\": \"a\\u009bb\\u202ec\\u2069d\xe2\x80\xa9\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"HttpPort\": 0"), std::string::npos);
}

}  // namespace
}  // namespace orvanta
