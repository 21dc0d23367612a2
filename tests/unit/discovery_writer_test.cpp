// orvanta-cli discover's output: whatever bytes a camera puts in its texts,
// each format stays parseable and one camera stays one line or object.
#include <gtest/gtest.h>

#include <cstring>

#include "core/discovery/DiscoveredCameraWriter.h"
#include "core/settings/FixedField.h"

using namespace orvanta;
using namespace orvanta::discovery;

TEST(DiscoveredCameraWriter, Escaping) {
    struct Row {
        const char* what;
        std::string (*escape)(std::string_view);
        std::string in;
        std::string out;
    };
    const Row rows[] = {
        {"json quote and backslash", DiscoveredCameraWriter::JsonString, "a\"b\\c", "\"a\\\"b\\\\c\""},
        // Raw control bytes are invalid inside a JSON string.
        {"json controls", DiscoveredCameraWriter::JsonString, "a\nb\x01\x7f", "\"a\\u000ab\\u0001\\u007f\""},
        // Valid UTF-8 passes through untouched.
        {"json utf-8", DiscoveredCameraWriter::JsonString, "caf\xc3\xa9 \xe6\x94\x9d", "\"caf\xc3\xa9 \xe6\x94\x9d\""},
        // 8-bit code-page bytes and broken sequences become their Latin-1 reading.
        {"json latin-1", DiscoveredCameraWriter::JsonString, "caf\xe9", "\"caf\\u00e9\""},
        {"json truncated sequence", DiscoveredCameraWriter::JsonString, "\xe6\x94", "\"\\u00e6\\u0094\""},
        {"json overlong slash", DiscoveredCameraWriter::JsonString, "\xc0\xaf", "\"\\u00c0\\u00af\""},
        {"json surrogate", DiscoveredCameraWriter::JsonString, "\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},
        {"csv plain", DiscoveredCameraWriter::CsvField, "Lobby/eth0", "Lobby/eth0"},
        // A comma, quote or line break must not split the row.
        {"csv comma", DiscoveredCameraWriter::CsvField, "a,b", "\"a,b\""},
        {"csv quote", DiscoveredCameraWriter::CsvField, "say \"hi\"", "\"say \"\"hi\"\"\""},
        {"csv newline", DiscoveredCameraWriter::CsvField, "a\r\nb", "\"a\r\nb\""},
        // A tab would shift the text columns; an escape could drive the terminal.
        {"text tab and escape", DiscoveredCameraWriter::PlainField, "a\tb\x1b[2J", "a\\x09b\\x1B[2J"},
        {"text backslash", DiscoveredCameraWriter::PlainField, "a\\x09", "a\\x5Cx09"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.escape(row.in), row.out);
    }
}

TEST(DiscoveredCameraWriter, OneCameraPerLineOrObject) {
    DiscoveredCamera cams[2];
    std::memset(cams, 0, sizeof cams);
    SetField(cams[0].IpText, "10.0.0.5");
    SetField(cams[0].DescInterface, "a\nb/eth0");
    SetField(cams[0].SerialNo, "x,y");
    SetField(cams[1].IpText, "10.0.0.6");

    EXPECT_EQ(DiscoveredCameraWriter::Write(RecordFormat::Json, cams, 0), "[]\n");
    const std::string json = DiscoveredCameraWriter::Write(RecordFormat::Json, cams, 2);
    EXPECT_EQ(json,
              "[\n"
              "  {\"ip\": \"10.0.0.5\", \"mac\": \"\", \"port\": \"\", \"desc_interface\": \"a\\u000ab/eth0\", "
              "\"sport\": \"\", \"serial\": \"x,y\", \"mask\": \"\", \"fourth\": \"\"},\n"
              "  {\"ip\": \"10.0.0.6\", \"mac\": \"\", \"port\": \"\", \"desc_interface\": \"\", "
              "\"sport\": \"\", \"serial\": \"\", \"mask\": \"\", \"fourth\": \"\"}\n"
              "]\n");
    EXPECT_EQ(DiscoveredCameraWriter::Write(RecordFormat::Csv, cams, 2),
              "ip,mac,port,desc_interface,sport,serial,mask,fourth\n"
              "10.0.0.5,,,\"a\nb/eth0\",,\"x,y\",,\n"
              "10.0.0.6,,,,,,,\n");
    const std::string text = DiscoveredCameraWriter::Write(RecordFormat::Text, cams, 2);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);

    RecordFormat f;
    EXPECT_TRUE(DiscoveredCameraWriter::ParseFormat("csv", f));
    EXPECT_EQ(f, RecordFormat::Csv);
    EXPECT_FALSE(DiscoveredCameraWriter::ParseFormat("JSON", f));
}
