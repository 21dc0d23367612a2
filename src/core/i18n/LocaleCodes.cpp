#include "core/i18n/LocaleCodes.h"

#include <cstdlib>

namespace orvanta {
namespace {

struct LocaleCode {
    const char* locale;  // "ll" (the language's main variant) or "ll_CC"
    const char* code;
};

// POSIX language (and territory) to the Windows abbreviated language name.
// A language's bare entry is what a territory without its own row gets.
constexpr LocaleCode kCodes[] = {
    {"af", "AFK"},    {"am", "AMH"},    {"ar", "ARA"},    {"ar_SA", "ARA"}, {"ar_IQ", "ARI"},
    {"ar_EG", "ARE"}, {"ar_LY", "ARL"}, {"ar_DZ", "ARG"}, {"ar_MA", "ARM"}, {"ar_TN", "ART"},
    {"ar_OM", "ARO"}, {"ar_YE", "ARY"}, {"ar_SY", "ARS"}, {"ar_JO", "ARJ"}, {"ar_LB", "ARB"},
    {"ar_KW", "ARK"}, {"ar_AE", "ARU"}, {"ar_BH", "ARH"}, {"ar_QA", "ARQ"}, {"as", "ASM"},
    {"az", "AZE"},    {"be", "BEL"},    {"bg", "BGR"},    {"bn", "BNG"},    {"bs", "BSB"},
    {"ca", "CAT"},    {"cs", "CSY"},    {"cy", "CYM"},    {"da", "DAN"},    {"de", "DEU"},
    {"de_DE", "DEU"}, {"de_CH", "DES"}, {"de_AT", "DEA"}, {"de_LU", "DEL"}, {"de_LI", "DEC"},
    {"el", "ELL"},    {"en", "ENU"},    {"en_US", "ENU"}, {"en_GB", "ENG"}, {"en_AU", "ENA"},
    {"en_CA", "ENC"}, {"en_NZ", "ENZ"}, {"en_IE", "ENI"}, {"en_ZA", "ENS"}, {"en_JM", "ENJ"},
    {"en_BZ", "ENL"}, {"en_TT", "ENT"}, {"en_ZW", "ENW"}, {"en_PH", "ENP"}, {"en_IN", "ENN"},
    {"en_MY", "ENM"}, {"en_SG", "ENE"},
    // Spanish (Spain) is ESN with the modern sort Windows uses by default; ESP
    // is the traditional sort, which no POSIX locale name selects.
    {"es", "ESN"},    {"es_ES", "ESN"}, {"es_MX", "ESM"}, {"es_GT", "ESG"}, {"es_CR", "ESC"},
    {"es_PA", "ESA"}, {"es_DO", "ESD"}, {"es_VE", "ESV"}, {"es_CO", "ESO"}, {"es_PE", "ESR"},
    {"es_AR", "ESS"}, {"es_EC", "ESF"}, {"es_CL", "ESL"}, {"es_UY", "ESY"}, {"es_PY", "ESZ"},
    {"es_BO", "ESB"}, {"es_SV", "ESE"}, {"es_HN", "ESH"}, {"es_NI", "ESI"}, {"es_PR", "ESU"},
    {"es_US", "EST"}, {"et", "ETI"},    {"eu", "EUQ"},    {"fa", "FAR"},    {"fi", "FIN"},
    {"fil", "FPO"},   {"fo", "FOS"},    {"fr", "FRA"},    {"fr_FR", "FRA"}, {"fr_BE", "FRB"},
    {"fr_CA", "FRC"}, {"fr_CH", "FRS"}, {"fr_LU", "FRL"}, {"fr_MC", "FRM"}, {"ga", "IRE"},
    {"gl", "GLC"},    {"gu", "GUJ"},    {"he", "HEB"},    {"hi", "HIN"},    {"hr", "HRV"},
    {"hu", "HUN"},    {"hy", "HYE"},    {"id", "IND"},    {"is", "ISL"},    {"it", "ITA"},
    {"it_IT", "ITA"}, {"it_CH", "ITS"}, {"ja", "JPN"},    {"ka", "KAT"},    {"kk", "KKZ"},
    {"km", "KHM"},    {"kn", "KDI"},    {"ko", "KOR"},    {"ky", "KYR"},    {"lo", "LAO"},
    {"lt", "LTH"},    {"lv", "LVI"},    {"mk", "MKI"},    {"ml", "MYM"},    {"mn", "MNN"},
    {"mr", "MAR"},    {"ms", "MSL"},    {"ms_BN", "MSB"}, {"mt", "MLT"},    {"nb", "NOR"},
    {"ne", "NEP"},    {"nl", "NLD"},    {"nl_NL", "NLD"}, {"nl_BE", "NLB"}, {"nn", "NON"},
    {"no", "NOR"},    {"or", "ORI"},    {"pa", "PAN"},    {"pl", "PLK"},    {"pt", "PTG"},
    {"pt_PT", "PTG"}, {"pt_BR", "PTB"}, {"ro", "ROM"},    {"ru", "RUS"},    {"si", "SIN"},
    {"sk", "SKY"},    {"sl", "SLV"},    {"sq", "SQI"},    {"sr", "SRO"},    {"sv", "SVE"},
    {"sv_SE", "SVE"}, {"sv_FI", "SVF"}, {"sw", "SWK"},    {"ta", "TAM"},    {"te", "TEL"},
    {"th", "THA"},    {"tr", "TRK"},    {"uk", "UKR"},    {"ur", "URD"},    {"uz", "UZB"},
    {"vi", "VIT"},
    // Chinese has no single main variant; a bare "zh" is taken as Simplified.
    {"zh", "CHS"},    {"zh_CN", "CHS"}, {"zh_SG", "ZHI"}, {"zh_TW", "CHT"}, {"zh_HK", "ZHH"},
    {"zh_MO", "ZHM"}, {"zh_HANS", "CHS"}, {"zh_HANT", "CHT"},
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

const char* Lookup(std::string_view name) {
    for (const LocaleCode& entry : kCodes) {
        if (name == entry.locale) return entry.code;
    }
    return nullptr;
}

}  // namespace

std::string LanguageAbbreviationForLocale(std::string_view locale) {
    // language[_territory][.codeset][@modifier]; some tools write "en-US".
    const std::size_t cut = locale.find_first_of(".@");
    if (cut != std::string_view::npos) locale = locale.substr(0, cut);
    if (locale.empty() || locale == "C" || locale == "POSIX") return {};

    const std::size_t sep = locale.find_first_of("_-");
    std::string language;
    for (const char c : locale.substr(0, sep)) language.push_back(Lower(c));
    if (language.empty() || language.size() > 3) return {};

    if (sep != std::string_view::npos) {
        std::string territory;
        for (const char c : locale.substr(sep + 1)) territory.push_back(Upper(c));
        // "zh_Hant_TW" style names put the script first; the territory is last.
        const std::size_t last = territory.find_last_of("_-");
        if (last != std::string::npos) territory = territory.substr(last + 1);
        if (const char* code = Lookup(language + "_" + territory)) return code;
    }
    if (const char* code = Lookup(language)) return code;
    return {};
}

std::string UserLanguageAbbreviation() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return LanguageAbbreviationForLocale(value);
    }
    return {};
}

}  // namespace orvanta
