// The handover report: what a camera says cannot become markup in it, the
// file needs nothing beside it, and a plan run's printed result reads back
// into its rows.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "core/http/Base64.h"
#include "core/report/HandoverReport.h"
#include "core/report/PlanResultReader.h"
#include "core/report/ReportReading.h"

namespace orvanta::report {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Every field a camera or a plan fills carries markup; none of it may reach
// the document as markup, in text or in an attribute.
TEST(HandoverReport, CameraTextNeverBecomesMarkup) {
    const std::string evil = "<script>alert(\"x\")</script>";
    ReportCamera c;
    c.kind = "ONVIF";
    c.address = "10.0.0.5";
    c.hostname = "cam\"><img src=x onerror=alert(1)>";
    c.maker = evil;
    c.model = "M&M's <b>";
    c.firmware = "1.0\r\n<hr>";
    c.serial = "S'1";
    c.streams = {"rtsp://10.0.0.5/</code><script>"};
    c.status = "done";
    c.changes = {"hostname: a \u2192 <i>b</i>"};
    c.note = "</td></tr></table><script>";
    c.jpeg = "\xFF\xD8 picture \xFF\xD9";
    ReportHeading h;
    h.title = "Site <script>";
    h.site = "Shop & \"Co\"";
    const std::string html = WriteHandoverReport(h, {c});

    EXPECT_EQ(Count(html, "<script"), 0u) << html;
    EXPECT_EQ(Count(html, "<img"), 1u);            // our picture, and only ours
    EXPECT_EQ(Count(html, "<table>"), 1u);
    EXPECT_EQ(Count(html, "</table>"), 1u);
    EXPECT_EQ(Count(html, "<tr>"), 2u);            // the heading's row and the camera's
    EXPECT_NE(html.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("cam&quot;&gt;&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
    EXPECT_NE(html.find("M&amp;M&#39;s &lt;b&gt;"), std::string::npos);
    EXPECT_NE(html.find("1.0  &lt;hr&gt;"), std::string::npos);  // line ends read as spaces
    EXPECT_NE(html.find("Shop &amp; &quot;Co&quot;"), std::string::npos);
    EXPECT_NE(html.find("<title>Site &lt;script&gt;</title>"), std::string::npos);
}

// One file: no script, nothing fetched, the picture inline; a picture too
// large for a report is named instead.
TEST(HandoverReport, SelfContainedWithInlinePictures) {
    ReportCamera small, large, none;
    small.address = "10.0.0.1";
    small.jpeg = std::string("\xFF\xD8\x00\x01\x02\xFF\xD9", 7);
    large.address = "10.0.0.2";
    large.jpeg = std::string(kMaxReportPictureBytes + 1, 'x');
    none.address = "10.0.0.3";
    none.noPicture = "the camera gives no snapshot address";
    const std::string html = WriteHandoverReport({}, {small, large, none});

    std::smatch m;
    ASSERT_TRUE(std::regex_search(html, m, std::regex("src=\"data:image/jpeg;base64,([A-Za-z0-9+/=]+)\"")));
    EXPECT_EQ(Base64Decode(m[1].str()), small.jpeg);
    EXPECT_EQ(Count(html, "src="), 1u);
    EXPECT_EQ(Count(html, "href"), 0u);
    EXPECT_EQ(Count(html, "url("), 0u);
    EXPECT_EQ(Count(html, "@import"), 0u);
    EXPECT_NE(html.find("default-src 'none'"), std::string::npos);
    EXPECT_NE(html.find("too large for the report"), std::string::npos);
    EXPECT_NE(html.find("the camera gives no snapshot address"), std::string::npos);
    EXPECT_NE(html.find("3 cameras"), std::string::npos);
    EXPECT_LT(html.size(), 8000u);  // the large picture is not in it
}

// What provision printed reads back as the report's rows; anything else is
// refused with a reason.
TEST(HandoverReport, PlanResultsReadBack) {
    const struct {
        const char* what;
        std::string text;
        bool ok;
        std::size_t rows;
    } cases[] = {
        {"the JSON of a run",
         R"([{"camera": "SN-1", "mac": "02:00:00:00:00:01", "serial": "SN-1", "status": "done", "old_address": "10.0.0.9",)"
         R"( "new_address": "10.0.0.20", "seconds": 3.2, "detail": "", "kind": "onvif",)"
         R"( "changes": "hostname: cam \u2192 gate-1; ipv4: 10.0.0.9/24 \u2192 10.0.0.20/24", "finished": "2026-12-08T19:00:00Z"},)"
         R"( {"camera": "10.0.0.30", "mac": "", "serial": "", "status": "unreachable", "old_address": "10.0.0.30",)"
         R"( "new_address": "", "seconds": 9.0, "detail": "no answer", "kind": "native", "changes": "", "finished": ""}])",
         true, 2},
        {"the CSV of a run",
         "camera,mac,serial,status,old_address,new_address,seconds,detail,kind,changes,finished\n"
         "SN-1,02:00:00:00:00:01,SN-1,done,10.0.0.9,10.0.0.20,3.2,,onvif,hostname: cam \u2192 gate-1; "
         "ipv4: 10.0.0.9/24 \u2192 10.0.0.20/24,2026-12-08T19:00:00Z\n",
         true, 1},
        {"a plan, not its result", R"([{"mac": "02:00:00:00:00:01", "ipv4.address": "10.0.0.20"}])", false, 0},
        {"the error a failed run printed", R"({"error": {"exit_code": 2, "message": "bad plan"}})", false, 0},
        {"an empty run", "[]", false, 0},
        {"not JSON at all", "[{", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ReportCamera> rows;
        std::string why;
        ASSERT_EQ(ReadPlanResult(c.text, rows, why), c.ok) << why;
        if (!c.ok) {
            EXPECT_FALSE(why.empty());
            continue;
        }
        ASSERT_EQ(rows.size(), c.rows);
        EXPECT_EQ(rows[0].kind, "ONVIF");
        EXPECT_EQ(rows[0].address, "10.0.0.20");  // where the camera is now
        EXPECT_EQ(rows[0].status, "done");
        EXPECT_EQ(rows[0].changes,
                  (std::vector<std::string>{"hostname: cam \u2192 gate-1", "ipv4: 10.0.0.9/24 \u2192 10.0.0.20/24"}));
        EXPECT_EQ(rows[0].when, "2026-12-08T19:00:00Z");
        if (c.rows < 2) continue;
        EXPECT_EQ(rows[1].kind, "ours");
        EXPECT_EQ(rows[1].address, "10.0.0.30");  // it never moved
        EXPECT_EQ(rows[1].note, "no answer");
        EXPECT_TRUE(rows[1].changes.empty());
    }
}

// The window's plan dialog reports straight from the provisioner's rows:
// the same kind, place, changes and time as the printed result gives.
TEST(HandoverReport, RowsOfARunInThePlansOrder) {
    provision::Plan plan;
    plan.rows.resize(3);
    plan.rows[0].kind = provision::CameraKind::Onvif;
    std::vector<provision::RowResult> results(3);
    results[0].camera = "urn:uuid:1";
    results[0].status = provision::RowStatus::Done;
    results[0].oldAddress = "10.0.0.9";
    results[0].newAddress = "10.0.0.20";
    results[0].changes = {{"hostname", "cam", "<gate>"}};
    results[0].finished = std::chrono::system_clock::from_time_t(1796724000);  // 2026-12-08T10:00:00Z
    results[1].camera = "SN-2";
    results[1].status = provision::RowStatus::Unchanged;
    results[1].oldAddress = "10.0.0.30";
    results[2].camera = "02:00:00:00:00:03";  // never found: its name is all there is
    results[2].status = provision::RowStatus::NotFound;
    results[2].detail = "no answer";
    const std::vector<ReportCamera> rows = RowsOfPlanRun(plan, results);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].kind, "ONVIF");
    EXPECT_EQ(rows[0].address, "10.0.0.20");
    EXPECT_EQ(rows[0].changes, std::vector<std::string>{"hostname: cam \u2192 <gate>"});
    EXPECT_EQ(rows[0].when, "2026-12-08T10:00:00Z");
    EXPECT_EQ(rows[0].status, "done");
    EXPECT_EQ(rows[1].kind, "ours");
    EXPECT_EQ(rows[1].address, "10.0.0.30");
    EXPECT_EQ(rows[1].when, "");  // no time recorded, none made up
    EXPECT_EQ(rows[2].address, "02:00:00:00:00:03");
    EXPECT_EQ(rows[2].note, "no answer");
    // And the camera's markup in a change stays text in the document.
    const std::string html = WriteHandoverReport({}, rows);
    EXPECT_NE(html.find("hostname: cam \u2192 &lt;gate&gt;"), std::string::npos);
}

}  // namespace
}  // namespace orvanta::report
