// The shipped language files: every section and key the program looks up is
// there with a text that fits the buffer it is read into. A key renamed or
// forgotten in one file would otherwise show as an empty caption only when
// someone happens to open that page in that language.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/i18n/IniDocument.h"
#include "core/i18n/LanguageSelection.h"
#include "core/i18n/LocaleCodes.h"
#include "core/i18n/TextEncoding.h"

namespace orvanta {
namespace {

struct RequiredKey {
    const char* section;
    const char* key;
    std::size_t capacity;  // the buffer the program reads it into, in characters
};

// The keys no page table names: the window's messages, the dialogs, list
// headers and captions a page sets from its state. (Every key of a page's own
// caption and kept tables is checked in every language by the GUI caption
// test, which walks the tables themselves.)
const RequiredKey kRequired[] = {
    {"Common", "BtnBack", 260}, {"Common", "BtnNext", 260}, {"Common", "BtnFinish", 260},
    {"Common", "BtnSave", 260}, {"WizardDlg", "Message1", 1024}, {"WizardDlg", "Message2", 1024},
    {"WizardDlg", "Message3", 1024}, {"WizardDlg", "Message4", 1024}, {"WizardDlg", "Message5", 1024},
    {"WizardDlg", "Message6", 1024}, {"WizardDlg", "Message7", 1024}, {"WizardDlg", "Message8", 1024},
    {"WaitDlg", "note1", 1024}, {"WaitDlg", "note2", 1024}, {"WaitDlg", "note3", 1024}, {"WaitDlg", "note4", 1024},
    {"AboutDlg", "Info1", 1024}, {"AboutDlg", "Info2", 1024}, {"AboutDlg", "DlgTitle", 1024},
    {"AboutDlg", "BtnOK", 1024}, {"DlgLoginRoot", "DlgLoginRootCaption", 260}, {"DlgLoginRoot", "Root", 260},
    {"DlgLoginRoot", "Password", 260}, {"DlgLoginRoot", "note1", 260}, {"DlgLoginRoot", "BtnOK", 260},
    {"FirstPage", "NetworkCard", 260}, {"SearchPage", "CamListMAC", 260}, {"SearchPage", "CamListIP", 260},
    {"SearchPage", "CamListPort", 260}, {"SearchPage", "CamListDese", 260}, {"SearchPage", "CamListCamID", 260},
    {"SearchPage", "CamListSport", 260}, {"SearchPage", "BtnStrartFind", 260}, {"SearchPage", "BtnFindingCam", 260},
    {"SearchPage", "BtnStopFind", 260}, {"LoginPage", "DiviceLogin", 260}, {"LoginPage", "UserLogin", 260},
    {"ServerPage", "CamListMAC", 260}, {"ServerPage", "CamListIP", 260}, {"ServerPage", "CamListPort", 260},
    {"ServerPage", "CamListDese", 260}, {"ServerPage", "CamListCamID", 260},
    {"OnvifMessages", "PictureNone", 1024}, {"OnvifMessages", "PictureBroken", 1024},
    {"OnvifMessages", "TakingPicture", 1024}, {"DlgProvision", "BtnSaveReport", 260},
    {"DlgProvision", "ReportFailed", 1024},
};

struct ShippedFile {
    const char* name;
    IniDocument::Encoding encoding;  // both kinds of file the reader meets in the field
};
const ShippedFile kShipped[] = {
    {"English (ENG).ini", IniDocument::Encoding::Utf8},
    {"\xE7\xB9\x81\xE9\xAB\x94\xE4\xB8\xAD\xE6\x96\x87 (CHT).ini", IniDocument::Encoding::Utf16LeBom},
    {"\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87 (CHS).ini", IniDocument::Encoding::Utf8},
    {"Deutsch (DEU).ini", IniDocument::Encoding::Utf8},
    {"Fran\xC3\xA7" "ais (FRA).ini", IniDocument::Encoding::Utf8},
    {"Espa\xC3\xB1ol (ESP).ini", IniDocument::Encoding::Utf8},
    {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E (JPN).ini", IniDocument::Encoding::Utf8},
    {"Italiano (ITA).ini", IniDocument::Encoding::Utf8},
    {"Portugu\xC3\xAAs do Brasil (PTB).ini", IniDocument::Encoding::Utf8},
    {"\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 (KOR).ini", IniDocument::Encoding::Utf8},
    {"\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9 (RUS).ini", IniDocument::Encoding::Utf8},
};

const std::string kLangDir = std::string(ORVANTA_SOURCE_DIR) + "/lang/";

TEST(ShippedLanguageFiles, EveryKeyFilledAndUncut) {
    for (const ShippedFile& file : kShipped) {
        SCOPED_TRACE(file.name);
        IniDocument doc;
        ASSERT_TRUE(IniDocument::Load(kLangDir + file.name, &doc));
        EXPECT_EQ(doc.GetEncoding(), file.encoding);
        for (const RequiredKey& required : kRequired) {
            const std::string full = doc.Get(required.section, required.key, 1u << 20);
            EXPECT_FALSE(full.empty()) << "[" << required.section << "] " << required.key;
            // A text longer than its buffer would be shown cut off.
            EXPECT_EQ(doc.Get(required.section, required.key, required.capacity), full)
                << "[" << required.section << "] " << required.key << " longer than " << required.capacity - 1;
        }
        // Every key of the English file (the captions beyond the table
        // above, the picture labels) is translated, not left to the fallback.
        IniDocument english;
        ASSERT_TRUE(IniDocument::Load(kLangDir + kShipped[0].name, &english));
        for (const std::string& section : english.SectionNames())
            for (const std::string& key : english.KeyNames(section))
                EXPECT_FALSE(doc.Get(section, key).empty()) << "[" << section << "] " << key;
        // A section written twice would hide the second copy's keys.
        std::map<std::string, int> seen;
        for (std::string name : doc.SectionNames()) {
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_EQ(++seen[name], 1) << "section [" << name << "] appears twice";
        }
        // The summary joins these labels straight to their values.
        for (const char* key : {"Hostname", "Description"}) {
            const std::string label = doc.Get("SystemPage", key);
            EXPECT_TRUE(label.ends_with(": ") || label.ends_with("\xEF\xBC\x9A")) << key << ": '" << label << "'";
        }
        EXPECT_NE(doc.Get("AboutDlg", "Info2").find(ORVANTA_VERSION), std::string::npos) << "stale version";
    }
}

TEST(ShippedLanguageFiles, ChooserListsAndPreselectsThem) {
    const std::vector<std::string> names = ListLanguageNames(kLangDir);
    ASSERT_EQ(names.size(), std::size(kShipped));
    // The user's locale, through the code table, picks each shipped file.
    const std::pair<const char*, std::size_t> locales[] = {
        {"en_GB.UTF-8", 0}, {"en_US.UTF-8", 0}, {"C", 0},       {"zh_TW.UTF-8", 1}, {"zh_CN.UTF-8", 2},
        {"de_DE.UTF-8", 3}, {"de_AT.UTF-8", 3}, {"fr_FR", 4},   {"fr_CA", 4},       {"es_ES.UTF-8", 5},
        {"es_MX", 5},       {"ja_JP.UTF-8", 6}, {"it_IT", 7},   {"pt_BR.UTF-8", 8}, {"pt_PT", 8},
        {"ko_KR.UTF-8", 9}, {"ru_RU.UTF-8", 10},
    };
    for (const auto& [locale, file] : locales) {
        const int index = PreselectLanguageIndex(names, LanguageAbbreviationForLocale(locale));
        ASSERT_GE(index, 0) << locale;
        EXPECT_EQ(names[static_cast<std::size_t>(index)] + ".ini", kShipped[file].name) << locale;
    }
}

}  // namespace
}  // namespace orvanta
