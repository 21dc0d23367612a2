// What orvanta-cli prints and the search page exports: whatever bytes a
// camera puts in its texts, JSON stays valid UTF-8, CSV stays one row a
// camera and never a formula, text sends nothing a terminal would obey.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/discovery/DiscoveredCameraWriter.h"
#include "core/onvif/search/OnvifDeviceWriter.h"
#include "core/base/Diagnostics.h"
#include "core/output/KindTable.h"
#include "core/base/OutputText.h"
#include "core/output/RecordWriter.h"
#include "core/settings/FixedField.h"

using namespace orvanta;
using namespace orvanta::discovery;
using namespace orvanta::output;

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

TEST(OutputText, Escaping) {
    struct Row {
        const char* what;
        std::string (*escape)(std::string_view);
        std::string in;
        std::string out;
    };
    const Row rows[] = {
        {"json quote and backslash", JsonString, "a\"b\\c", "\"a\\\"b\\\\c\""},
        // Raw control bytes are invalid inside a JSON string.
        {"json controls", JsonString, std::string("a\nb\x01\x7f\0z", 7), "\"a\\u000ab\\u0001\\u007f\\u0000z\""},
        // C1 is valid JSON but a terminal obeys it (U+009B starts a control sequence); U+00A0 is text.
        {"json C1 controls", JsonString, "a\xc2\x9b" "b\xc2\x80\xc2\x9f\xc2\xa0", "\"a\\u009bb\\u0080\\u009f\xc2\xa0\""},
        // Valid UTF-8 passes through untouched, up to the last code point.
        {"json utf-8", JsonString, "caf\xc3\xa9 \xe6\x94\x9d \xf4\x8f\xbf\xbf", "\"caf\xc3\xa9 \xe6\x94\x9d \xf4\x8f\xbf\xbf\""},
        // Bidirectional controls reorder what a viewer shows after them; their
        // neighbours (U+2029, U+202F, U+2065, U+206A) are left alone.
        {"json bidi controls", JsonString, "a\xe2\x80\xaa" "b\xe2\x80\xae" "c\xe2\x81\xa6" "d\xe2\x81\xa9" "e",
         "\"a\\u202ab\\u202ec\\u2066d\\u2069e\""},
        {"json bidi neighbours", JsonString, "\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa",
         "\"\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa\""},
        // Every class of invalid UTF-8 becomes U+FFFD, one per byte that starts no sequence.
        {"json 8-bit code page", JsonString, "caf\xe9", "\"caf" + kFffd + "\""},
        {"json lone continuation", JsonString, "\x80x\xbf", "\"" + kFffd + "x" + kFffd + "\""},
        {"json truncated sequence", JsonString, "\xe6\x94", "\"" + kFffd + kFffd + "\""},
        {"json truncated at end of 4", JsonString, "a\xf0\x9f\x98", "\"a" + kFffd + kFffd + kFffd + "\""},
        {"json overlong 2-byte", JsonString, "\xc0\xaf", "\"" + kFffd + kFffd + "\""},
        {"json overlong 3-byte", JsonString, "\xe0\x80\xaf", "\"" + kFffd + kFffd + kFffd + "\""},
        {"json overlong 4-byte", JsonString, "\xf0\x80\x80\xaf", "\"" + kFffd + kFffd + kFffd + kFffd + "\""},
        {"json surrogate", JsonString, "\xed\xa0\x80", "\"" + kFffd + kFffd + kFffd + "\""},
        {"json beyond U+10FFFF", JsonString, "\xf4\x90\x80\x80", "\"" + kFffd + kFffd + kFffd + kFffd + "\""},
        {"json never-valid bytes", JsonString, "\xf5\xfe\xff", "\"" + kFffd + kFffd + kFffd + "\""},
        {"csv plain", CsvCell, "Lobby/eth0", "Lobby/eth0"},
        // A comma, quote or line break must not split the row.
        {"csv comma", CsvCell, "a,b", "\"a,b\""},
        {"csv quote", CsvCell, "say \"hi\"", "\"say \"\"hi\"\"\""},
        {"csv newline", CsvCell, "a\r\nb", "\"a\r\nb\""},
        // What a spreadsheet would run as a formula is neutralised and quoted.
        {"csv formula =", CsvCell, "=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"csv formula + - @", CsvCell, "+1", "\"'+1\""},
        {"csv formula -", CsvCell, "-2+3", "\"'-2+3\""},
        {"csv formula @", CsvCell, "@SUM(A1)", "\"'@SUM(A1)\""},
        {"csv formula tab", CsvCell, "\t=1", "\"'\t=1\""},
        {"csv formula cr", CsvCell, "\r=1", "\"'\r=1\""},
        {"csv inner = is data", CsvCell, "a=b", "a=b"},
        // A spreadsheet that splits on ';' starts a cell after each one.
        {"csv semicolon", CsvCell, "a;b", "\"a;b\""},
        {"csv formula after semicolon", CsvCell, "x;=1+2;-3;@A1;ok", "\"x;'=1+2;'-3;'@A1;ok\""},
        {"csv formula at start and after semicolon", CsvCell, "=1;+2", "\"'=1;'+2\""},
        // A spreadsheet obeys a bidirectional control too, in a file as well.
        {"csv bidi override", CsvCell, "gpj\xe2\x80\xae" "exe.x", "gpj?exe.x"},
        {"csv bidi isolate then formula", CsvCell, "\xe2\x81\xa6=1;\xe2\x81\xa9", "\"?=1;?\""},
        // C0, DEL and C1 (raw and as UTF-8) cannot reach a terminal; other text stays.
        {"terminal controls", TerminalSafe, "a\x1b]0;x\x07" "b\x7f\x9b" "c\xc2\x9b" "d\xc2\xa0\xe6\x94\x9d\xe9",
         "a?]0;x?b??c?d\xc2\xa0\xe6\x94\x9d\xe9"},
        {"terminal bidi controls", TerminalSafe,
         "1\xe2\x80\xab" "2\xe2\x80\xac" "3\xe2\x81\xa7" "4\xe2\x81\xa8" "5\xe2\x80\xa9", "1?2?3?4?5\xe2\x80\xa9"},
        // Cut short, it is not a control (and not valid UTF-8): left to the other rules.
        {"terminal truncated bidi", TerminalSafe, "x\xe2\x80", "x\xe2?"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.escape(row.in), row.out);
    }
}

// --verbose lines quote camera text (fault reasons, names): the stderr sink
// filters them, whichever caller wrote the line, and keeps our own indent.
TEST(OutputText, DiagnosticsReachStderrTerminalSafe) {
    FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    SetDiagnosticSink(StreamDiagnosticSink(stream));
    Diagnostic("\tONVIF fault from %s: %s", "10.0.0.5", "\x1b]0;owned\x07 \xc2\x9b" "2J \xe2\x80\xae" "gpj.exe");
    SetDiagnosticSink({});
    std::rewind(stream);
    char buf[256] = {};
    const std::size_t n = std::fread(buf, 1, sizeof buf - 1, stream);
    std::fclose(stream);
    EXPECT_EQ(std::string(buf, n), "\tONVIF fault from 10.0.0.5: ?]0;owned? ?2J ?gpj.exe\n");
}

TEST(DiscoveredCameraWriter, SortedTypedOneCameraPerLineOrObject) {
    DiscoveredCamera cams[3];
    std::memset(static_cast<void*>(cams), 0, sizeof cams);
    SetField(cams[0].IpText, "10.0.0.10");  // sorts after .9 by value, not by text
    SetField(cams[0].PortText, "8080");
    SetField(cams[0].DescInterface, "OV/100\nW/wireless");
    SetField(cams[0].SerialNo, "=cmd|' /C calc'!A0");
    SetField(cams[1].IpText, "10.0.0.9");
    SetField(cams[1].PortText, "x");
    SetField(cams[1].SportText, "-1");
    SetField(cams[1].DescInterface, "noslash");
    SetField(cams[1].SerialNo, "a\x1b[2Jb");
    SetField(cams[2].IpText, "not an address");

    EXPECT_EQ(DiscoveredCameraWriter::Write(RecordFormat::Json, cams, 0), "[]\n");
    EXPECT_EQ(DiscoveredCameraWriter::Write(RecordFormat::Json, cams, 3),
              "[\n"
              "  {\"ip\": \"10.0.0.9\", \"mac\": \"\", \"port\": null, \"model\": \"noslash\", \"interface\": \"\", "
              "\"serial\": \"a\\u001b[2Jb\", \"second_port\": -1, \"mask\": \"\"},\n"
              "  {\"ip\": \"10.0.0.10\", \"mac\": \"\", \"port\": 8080, \"model\": \"OV/100\\u000aW\", "
              "\"interface\": \"wireless\", \"serial\": \"=cmd|' /C calc'!A0\", \"second_port\": null, \"mask\": \"\"},\n"
              "  {\"ip\": \"not an address\", \"mac\": \"\", \"port\": null, \"model\": \"\", \"interface\": \"\", "
              "\"serial\": \"\", \"second_port\": null, \"mask\": \"\"}\n"
              "]\n");
    EXPECT_EQ(DiscoveredCameraWriter::Write(RecordFormat::Csv, cams, 2),
              "ip,mac,port,model,interface,serial,second_port,mask\n"
              "10.0.0.9,,,noslash,,a\x1b[2Jb,-1,\n"
              "10.0.0.10,,8080,\"OV/100\nW\",wireless,\"'=cmd|' /C calc'!A0\",,\n");
    // On a terminal the escape goes from CSV too.
    EXPECT_EQ(DiscoveredCameraWriter::Write(RecordFormat::Csv, cams, 2, true).find('\x1b'), std::string::npos);
    const std::string text = DiscoveredCameraWriter::Write(RecordFormat::Text, cams, 3);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
    EXPECT_NE(text.find("a\\x1B[2Jb"), std::string::npos);

    RecordFormat f;
    EXPECT_TRUE(DiscoveredCameraWriter::ParseFormat("csv", f));
    EXPECT_EQ(f, RecordFormat::Csv);
    EXPECT_FALSE(DiscoveredCameraWriter::ParseFormat("JSON", f));
}

// Both kinds in one listing: each JSON object reads as its kind's own
// listing plus `kind` (no keys of the other kind), CSV and text share one
// header. Catches the native objects changing shape, an ONVIF row's camera
// text escaped differently, and rows of one kind sorted into the other.
TEST(DiscoveredCameraWriter, BothKindsInOneListing) {
    DiscoveredCamera ours[1];
    std::memset(static_cast<void*>(ours), 0, sizeof ours);
    SetField(ours[0].IpText, "10.0.0.9");
    SetField(ours[0].DescInterface, "OV/wired");
    onvif::DiscoveredOnvifDevice far, near;
    far.endpoint = "urn:uuid:f";
    far.replyFrom = 0xC0A80707;  // 192.168.7.7, a foreign subnet: listed
    far.xaddrs = {"http://192.168.7.7/onvif/device_service", "http://[fe80::1]/onvif/device_service"};
    far.name = "Gate \"North\"";
    far.interfaceName = "eth1";
    far.routed = true;  // heard through a router: the column says so
    near.endpoint = "urn:uuid:n";
    near.replyFrom = 0x0A000005;
    near.hardware = "a\x1b[2J";
    const std::vector<std::pair<std::string, output::OutputTable>> kinds = {
        {"native", DiscoveredCameraWriter::Table(ours, 1)}, {"onvif", onvif::OnvifDeviceTable({far, near})}};
    EXPECT_EQ(output::WriteTable(RecordFormat::Json, output::KindTable(kinds)),
              "[\n"
              "  {\"kind\": \"native\", \"ip\": \"10.0.0.9\", \"mac\": \"\", \"port\": null, \"model\": \"OV\", "
              "\"interface\": \"wired\", \"serial\": \"\", \"second_port\": null, \"mask\": \"\"},\n"
              "  {\"kind\": \"onvif\", \"interface\": \"\", \"uuid\": \"urn:uuid:n\", \"address\": \"10.0.0.5\", "
              "\"xaddrs\": \"\", \"name\": \"\", \"hardware\": \"a\\u001b[2J\", \"routed\": 0},\n"
              "  {\"kind\": \"onvif\", \"interface\": \"eth1\", \"uuid\": \"urn:uuid:f\", \"address\": \"192.168.7.7\", "
              "\"xaddrs\": \"http://192.168.7.7/onvif/device_service http://[fe80::1]/onvif/device_service\", "
              "\"name\": \"Gate \\\"North\\\"\", \"hardware\": \"\", \"routed\": 1}\n"
              "]\n");
    EXPECT_EQ(output::WriteTable(RecordFormat::Csv, output::KindTable(kinds)),
              "kind,ip,mac,port,model,interface,serial,second_port,mask,uuid,address,xaddrs,name,hardware,routed\n"
              "native,10.0.0.9,,,OV,wired,,,,,,,,,\n"
              "onvif,,,,,,,,,urn:uuid:n,10.0.0.5,,,a\x1b[2J,0\n"
              "onvif,,,,,eth1,,,,urn:uuid:f,192.168.7.7,"
              "http://192.168.7.7/onvif/device_service http://[fe80::1]/onvif/device_service,\"Gate \"\"North\"\"\",,1\n");
    // One kind alone: its own columns after `kind`, nothing else.
    EXPECT_EQ(output::WriteTable(RecordFormat::Csv, output::KindTable({kinds[0]})),
              "kind,ip,mac,port,model,interface,serial,second_port,mask\nnative,10.0.0.9,,,OV,wired,,,\n");
}

}  // namespace
