#include "platform/language_id.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(LanguageId, LocaleNamesMapToWindowsIds) {
    struct Case {
        const char* locale;
        std::uint16_t id;
    } cases[] = {
        {"zh_TW.UTF-8", 1028},
        {"de_DE.UTF-8@euro", 1031},
        {"zh_CN.GB18030", 2052},
        {"de_CH.UTF-8", 2055},
        {"es_MX", 2058},
        {"de_BE", 1031},
        {"xx_YY", 1033},
        {"C", 1033},
        {"", 1033},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageIdFromLocale(c.locale), c.id) << c.locale;
}

TEST(LanguageId, LcAllThenLcMessagesThenLang) {
    setenv("LANG", "fr_FR.UTF-8", 1);
    setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
    setenv("LC_ALL", "", 1);
    EXPECT_EQ(GetSystemDefaultLangID(), 1031);
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(GetSystemDefaultLangID(), 1041);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(GetSystemDefaultLangID(), 1036);
    unsetenv("LANG");
    EXPECT_EQ(GetSystemDefaultLangID(), 1033);
}

} // namespace
