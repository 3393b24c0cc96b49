#include "platform/language_id.h"

#include <cstdlib>
#include <string_view>

namespace {

struct LocaleId {
    std::string_view name; // language_TERRITORY, or a language alone
    std::uint16_t id;
};

// Territory-specific names first; a bare language maps to its default
// sublanguage, as Windows gives it for that language.
constexpr LocaleId kLocales[] = {
    {"zh_TW", 1028}, {"zh_HK", 3076}, {"zh_MO", 5124},  {"zh_CN", 2052}, {"zh_SG", 4100},
    {"de_DE", 1031}, {"de_CH", 2055}, {"de_AT", 3079},  {"de_LU", 4103}, {"de_LI", 5127},
    {"es_ES", 1034}, {"es_MX", 2058}, {"es_AR", 11274}, {"es_CO", 9226}, {"es_US", 21514},
    {"fr_FR", 1036}, {"fr_BE", 2060}, {"fr_CA", 3084},  {"fr_CH", 4108}, {"fr_LU", 5132},
    {"it_IT", 1040}, {"it_CH", 2064}, {"ja_JP", 1041},  {"ko_KR", 1042}, {"en_US", 1033},
    {"en_GB", 2057}, {"en_AU", 3081}, {"en_CA", 4105},  {"en_NZ", 5129}, {"en_IE", 6153},
    {"nl_NL", 1043}, {"nl_BE", 2067}, {"pt_BR", 1046},  {"pt_PT", 2070}, {"ru_RU", 1049},
    {"pl_PL", 1045}, {"sv_SE", 1053}, {"da_DK", 1030},  {"fi_FI", 1035}, {"nb_NO", 1044},
    {"cs_CZ", 1029}, {"hu_HU", 1038}, {"tr_TR", 1055},  {"el_GR", 1032}, {"zh", 2052},
    {"de", 1031},    {"es", 1034},    {"fr", 1036},     {"it", 1040},    {"ja", 1041},
    {"ko", 1042},    {"en", 1033},    {"nl", 1043},     {"pt", 2070},    {"ru", 1049},
    {"pl", 1045},    {"sv", 1053},    {"da", 1030},     {"fi", 1035},    {"nb", 1044},
    {"cs", 1029},    {"hu", 1038},    {"tr", 1055},     {"el", 1032},
};

std::uint16_t Lookup(std::string_view name) {
    for (const LocaleId& entry : kLocales) {
        if (entry.name == name)
            return entry.id;
    }
    return 0;
}

} // namespace

std::uint16_t LanguageIdFromLocale(const std::string& locale) {
    // Strip the codeset and modifier: "de_DE.UTF-8@euro" -> "de_DE".
    std::string_view name(locale);
    name = name.substr(0, name.find_first_of(".@"));
    if (const std::uint16_t id = Lookup(name))
        return id;
    // An unlisted territory falls back to the language's default sublanguage.
    if (const std::uint16_t id = Lookup(name.substr(0, name.find('_'))))
        return id;
    return LANGID_ENGLISH_US;
}

std::uint16_t GetSystemDefaultLangID() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return LanguageIdFromLocale(value);
    }
    return LANGID_ENGLISH_US;
}
