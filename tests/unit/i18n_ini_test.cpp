// The INI reader and writer against files as other editors save them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "core/i18n/IniDocument.h"
#include "core/i18n/IniFile.h"
#include "core/i18n/TextEncoding.h"

namespace orvanta {
namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/ova-ini-XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        dir_ = templ;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    std::string WriteBytes(const std::string& name, const std::string& bytes) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string dir_;
};

TEST_F(IniFileTest, ReadsEveryEncodingAsUtf8) {
    const std::string text = "[Common]\r\nBtnNext=N\xC3\xA4" "chste \xE2\x82\xAC\r\n";  // "Nächste €"
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        // The usual save format of non-Latin language files.
        {"utf16le-bom", "\xFF\xFE" + Utf8ToUtf16(text, false)},
        {"utf16be-bom", "\xFE\xFF" + Utf8ToUtf16(text, true)},
        {"utf8-bom", "\xEF\xBB\xBF" + text},
        {"utf8", text},
        // 8-bit code-page text: 0xE4 is a Latin-1 letter, 0x80 the euro sign
        // that only Windows-1252 has.
        {"cp1252", "[Common]\r\nBtnNext=N\xE4" "chste \x80\r\n"},
    };
    for (const Case& c : cases) {
        const std::string path = WriteBytes(c.what, c.bytes);
        EXPECT_EQ(ReadIniString(path, "Common", "BtnNext"), "N\xC3\xA4" "chste \xE2\x82\xAC") << c.what;
    }
}

TEST_F(IniFileTest, LookupRules) {
    const IniDocument doc = IniDocument::Parse(
        "orphan=before any section\n"
        "[FirstPage]\n"
        "  Btn_About  =  About  \n"
        "Quoted=\"  keep blanks  \"\n"
        "Half=\"open only\n"
        "Empty=\n"
        "NoEquals\n"
        "; Commented=yes\n"
        "[broken header\n"
        "AfterBroken=still first page\n"
        "[firstpage]\n"
        "Btn_About=second section\n"
        "Late=only in the duplicate\n"
        "[ Spaced ]\n"
        "a=b=c\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"FirstPage", "Btn_About", "About"},        // blanks around key and value trimmed
        {"FIRSTPAGE", "btn_about", "About"},        // names without regard to case; first section wins
        {"FirstPage", "Quoted", "  keep blanks  "}, // quotes removed, blanks inside kept
        {"FirstPage", "Half", "\"open only"},       // a lone quote is part of the value
        {"FirstPage", "Empty", ""},
        {"FirstPage", "NoEquals", ""},
        {"FirstPage", "; Commented", ""},           // comment lines are not keys
        {"FirstPage", "AfterBroken", "still first page"},  // '[' without ']' does not end a section
        {"FirstPage", "Late", ""},                  // only the first same-named section is searched
        {"Spaced", "a", "b=c"},                     // value runs from the first '='
        {"FirstPage", "Missing", ""},
        {"NoSuchSection", "Btn_About", ""},
        {"", "orphan", ""},                         // keys before any section belong to none
    };
    for (const Case& c : cases) {
        EXPECT_EQ(doc.Get(c.section, c.key), c.expected) << "[" << c.section << "] " << c.key;
    }
    EXPECT_TRUE(doc.Has("FirstPage", "Empty"));
    EXPECT_FALSE(doc.Has("FirstPage", "Missing"));
}

TEST_F(IniFileTest, CapacityCutsCharactersNotBytes) {
    // Five Chinese characters, three bytes each in UTF-8.
    const std::string chinese = "\xE8\xA8\xAD\xE5\xAE\x9A\xE6\x94\x9D\xE5\xBD\xB1\xE6\xA9\x9F";
    const std::string path = WriteBytes("cut.ini", "\xFF\xFE" + Utf8ToUtf16("[S]\r\nK=" + chinese + "\r\n", false));
    struct Case {
        std::size_t capacity;
        std::string expected;
    } cases[] = {
        {0, ""},                      // no room at all
        {1, ""},                      // room for the terminator only
        {3, chinese.substr(0, 6)},    // two characters, not two bytes
        {5, chinese.substr(0, 12)},
        {6, chinese},                 // exact fit
        {260, chinese},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadIniString(path, "S", "K", c.capacity), c.expected) << c.capacity;
}

TEST_F(IniFileTest, MissingFileGivesEmpty) {
    EXPECT_EQ(ReadIniString(dir_ + "/none.ini", "DefaultLang", "LangFile"), "");
    EXPECT_EQ(ReadIniString(dir_, "DefaultLang", "LangFile"), "");  // a folder, not a file
}

TEST_F(IniFileTest, WriteCreatesUtf8FileWithoutBom) {
    const std::string path = dir_ + "/defaultlang.ini";
    ASSERT_TRUE(WriteIniString(path, "DefaultLang", "LangFile", "English (ENG).ini"));
    EXPECT_EQ(ReadBytes(path), "[DefaultLang]\nLangFile=English (ENG).ini\n");
    ASSERT_TRUE(WriteIniString(path, "DefaultLang", "LangFile", "\xE4\xB8\xAD (CHT).ini"));
    EXPECT_EQ(ReadBytes(path), "[DefaultLang]\nLangFile=\xE4\xB8\xAD (CHT).ini\n");
    // Stray bytes in a value must not turn the UTF-8 file into code-page
    // text, which would garble every other line on the next read.
    ASSERT_TRUE(WriteIniString(path, "DefaultLang", "Bad", "x\xFFy"));
    EXPECT_EQ(ReadIniString(path, "DefaultLang", "LangFile"), "\xE4\xB8\xAD (CHT).ini");
    EXPECT_EQ(ReadIniString(path, "DefaultLang", "Bad"), "x\xEF\xBF\xBDy");
}

TEST_F(IniFileTest, WriteKeepsTheRestOfTheFile) {
    const std::string path = WriteBytes("keep.ini",
                                        "; chosen at first start\r\n[defaultlang]\r\nlangfile = Old.ini\r\n"
                                        "Other=1\r\n\r\n[Next]\r\nX=y");
    ASSERT_TRUE(WriteIniString(path, "DefaultLang", "LangFile", "New.ini"));
    ASSERT_TRUE(WriteIniString(path, "DefaultLang", "Added", "2"));
    ASSERT_TRUE(WriteIniString(path, "Next", "Z", "3"));
    ASSERT_TRUE(WriteIniString(path, "Fresh", "K", "v"));
    EXPECT_EQ(ReadBytes(path),
              "; chosen at first start\r\n[defaultlang]\r\nlangfile=New.ini\r\nOther=1\r\nAdded=2\r\n\r\n"
              "[Next]\r\nX=y\r\nZ=3\r\n\r\n[Fresh]\r\nK=v\r\n");
}

TEST_F(IniFileTest, WriteKeepsUtf16Encoding) {
    const std::string path =
        WriteBytes("u16.ini", "\xFF\xFE" + Utf8ToUtf16("[A]\r\nK=\xE7\xB9\x81\r\n[DefaultLang]\r\n", false));
    ASSERT_TRUE(WriteIniString(path, "DefaultLang", "LangFile", "\xE7\xB9\x81\xE9\xAB\x94 (CHT).ini"));
    const std::string bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Utf16ToUtf8(bytes.substr(2), false),
              "[A]\r\nK=\xE7\xB9\x81\r\n[DefaultLang]\r\nLangFile=\xE7\xB9\x81\xE9\xAB\x94 (CHT).ini\r\n");
}

TEST_F(IniFileTest, WriteKeepsCodePageAndNeverLosesText) {
    const std::string path = WriteBytes("cp.ini", "[A]\nK=Caf\xE9\n");
    ASSERT_TRUE(WriteIniString(path, "A", "E", "\xE2\x82\xAC"));  // the euro sign fits the code page
    EXPECT_EQ(ReadBytes(path), "[A]\nK=Caf\xE9\nE=\x80\n");
    // A character outside the code page: the file turns UTF-8 (marked) rather
    // than storing '?' and losing the character.
    ASSERT_TRUE(WriteIniString(path, "A", "C", "\xE4\xB8\xAD"));
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF[A]\nK=Caf\xC3\xA9\nE=\xE2\x82\xAC\nC=\xE4\xB8\xAD\n");
    EXPECT_EQ(ReadIniString(path, "A", "K"), "Caf\xC3\xA9");
}

TEST_F(IniFileTest, WriteRefusesWhatWouldBreakTheFile) {
    const std::string original = "[DefaultLang]\nLangFile=English (ENG).ini\n";
    const std::string path = WriteBytes("safe.ini", original);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"DefaultLang", "LangFile", "x.ini\n[DefaultLang]\nLangFile=evil"},  // value injecting lines
        {"DefaultLang", "LangFile", "x\r"},
        {"DefaultLang", "Lang=File", "x"},   // '=' would split the key
        {"DefaultLang", "", "x"},
        {"Default]Lang", "LangFile", "x"},   // ']' would end the header early
        {"DefaultLang", "; LangFile", "x"},  // would be read back as a comment
    };
    for (const Case& c : cases) EXPECT_FALSE(WriteIniString(path, c.section, c.key, c.value)) << c.key;
    EXPECT_EQ(ReadBytes(path), original);
    // A path that exists but is no readable file is not replaced.
    ::mkdir((dir_ + "/sub.ini").c_str(), 0755);
    EXPECT_FALSE(WriteIniString(dir_ + "/sub.ini", "A", "B", "C"));
    EXPECT_FALSE(WriteIniString(dir_ + "/no/such/folder.ini", "A", "B", "C"));
}

TEST(TextEncodingTest, MalformedInputBecomesValidUtf8) {
    struct Case {
        const char* what;
        std::string out;
    } cases[] = {
        {"lone high surrogate", Utf16ToUtf8(std::string("\x00\xD8" "A\x00", 4), false)},
        {"lone low surrogate", Utf16ToUtf8(std::string("\x00\xDC", 2), false)},
        {"odd byte count", Utf16ToUtf8(std::string("A\x00" "B", 3), false)},
        {"overlong slash", SanitizeUtf8("\xC0\xAF")},
        {"cut sequence", SanitizeUtf8("abc\xE4\xB8")},
        {"encoded surrogate", SanitizeUtf8("\xED\xA0\x80")},
    };
    for (const Case& c : cases) EXPECT_TRUE(IsValidUtf8(c.out)) << c.what;
    EXPECT_EQ(Utf16ToUtf8(std::string("\x3D\xD8\x00\xDE", 4), false), "\xF0\x9F\x98\x80");  // a pair
}

}  // namespace
}  // namespace orvanta
