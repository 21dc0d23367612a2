// Profiles, encoder options and user accounts: replies shaped as cameras
// send them read into values, a stream change judged against what a camera
// offers (the refusal naming what it does offer), and the rules that keep
// a camera administrable after its user list changed.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/http/HttpReply.h"
#include "core/onvif/device/ChangeCheck.h"
#include "core/onvif/device/MediaReplies.h"
#include "core/onvif/device/StreamCheck.h"
#include "core/onvif/device/UserAccounts.h"
#include "core/onvif/soap/SoapReply.h"

namespace orvanta::onvif {
namespace {


SoapReply ReplyOf(const std::string& file) {
    std::ifstream in(std::string(ORVANTA_SOURCE_DIR) + "/tests/fixtures/onvif/" + file, std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    HttpReply http;
    EXPECT_EQ(ParseHttpReply(raw, http), HttpReplyState::Ok) << file;
    SoapReply reply;
    EXPECT_TRUE(ReadSoapReply(http.body, reply).ok()) << file;
    return reply;
}

TEST(OnvifMediaReplies, ProfilesAndOptionsAsCamerasSendThem) {
    {
        // Media2: float frame rate, GOP as attribute, a profile with no encoder.
        const SoapReply r = ReplyOf("media2-profiles-video-encoder.http");
        std::vector<OnvifProfile> profiles;
        ASSERT_TRUE(ReadProfiles(r.body, profiles, true));
        ASSERT_EQ(profiles.size(), 2u);
        ASSERT_TRUE(profiles[0].encoder);
        const OnvifVideoEncoder& e = *profiles[0].encoder;
        EXPECT_EQ(EncoderText(e), "H265 2592x1944 25 fps 8192 kbit/s GOP 50 quality 3");
        EXPECT_EQ(e.token, "VideoEncoderToken_1");
        // What a change must send back untouched.
        EXPECT_EQ(e.multicastAddress + ":" + std::to_string(e.multicastPort) + "/" + std::to_string(e.multicastTtl),
                  "239.0.0.1:8860/128");
        EXPECT_FALSE(profiles[1].encoder);
        // Read as Media (ver10) the same reply is not its response.
        EXPECT_FALSE(ReadProfiles(r.body, profiles, false));
    }
    const struct {
        const char* file;
        bool media2;
        const char* encodings;     // what the options offer, in order
        const char* h264;          // resolutions | frame rates or range | bitrate | GOP of H264
        double qualityMax;
    } cases[] = {
        // Media: ranges, the bitrate only in the Extension.
        {"media1-encoder-options-extension.http", false, "H264 JPEG", "1920x1080 1280x720 | 1-25 | 32-16384 | 1-400", 6},
        // Media2: one element per encoding, lists in attributes; 12.5 fps is
        // offered as 13 (whole frame rates are what is set).
        {"media2-encoder-options-lists.http", true, "H264 H265", "2592x1944 1280x720 | 25 20 15 10 5 | 256-16384 | 1-250", 100},
        // Nothing offered at all.
        {"media2-encoder-options-empty.http", true, "", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const SoapReply r = ReplyOf(c.file);
        OnvifEncoderOptions o;
        ASSERT_TRUE(ReadEncoderOptions(r.body, o, c.media2));
        std::string encodings, h264;
        for (const OnvifEncodingOptions& e : o.encodings) {
            encodings += (encodings.empty() ? "" : " ") + e.encoding;
            if (e.encoding != "H264") continue;
            for (const auto& [w, h] : e.resolutions) h264 += ResolutionText(w, h) + " ";
            h264 += "|";
            if (e.frameRates.empty()) h264 += " " + std::to_string(e.frameRateRange.min) + "-" + std::to_string(e.frameRateRange.max);
            for (const int f : e.frameRates) h264 += " " + std::to_string(f);
            h264 += " | " + std::to_string(e.bitrateKbps.min) + "-" + std::to_string(e.bitrateKbps.max) + " | " +
                    std::to_string(e.gop.min) + "-" + std::to_string(e.gop.max);
        }
        EXPECT_EQ(encodings, c.encodings);
        EXPECT_EQ(h264, c.h264);
        EXPECT_EQ(o.qualityMax, c.qualityMax);
        EXPECT_EQ(o.Empty(), std::string(c.encodings).empty());
    }
}

OnvifEncoderOptions Offered() {
    OnvifEncoderOptions o;
    o.encodings = {{"H264", {{2592, 1944}, {1280, 720}, {640, 360}}, {}, {1, 30}, {64, 16384}, {1, 250}},
                   {"H265", {{2592, 1944}}, {25, 15, 10}, {}, {64, 8192}, {1, 250}},
                   {"JPEG", {{640, 360}}, {}, {1, 15}, {}, {}}};
    o.qualityMin = 1;
    o.qualityMax = 10;
    return o;
}

OnvifVideoEncoder Main() {
    OnvifVideoEncoder e;
    e.token = "vec_1";
    e.encoding = "H264";
    e.width = 2592;
    e.height = 1944;
    e.fpsLimit = 25;
    e.bitrateKbps = 8192;
    e.gop = 50;
    e.quality = 5;
    return e;
}

TEST(OnvifStreamChanges, RefusedBeforeSendingNamingWhatIsOffered) {
    const auto change = [](auto fill) {
        OnvifStreamChange c;
        c.profile = "1";
        fill(c);
        return c;
    };
    const struct {
        const char* what;
        OnvifStreamChange change;
        const char* why;        // empty: taken
        const char* result;     // EncoderText of what is sent, when taken
    } cases[] = {
        {"the sentence an installer reads", change([](auto& c) { c.resolution = std::pair{1920, 1080}; }),
         "1920x1080 is not offered; 2592x1944, 1280x720, 640x360 are", ""},
        {"a whole budget within the offer", change([](auto& c) {
             c.resolution = std::pair{1280, 720};
             c.fps = 15;
             c.bitrateKbps = 4096;
             c.gop = 30;
         }),
         "", "H264 1280x720 15 fps 4096 kbit/s GOP 30 quality 5"},
        {"a frame rate above the range", change([](auto& c) { c.fps = 60; }), "60 fps is not offered; 1 to 30 fps are", ""},
        {"a frame rate off Media2's list", change([](auto& c) {
             c.encoding = "H265";
             c.fps = 20;
         }),
         "20 fps is not offered; 25, 15, 10 are", ""},
        // The kept resolution must be offered by the new encoding too.
        {"an encoding whose sizes exclude the kept one", change([](auto& c) { c.encoding = "JPEG"; }),
         "2592x1944 is not offered; only 640x360 is", ""},
        {"an encoding not offered", change([](auto& c) { c.encoding = "MPEG4"; }), "MPEG4 is not offered; H264, H265, JPEG are", ""},
        {"a bitrate above the range", change([](auto& c) { c.bitrateKbps = 20000; }),
         "20000 kbit/s is not offered; 64 to 16384 kbit/s are", ""},
        {"GOP outside its range", change([](auto& c) { c.gop = 300; }), "GOP 300 is not offered; 1 to 250 are", ""},
        {"quality outside its range", change([](auto& c) { c.quality = 11; }), "quality 11 is not offered; 1 to 10 are", ""},
        // A camera's lower-case or dotted spelling is the same encoding; its own goes back.
        {"encoding spelt otherwise", change([](auto& c) { c.encoding = "h.265"; }), "",
         "H265 2592x1944 25 fps 8192 kbit/s GOP 50 quality 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OnvifVideoEncoder wanted;
        std::string why;
        const bool taken = PlanEncoder(Main(), Offered(), c.change, wanted, why);
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(taken, std::string(c.why).empty());
        if (taken) EXPECT_EQ(EncoderText(wanted), c.result);
    }
    // A camera that offers nothing gets nothing sent blind.
    OnvifStreamChange bitrate;
    bitrate.profile = "1";
    bitrate.bitrateKbps = 2048;
    OnvifVideoEncoder wanted;
    std::string why;
    EXPECT_FALSE(PlanEncoder(Main(), OnvifEncoderOptions{}, bitrate, wanted, why));
    EXPECT_NE(why.find("states no options"), std::string::npos) << why;

    // Read back: what the camera rounded or ignored is named.
    OnvifVideoEncoder actual = Main();
    actual.fpsLimit = 24.9;   // Media2's float, as good as 25
    actual.bitrateKbps = 4000;
    OnvifStreamChange asked;
    asked.fps = 25;
    asked.bitrateKbps = 4096;
    EXPECT_EQ(UnmetStreamFields(asked, actual), std::vector<std::string>{"bitrate"});
}

TEST(OnvifStreamChanges, ProfilesByTokenOrPlace) {
    std::vector<OnvifProfile> profiles(3);
    profiles[0].token = "Profile_1";
    profiles[1].token = "2";   // a token that is a number wins over the place
    profiles[2].token = "sub";
    std::string why;
    EXPECT_EQ(FindProfile(profiles, "sub", why), &profiles[2]);
    EXPECT_EQ(FindProfile(profiles, "1", why), &profiles[0]);
    EXPECT_EQ(FindProfile(profiles, "2", why), &profiles[1]);
    EXPECT_EQ(FindProfile(profiles, "3", why), &profiles[2]);
    EXPECT_EQ(FindProfile(profiles, "4", why), nullptr);
    EXPECT_EQ(why, "the camera has no profile '4'; its profiles are Profile_1, 2, sub (or 1 to 3)");
    EXPECT_EQ(FindProfile({}, "1", why), nullptr);
    EXPECT_EQ(why, "the camera lists no media profile");
    std::pair<int, int> r;
    EXPECT_TRUE(ParseResolution("1920x1080", r));
    EXPECT_TRUE(ParseResolution("640X360", r));
    for (const char* bad : {"1920", "x1080", "1920x", "1920x1080x2", "-1x5", "0x0", "99999999x1"})
        EXPECT_FALSE(ParseResolution(bad, r)) << bad;
}

TEST(OnvifUserChanges, TheCameraStaysAdministrable) {
    const std::vector<OnvifUser> users = {{"admin", "Administrator"}, {"viewer", "User"}, {"ops", "Administrator"}};
    using K = OnvifUserChange::Kind;
    const struct {
        const char* what;
        std::vector<OnvifUser> users;
        const char* login;
        std::vector<OnvifUserChange> changes;
        const char* why;       // empty: planned
        const char* steps;     // C(reate) S(et) D(elete) NAME, when planned
    } cases[] = {
        {"a new user", users, "admin", {{K::Add, "recorder", "Operator", "pw"}}, "", "C recorder"},
        // Run twice, a plan gives the same camera: the user is set, not added again.
        {"a user already there", users, "admin", {{K::Add, "viewer", "Operator", "pw"}}, "", "S viewer"},
        {"a password for a user", users, "admin", {{K::SetPassword, "viewer", "", "pw"}}, "", "S viewer"},
        {"the user logged in with", users, "admin", {{K::Remove, "admin", "", ""}},
         "admin is the user logged in with; it is not removed", ""},
        {"another administrator", users, "admin", {{K::Remove, "ops", "", ""}}, "", "D ops"},
        {"the last administrator", {{"admin", "Administrator"}, {"op", "Operator"}}, "op", {{K::Remove, "admin", "", ""}},
         "that would leave the camera without an administrator", ""},
        {"the last administrator stepping down", {{"admin", "Administrator"}, {"op", "Operator"}}, "op",
         {{K::Add, "admin", "User", "pw"}}, "that would leave the camera without an administrator", ""},
        {"a user the camera lacks", users, "admin", {{K::Remove, "ghost", "", ""}}, "the camera has no user ghost", ""},
        {"a level no one may be given", users, "admin", {{K::Add, "x", "Anonymous", "pw"}},
         "user level 'Anonymous' is not one of Administrator, Operator, User", ""},
        {"a name with a blank", users, "admin", {{K::Add, "a b", "User", "pw"}},
         "'a b' is not a user name (1 to 64 characters, no blanks)", ""},
        {"the login's own level", users, "admin", {{K::Add, "admin", "User", "pw"}},
         "the level of admin, the user logged in with, is not changed here", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<UserStep> steps;
        std::string why;
        const bool planned = PlanUserSteps(c.users, c.login, c.changes, steps, why);
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(planned, std::string(c.why).empty());
        std::string text;
        for (const UserStep& s : steps)
            text += std::string(s.call == UserStep::Call::Create ? "C " : s.call == UserStep::Call::Set ? "S " : "D ") + s.name;
        if (planned) EXPECT_EQ(text, c.steps);
    }
    // Read back by listing: what did not happen is named.
    EXPECT_EQ(UnmetUserChanges({{K::Add, "recorder", "Operator", "pw"}, {K::Remove, "viewer", "", ""}}, users),
              (std::vector<std::string>{"add_user recorder", "remove_user viewer"}));
    // A password never shows in what a dry run prints.
    OnvifChange change;
    change.users = {{K::Add, "recorder", "Operator", "s3cret"}, {K::SetPassword, "viewer", "", "s3cret"}};
    for (const FieldChange& f : PlannedChanges(OnvifDeviceState{}, change, "UTC0"))
        EXPECT_EQ((f.before + f.after).find("s3cret"), std::string::npos);
    std::string why;
    change.users = {{K::SetPassword, "viewer", "", ""}};
    EXPECT_FALSE(CheckChange(change, why));
}

}  // namespace
}  // namespace orvanta::onvif
