#pragma once
#include <string_view>

// The user's interface language as a Windows language id (1033 English (United States),
// 2052 Chinese (PRC), 1046 Portuguese (Brazil), ...), derived from the locale variables.
namespace platform {

// The language id of one locale name such as "pt_BR.UTF-8", "zh-CN", "de" or "sr_RS@latin";
// 0 when the language is not known. A bare language gives its main region.
int LanguageIdFromLocale(std::string_view locale);

// The message locale in effect (LC_ALL, else LC_MESSAGES, else LANG); when it is not "C" or
// "POSIX", the entries of LANGUAGE are tried before it, as gettext does. 1033 when nothing
// known is set.
int UserDefaultUiLanguage();

} // namespace platform
