#include "shell/StartupLanguage.h"

#include "shell/Language.h"
#include "shell/Settings.h"

namespace {
constexpr int kEnglishUnitedStates = 1033;
constexpr int kChinesePrc = 2052;
} // namespace

int ChooseStartupLanguage(int systemLanguageId)
{
    int id = ReadLanguageId();
    if (id == 0) {
        id = systemLanguageId;
        WriteLanguageId(systemLanguageId == kEnglishUnitedStates ? kEnglishUnitedStates : kChinesePrc);
    }
    SetCurrentLanguageId(id);
    return id;
}
