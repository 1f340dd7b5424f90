#include "platform/SystemLanguage.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(SystemLanguage, LocaleNamesMapToWindowsLanguageIds)
{
    const std::pair<const char*, int> cases[] = {
        {"en_US.UTF-8", 1033}, {"zh_CN.UTF-8", 2052}, {"pt_BR.UTF-8", 1046}, {"pt_PT", 2070},
        {"en_GB.utf8", 2057}, {"de_DE@euro", 1031}, {"zh_TW.Big5", 1028}, {"ja_JP.eucJP", 1041},
        {"sr_RS@latin", 9242}, {"sr_RS", 10266}, {"pt-BR", 1046}, {"PT_br", 1046},
        {"en", 1033}, {"zh", 2052}, {"pt", 1046}, {"fr_LU", 1036}, {"es", 3082},
        {"eo", 0}, {"", 0}, {"_US", 0}, {"C", 0}, {".UTF-8", 0},
    };
    for (const auto& [locale, id] : cases)
        EXPECT_EQ(platform::LanguageIdFromLocale(locale), id) << locale;
}

TEST(SystemLanguage, LocaleVariablesDecideAsGettextDoes)
{
    using Env = std::optional<std::string>;
    struct Case {
        Env language, lcAll, lcMessages, lang;
        int expected;
    };
    const Case cases[] = {
        {{}, {}, {}, "pt_BR.UTF-8", 1046},
        {{}, {}, "zh_CN.UTF-8", "en_US.UTF-8", 2052},
        {{}, "de_DE.UTF-8", "zh_CN.UTF-8", "en_US.UTF-8", 1031},
        {"pt_BR:en_US", {}, {}, "en_US.UTF-8", 1046},
        {"eo:zh_CN", {}, {}, "en_US.UTF-8", 2052},
        {"pt_BR", "C", {}, "zh_CN.UTF-8", 1033},
        {"pt_BR", {}, {}, {}, 1033},
        {{}, {}, {}, {}, 1033},
        {"", "", "", "eo_XX", 1033},
        {{}, "POSIX", {}, {}, 1033},
    };
    for (const auto& c : cases) {
        testenv::ScopedEnv language("LANGUAGE", c.language), all("LC_ALL", c.lcAll), messages("LC_MESSAGES", c.lcMessages),
            lang("LANG", c.lang);
        EXPECT_EQ(platform::UserDefaultUiLanguage(), c.expected)
            << c.language.value_or("-") << " " << c.lcAll.value_or("-") << " " << c.lcMessages.value_or("-") << " "
            << c.lang.value_or("-");
    }
}
