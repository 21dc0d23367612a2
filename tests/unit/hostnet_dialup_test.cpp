// Dial-up credentials from pppd's peers folder and secrets files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "FakeHostNetwork.h"
#include "core/hostnet/DialUpCredentials.h"
#include "core/hostnet/PppPeers.h"
#include "core/settings/FixedField.h"

namespace orvanta::hostnet {
namespace {

namespace fs = std::filesystem;

struct PppFolder : ::testing::Test {
    fs::path root;
    PppPaths paths;

    void SetUp() override {
        char dir[] = "/tmp/ovh_pppXXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        root = dir;
        fs::create_directory(root / "peers");
        paths.peersDir = root / "peers";
        paths.papSecrets = root / "pap-secrets";
        paths.chapSecrets = root / "chap-secrets";
    }
    void TearDown() override { fs::remove_all(root); }
    void Write(const fs::path& p, const std::string& text) { std::ofstream(p) << text; }

    // What the start-up step stores, through a network whose dial-up account
    // is read from this folder.
    CameraSettings Stored() {
        FakeHostNetwork net;
        net.dialUp = ReadFirstPppAccount(paths);
        CameraSettings s;
        ReadDialUpCredentials(s, net);
        return s;
    }
};

TEST_F(PppFolder, FirstPeerInNameOrderWithItsSecret) {
    Write(root / "peers" / "zeta", "user zuser\n");
    Write(root / "peers" / "alpha", "# provider\nplugin rp-pppoe.so eth0\nuser \"ann smith\"  # the account\nnoauth\n");
    Write(root / "peers" / "mid", "user muser\n");
    Write(paths.papSecrets, "# client server secret\nzuser * zpw\n\"ann smith\" * \"s3cret pw\"\n");
    const CameraSettings s = Stored();
    EXPECT_EQ(FieldText(s.DialUser), "ann smith");
    EXPECT_EQ(FieldText(s.DialPassword), "s3cret pw");
}

TEST_F(PppFolder, SecretFromChapWhenPapHasNone) {
    Write(root / "peers" / "dsl", "user bob\n");
    Write(paths.papSecrets, "other * x\n");
    Write(paths.chapSecrets, "bob * chapsecret *\n");
    EXPECT_EQ(FieldText(Stored().DialPassword), "chapsecret");
}

TEST_F(PppFolder, UnreadableSecretsLeavePasswordEmpty) {
    Write(root / "peers" / "dsl", "user bob\n");
    // A directory in place of the file: unreadable even for root, unlike a
    // chmod 000 file.
    fs::create_directory(paths.papSecrets);
    Write(paths.chapSecrets, "bob * pw\n");
    chmod(paths.chapSecrets.c_str(), 0);
    CameraSettings s = Stored();
    EXPECT_EQ(FieldText(s.DialUser), "bob");
    if (geteuid() != 0) EXPECT_EQ(FieldText(s.DialPassword), "");
    fs::remove(paths.chapSecrets);
    s = Stored();
    EXPECT_EQ(FieldText(s.DialUser), "bob");
    EXPECT_EQ(FieldText(s.DialPassword), "");
}

TEST_F(PppFolder, LongNameCutTo63AtCharacterBoundary) {
    Write(root / "peers" / "dsl", "user " + std::string(80, 'u') + "\n");
    EXPECT_EQ(FieldText(Stored().DialUser), std::string(63, 'u'));
    // 62 ASCII bytes then a two-byte character: the character does not fit
    // whole, so it is left out rather than split.
    Write(root / "peers" / "dsl", "user " + std::string(62, 'u') + "\xc3\xa9xyz\n");
    EXPECT_EQ(FieldText(Stored().DialUser), std::string(62, 'u'));
}

TEST_F(PppFolder, NoPeersLeavesFieldsAlone) {
    Write(root / "peers" / ".hidden", "user ghost\n");
    Write(root / "peers" / "old~", "user ghost\n");
    FakeHostNetwork net;
    net.dialUp = ReadFirstPppAccount(paths);
    EXPECT_FALSE(net.dialUp.found);
    CameraSettings s;
    SetField(s.DialUser, "kept");
    ReadDialUpCredentials(s, net);
    EXPECT_EQ(FieldText(s.DialUser), "kept");
}

}  // namespace
}  // namespace orvanta::hostnet
