// Choosing the language file: the chooser's list and preselection, the
// locale code table, and the start-up and change steps on a scratch folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/i18n/IniFile.h"
#include "core/i18n/LanguagePaths.h"
#include "core/i18n/LanguageSelection.h"
#include "core/i18n/LanguageStrings.h"
#include "core/i18n/LocaleCodes.h"
#include "core/i18n/WizardMessages.h"

namespace orvanta {
namespace {

const std::string kChinese = "\xE7\xB9\x81\xE9\xAB\x94\xE4\xB8\xAD\xE6\x96\x87 (CHT)";  // 繁體中文 (CHT)

class LanguageFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/ova-lang-XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        exe_ = std::string(templ) + "/";
        ::mkdir((exe_ + "Language").c_str(), 0755);
        for (const char* var : {"ORVANTA_LANGUAGE_DIR", "ORVANTA_CONFIG_DIR", "XDG_CONFIG_HOME"}) ::unsetenv(var);
    }
    void TearDown() override { std::system(("rm -rf '" + exe_ + "'").c_str()); }

    void Touch(const std::string& relative, const std::string& contents = "") {
        std::ofstream(exe_ + relative, std::ios::binary) << contents;
    }
    std::string Stored() const { return ReadIniString(exe_ + "defaultlang.ini", "DefaultLang", "LangFile"); }

    // An askUser that records how often the dialog was shown.
    std::function<std::string()> Answer(std::string answer) {
        return [this, answer] {
            ++asked_;
            return answer;
        };
    }

    std::string exe_;
    int asked_ = 0;
};

TEST_F(LanguageFolderTest, ListsLanguageFilesSorted) {
    Touch("Language/English (ENG).ini");
    Touch("Language/" + kChinese + ".ini");
    Touch("Language/deutsch (DEU).ini");
    Touch("Language/Twice.ini.ini");      // keeps one ".ini"
    Touch("Language/x.initial.ini");     // only the final ".ini" goes
    Touch("Language/readme.txt");         // not a language file
    Touch("Language/.ini");               // no name left
    ::mkdir((exe_ + "Language/Folder.ini").c_str(), 0755);  // directories are skipped
    const std::vector<std::string> expected = {"deutsch (DEU)", "English (ENG)", "Twice.ini", "x.initial", kChinese};
    EXPECT_EQ(ListLanguageNames(exe_ + "Language/"), expected);
    // Read afresh each time: a file added in between shows up.
    Touch("Language/Agora (PTG).ini");
    EXPECT_EQ(ListLanguageNames(exe_ + "Language").front(), "Agora (PTG)");
    EXPECT_TRUE(ListLanguageNames(exe_ + "NoSuchFolder/").empty());
}

TEST(PreselectTest, Rules) {
    const std::vector<std::string> two = {"English (ENG)", kChinese};
    struct Case {
        std::vector<std::string> names;
        std::string user;
        int expected;
    } cases[] = {
        {two, "CHT", 1},                                          // the user's own code
        {two, "ENU", 0},                                          // no US file: the ENG fallback
        {two, "ENG", 0},
        {two, "", 0},                                             // unknown locale must not match every name
        {{}, "CHT", -1},                                          // empty folder: nothing selected
        {{"Deutsch (DEU)", "Nihongo (JPN)"}, "KOR", -1},          // neither own code nor ENG
        {{"English (ENG)", "English GB (ENG)", "Zz (X)"}, "FRA", 1},  // the last ENG entry stays
        {{"English (ENG)", "Francais (FRA)", "Z (ENG)"}, "FRA", 1},   // own code wins, even after ENG
        {{"English (ENG)", "Espanol (ESP)"}, "ESN", 1},           // another variant of the language
        {{"English (ENG)", "Notes (ESN draft)"}, "ESM", 0},       // only the code in parentheses counts
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PreselectLanguageIndex(c.names, c.user), c.expected) << c.user << " in " << c.names.size();
    }
}

TEST(LocaleCodesTest, Table) {
    struct Case {
        const char* locale;
        const char* code;
    } cases[] = {
        {"en_US.UTF-8", "ENU"}, {"en_GB.UTF-8", "ENG"}, {"en_AU", "ENA"}, {"en_CA", "ENC"},
        {"zh_TW.UTF-8", "CHT"}, {"zh_HK.Big5", "ZHH"}, {"zh_CN.GB18030", "CHS"}, {"zh_SG", "ZHI"},
        {"zh_Hant_TW", "CHT"},  // script before territory
        {"de_AT@euro", "DEA"},  // modifier dropped, territory kept
        {"de_BE", "DEU"},       // territory without a row: the language's main code
        {"pt_BR", "PTB"}, {"pt", "PTG"}, {"es_ES", "ESN"}, {"ja_JP.eucJP", "JPN"}, {"ko_KR", "KOR"},
        {"EN-us", "ENU"},       // other spellings of the same name
        {"C", ""}, {"POSIX", ""}, {"C.UTF-8", ""}, {"", ""}, {"xx_YY", ""}, {"english", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(LanguageAbbreviationForLocale(c.locale), c.code) << c.locale;
}

TEST(LocaleCodesTest, EnvironmentOrder) {
    ::setenv("LANG", "de_DE.UTF-8", 1);
    ::setenv("LC_MESSAGES", "fr_FR.UTF-8", 1);
    ::setenv("LC_ALL", "", 1);  // set but empty: skipped, as the C library does
    EXPECT_EQ(UserLanguageAbbreviation(), "FRA");
    ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(UserLanguageAbbreviation(), "JPN");
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    EXPECT_EQ(UserLanguageAbbreviation(), "DEU");
    ::setenv("LANG", "C", 1);
    EXPECT_EQ(UserLanguageAbbreviation(), "");
    ::unsetenv("LANG");
}

TEST_F(LanguageFolderTest, FirstStartAsksAndSecondStartDoesNot) {
    const LanguagePaths paths(exe_);
    EXPECT_EQ(paths.LanguageDir(), exe_ + "Language/");
    EXPECT_EQ(paths.DefaultLangIniPath(), exe_ + "defaultlang.ini");

    const std::string name = SelectLanguageAtStart(paths, Answer(kChinese));
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(name, kChinese + ".ini");
    EXPECT_EQ(Stored(), kChinese + ".ini");
    EXPECT_EQ(paths.LanguageFilePath(name), exe_ + "Language/" + kChinese + ".ini");

    EXPECT_EQ(SelectLanguageAtStart(paths, Answer("never asked")), kChinese + ".ini");
    EXPECT_EQ(asked_, 1);
}

TEST_F(LanguageFolderTest, StartAsksWhenNothingUsableIsStored) {
    const LanguagePaths paths(exe_);
    struct Case {
        const char* stored;  // nullptr: defaultlang.ini does not exist
        std::string answer;
        std::string expected;
    } cases[] = {
        {nullptr, "", "English (ENG).ini"},                           // empty answer: the fallback
        {"", "Deutsch (DEU)", "Deutsch (DEU).ini"},                   // empty file
        {"[DefaultLang]\nLangFile=\n", "Deutsch (DEU)", "Deutsch (DEU).ini"},
        {"[DefaultLang]\nLangFile=.ini\n", "Deutsch (DEU)", "Deutsch (DEU).ini"},  // ".ini" is empty too
        {"[DefaultLang]\nLangFile=../../etc/x\n", "", "English (ENG).ini"},        // not a file name here
        {nullptr, "../outside", "English (ENG).ini"},                 // typed path: not a file name here
    };
    for (const Case& c : cases) {
        ::unlink(paths.DefaultLangIniPath().c_str());
        if (c.stored != nullptr) Touch("defaultlang.ini", c.stored);
        asked_ = 0;
        EXPECT_EQ(SelectLanguageAtStart(paths, Answer(c.answer)), c.expected) << c.answer;
        EXPECT_EQ(asked_, 1);
        EXPECT_EQ(Stored(), c.expected);
    }
    // A FIFO in its place must not hold the start (nobody ever writes to it):
    // it reads as nothing remembered.
    ::unlink(paths.DefaultLangIniPath().c_str());
    ASSERT_EQ(::mkfifo(paths.DefaultLangIniPath().c_str(), 0644), 0);
    asked_ = 0;
    EXPECT_EQ(SelectLanguageAtStart(paths, Answer("Deutsch (DEU)")), "Deutsch (DEU).ini");
    EXPECT_EQ(asked_, 1);
}

TEST_F(LanguageFolderTest, ChangeAlwaysAsksAndIsKeptForNextStart) {
    const LanguagePaths paths(exe_);
    Touch("defaultlang.ini", "[DefaultLang]\nLangFile=English (ENG).ini\n");
    EXPECT_EQ(ChangeLanguage(paths, Answer(kChinese)), kChinese + ".ini");
    EXPECT_EQ(ChangeLanguage(paths, Answer("")), "English (ENG).ini");
    EXPECT_EQ(ChangeLanguage(paths, Answer(kChinese)), kChinese + ".ini");
    EXPECT_EQ(asked_, 3);
    EXPECT_EQ(SelectLanguageAtStart(paths, Answer("x")), kChinese + ".ini");
    EXPECT_EQ(asked_, 3);
}

TEST_F(LanguageFolderTest, FolderChoice) {
    // No Language folder beside the executable: the installed data folder.
    const std::string bare = exe_ + "bin/";
    ::mkdir(bare.c_str(), 0755);
    EXPECT_NE(LanguagePaths(bare).LanguageDir().find("/orvanta/Language/"), std::string::npos);
    // Installed to some prefix: the data folder of that prefix, not the one
    // compiled in (a package built for /usr but unpacked elsewhere, or the
    // other way round).
    ::mkdir((exe_ + "share").c_str(), 0755);
    ::mkdir((exe_ + "share/orvanta").c_str(), 0755);
    EXPECT_EQ(LanguagePaths(bare).LanguageDir(), bare + "../share/orvanta/Language/");
    // An installed program's folder may be writable (run as root): the
    // choice still goes to the user's folder, never beside the program.
    ::setenv("XDG_CONFIG_HOME", (exe_ + "rootcfg").c_str(), 1);
    EXPECT_EQ(LanguagePaths(bare).DefaultLangIniPath(), exe_ + "rootcfg/orvanta/defaultlang.ini");
    // An executable folder we cannot write to (here: one that is not there):
    // the choice goes to the user's configuration folder, created on demand.
    ::setenv("XDG_CONFIG_HOME", (exe_ + "cfg").c_str(), 1);
    EXPECT_EQ(LanguagePaths(exe_ + "gone/").DefaultLangIniPath(), exe_ + "cfg/orvanta/defaultlang.ini");
    struct stat st {};
    EXPECT_EQ(::stat((exe_ + "cfg/orvanta").c_str(), &st), 0);
    ::unsetenv("XDG_CONFIG_HOME");
    // The environment overrides both folders.
    ::setenv("ORVANTA_LANGUAGE_DIR", "/opt/lang", 1);
    ::setenv("ORVANTA_CONFIG_DIR", (exe_ + "conf").c_str(), 1);
    const LanguagePaths overridden(exe_);
    EXPECT_EQ(overridden.LanguageDir(), "/opt/lang/");
    EXPECT_EQ(overridden.DefaultLangIniPath(), exe_ + "conf/defaultlang.ini");
    ::unsetenv("ORVANTA_LANGUAGE_DIR");
    ::unsetenv("ORVANTA_CONFIG_DIR");
}

TEST_F(LanguageFolderTest, StringsAndMessagesComeFromTheChosenFile) {
    Touch("Language/A (ENG).ini",
          "[WizardDlg]\nMessage2=Read failed\nmessage8=Refused\nMessage5=\n[WaitDlg]\nNOTE2=Reading\n");
    const std::string english2 = LanguageStrings::English().Get("WizardDlg", "Message2");
    ASSERT_FALSE(english2.empty());
    std::vector<std::string> lines;
    const auto collect = [&lines](const std::string& line) { lines.push_back(line); };
    WizardMessages messages;
    messages.Load(LanguageStrings(exe_ + "Language/A (ENG).ini", collect));
    EXPECT_EQ(messages.noAnswer, "Read failed");
    EXPECT_EQ(messages.accessRefused, "Refused");
    EXPECT_EQ(messages.reading, "Reading");
    // A key the file lacks, or leaves empty, and a section it lacks: English.
    EXPECT_EQ(messages.notFoundAgain, LanguageStrings::English().Get("WizardDlg", "Message5"));
    EXPECT_FALSE(LanguageStrings(exe_ + "Language/A (ENG).ini").Get("FirstPage", "Btn_FindCam").empty());
    EXPECT_TRUE(lines.empty());  // a readable file is not reported

    // Files that are refused: each leaves the English texts and one line
    // that names the file. A FIFO must not block (nobody ever writes to it).
    ASSERT_EQ(::mkfifo((exe_ + "Language/Fifo.ini").c_str(), 0644), 0);
    ::mkdir((exe_ + "Language/Dir.ini").c_str(), 0755);
    Touch("Language/Huge.ini", "[WizardDlg]\nMessage2=" + std::string(LanguageStrings::kMaxFileBytes, 'x') + "\n");
    for (const char* name : {"Missing.ini", "Fifo.ini", "Dir.ini", "Huge.ini"}) {
        SCOPED_TRACE(name);
        lines.clear();
        const LanguageStrings refused(exe_ + "Language/" + name, collect);
        EXPECT_FALSE(refused.Loaded());
        messages.Load(refused);
        EXPECT_EQ(messages.noAnswer, english2);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(name), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(refused.RefusedBecause()), std::string::npos) << lines[0];
    }
    EXPECT_EQ(LanguageStrings().Get("WizardDlg", "Message2"), english2);
}

}  // namespace
}  // namespace orvanta
