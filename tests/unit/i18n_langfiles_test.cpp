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

// "Message1-3" style rows are spelled out so a search for a key finds it here.
const RequiredKey kRequired[] = {
    {"Common", "BtnBack", 260}, {"Common", "BtnNext", 260}, {"Common", "BtnFinish", 260}, {"Common", "BtnSave", 260},
    {"WizardDlg", "Message1", 1024}, {"WizardDlg", "Message2", 1024}, {"WizardDlg", "Message3", 1024},
    {"WizardDlg", "Message4", 1024}, {"WizardDlg", "Message5", 1024}, {"WizardDlg", "Message6", 1024},
    {"WizardDlg", "Message7", 1024}, {"WizardDlg", "Message8", 1024},
    {"WaitDlg", "note1", 1024}, {"WaitDlg", "note2", 1024}, {"WaitDlg", "note3", 1024}, {"WaitDlg", "note4", 1024},
    {"AboutDlg", "Info1", 1024}, {"AboutDlg", "Info2", 1024}, {"AboutDlg", "DlgTitle", 1024}, {"AboutDlg", "BtnOK", 1024},
    {"DlgLoginRoot", "DlgLoginRootCaption", 260}, {"DlgLoginRoot", "Root", 260}, {"DlgLoginRoot", "Password", 260},
    {"DlgLoginRoot", "note1", 260}, {"DlgLoginRoot", "BtnOK", 260},
    {"FirstPage", "Btn_FindCam", 260}, {"FirstPage", "Btn_SetupCam", 260}, {"FirstPage", "Btn_FindNet", 260},
    {"FirstPage", "Btn_About", 260}, {"FirstPage", "LinkTypeEthernet", 512}, {"FirstPage", "LinkTypePPPOE", 512},
    {"FirstPage", "LinkFixedIP", 512}, {"FirstPage", "LinkDynamicIP", 512}, {"FirstPage", "LinkNotConnect", 512},
    {"FirstPage", "LinkUnknown", 512}, {"FirstPage", "NetworkCard", 260}, {"FirstPage", "Btn_Language", 260},
    {"SearchPage", "CamListMAC", 260}, {"SearchPage", "CamListIP", 260}, {"SearchPage", "CamListPort", 260},
    {"SearchPage", "CamListDese", 260}, {"SearchPage", "CamListCamID", 260}, {"SearchPage", "CamListSport", 260},
    {"SearchPage", "BtnStrartFind", 260}, {"SearchPage", "BtnFindingCam", 260}, {"SearchPage", "BtnStopFind", 260},
    {"SearchPage", "Note", 8072}, {"SearchPage", "CamList", 260}, {"SearchPage", "Message1", 260},
    {"SearchPage", "Message2", 260}, {"SearchPage", "Message3", 260},
    {"OptionPage", "RadioWizard", 260}, {"OptionPage", "RadioMaunal", 260}, {"OptionPage", "StaticWizard", 260},
    {"OptionPage", "StaticMaunal", 260},
    {"ChoosePage", "Note1", 260}, {"ChoosePage", "RadioYes", 260}, {"ChoosePage", "RadioNo", 260},
    {"ChoosePage", "RadioLan", 260}, {"ChoosePage", "RadioWireless", 260}, {"ChoosePage", "RadioPPPoE", 260},
    {"ChoosePage", "Note2", 260},
    {"ShowPicPage", "note", 1024},
    {"SystemPage", "Hostname", 260}, {"SystemPage", "Description", 260}, {"SystemPage", "KeepCurrentTime", 260},
    {"SystemPage", "SyncComputerTime", 260}, {"SystemPage", "ManualTime", 260}, {"SystemPage", "ManualTimeData", 260},
    {"SystemPage", "AutomaticTime", 260}, {"SystemPage", "Message1", 1024}, {"SystemPage", "Message2", 1024},
    {"SystemPage", "NTPTimeZone", 260}, {"SystemPage", "NTPTimeUpdata", 260}, {"SystemPage", "TitleSystem", 260},
    {"LANISPPage", "RadioLAN", 260}, {"LANISPPage", "RadioPPPoE", 260}, {"LANISPPage", "UserID", 260},
    {"LANISPPage", "Password", 260}, {"LANISPPage", "ConfirmPwd", 260}, {"LANISPPage", "Message1", 260},
    {"LANISPPage", "TitleISP", 1024},
    {"LANPage", "RadioDHCP", 260}, {"LANPage", "RadioFixIP", 260}, {"LANPage", "IP", 260},
    {"LANPage", "Submask", 260}, {"LANPage", "Gateway", 260}, {"LANPage", "DNS", 260}, {"LANPage", "DNS2", 260},
    {"LANPage", "Message1", 260}, {"LANPage", "TitleLAN", 1024},
    {"WLANAPPage", "SSID", 260}, {"WLANAPPage", "WirelessMode", 260}, {"WLANAPPage", "Channel", 260},
    {"WLANAPPage", "TxRate", 260}, {"WLANAPPage", "Security", 260}, {"WLANAPPage", "WEPKeyLength", 260},
    {"WLANAPPage", "WEPMode", 260}, {"WLANAPPage", "WEPKeyFormat", 260}, {"WLANAPPage", "WEPDefKey", 260},
    {"WLANAPPage", "WPAAlgorithm", 260}, {"WLANAPPage", "WPAKey", 260}, {"WLANAPPage", "Message1", 260},
    {"WLANAPPage", "TitleWireless", 1024},
    {"WLANIPPage", "RadioDHCP", 260}, {"WLANIPPage", "RadioFixIP", 260}, {"WLANIPPage", "IP", 260},
    {"WLANIPPage", "Submask", 260}, {"WLANIPPage", "Gateway", 260}, {"WLANIPPage", "DNS", 260},
    {"WLANIPPage", "DNS2", 260}, {"WLANIPPage", "TitleWLAN", 1024},
    {"UPnPPage", "UPnPEn", 260}, {"UPnPPage", "HttpPort", 260}, {"UPnPPage", "StreamPort", 260},
    {"UPnPPage", "RTSP", 260}, {"UPnPPage", "Message1", 2048}, {"UPnPPage", "Message2", 2048},
    {"UPnPPage", "Message3", 2048}, {"UPnPPage", "Message4", 2048}, {"UPnPPage", "Message5", 2048},
    {"UPnPPage", "Message6", 2048}, {"UPnPPage", "TitleUPnP", 1024},
    {"DDNSPage", "DDNSEn", 260}, {"DDNSPage", "Provider", 260}, {"DDNSPage", "Hostname", 260},
    {"DDNSPage", "Username", 260}, {"DDNSPage", "Password", 260}, {"DDNSPage", "Message1", 1024},
    {"DDNSPage", "TitleDDNS", 1024},
    {"ApscanPage", "AP", 260}, {"ApscanPage", "SSID", 260}, {"ApscanPage", "WirelessMode", 260},
    {"ApscanPage", "Channel", 260}, {"ApscanPage", "Quality", 260}, {"ApscanPage", "Security", 260},
    {"ApscanPage", "APMAC", 260}, {"ApscanPage", "WEPKeyLength", 260}, {"ApscanPage", "WEPMode", 260},
    {"ApscanPage", "WEPKeyFormat", 260}, {"ApscanPage", "WEPDefKey", 260}, {"ApscanPage", "WPAAlgorithm", 260},
    {"ApscanPage", "WPAKey", 260}, {"ApscanPage", "Message1", 1024}, {"ApscanPage", "Message2", 1024},
    {"ApscanPage", "Message3", 1024}, {"ApscanPage", "Message4", 1024}, {"ApscanPage", "TitleWireless", 1024},
    {"WPSPage", "Note", 1024}, {"WPSPage", "Message1", 2048}, {"WPSPage", "Message2", 2048},
    {"WPSPage", "Message3", 2048}, {"WPSPage", "Message4", 2048}, {"WPSPage", "TitleWPS", 1024},
    {"WPSPicPage", "Note1", 260}, {"WPSPicPage", "Note2", 260}, {"WPSPicPage", "Message1", 2048},
    {"WPSPicPage", "TitleWPS", 1024},
    {"SetAutoParamPage", "Message1", 2014}, {"SetAutoParamPage", "SystemInfo", 260},
    {"SetAutoParamPage", "NetworkInfo", 260}, {"SetAutoParamPage", "WirelessInfo", 260},
    {"SetAutoParamPage", "UPnPInfo", 260}, {"SetAutoParamPage", "DDNSInfo", 260}, {"SetAutoParamPage", "USEWPS", 2014},
    {"SetAutoParamPage", "WPSSucces", 2014}, {"SetAutoParamPage", "WPSFailed", 2014},
    {"SetAutoParamPage", "NotUseWireless", 2014}, {"SetAutoParamPage", "NotSupposeWireless", 2014},
    {"SetAutoParamPage", "EnUPnP", 2014}, {"SetAutoParamPage", "DisUPnP", 2014}, {"SetAutoParamPage", "EnDDNS", 2014},
    {"SetAutoParamPage", "DisDDNS", 2014},
    {"PPPoEPage", "UserID", 260}, {"PPPoEPage", "Password", 260}, {"PPPoEPage", "TitlePPPoE", 1024},
    {"WizardIPPage", "RadioDHCP", 260}, {"WizardIPPage", "RadioFixIP", 260}, {"WizardIPPage", "IP", 260},
    {"WizardIPPage", "Submask", 260}, {"WizardIPPage", "Gateway", 260}, {"WizardIPPage", "DNS", 260},
    {"WizardIPPage", "BtnSendARP", 1024}, {"WizardIPPage", "Note1", 1024}, {"WizardIPPage", "Message1", 2048},
    {"WizardIPPage", "Message2", 2048}, {"WizardIPPage", "Message3", 2048}, {"WizardIPPage", "TitleWizardIP", 1024},
    {"LoginPage", "Note", 260}, {"LoginPage", "LoginType", 260}, {"LoginPage", "ID", 260},
    {"LoginPage", "Password", 260}, {"LoginPage", "Message1", 1024}, {"LoginPage", "DiviceLogin", 260},
    {"LoginPage", "UserLogin", 260}, {"LoginPage", "TitleLogin", 1024},
    {"SetupFinishPage", "IP", 260}, {"SetupFinishPage", "CamID", 260}, {"SetupFinishPage", "MAC", 260},
    {"SetupFinishPage", "Interface", 260}, {"SetupFinishPage", "Port", 260}, {"SetupFinishPage", "SPort", 260},
    {"SetupFinishPage", "BtnLink", 260},
    {"ServerPage", "CamListMAC", 260}, {"ServerPage", "CamListIP", 260}, {"ServerPage", "CamListPort", 260},
    {"ServerPage", "CamListDese", 260}, {"ServerPage", "CamListCamID", 260}, {"ServerPage", "CamListSport", 260},
    {"ServerPage", "CamList", 260}, {"ServerPage", "TitleServer", 260},
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
