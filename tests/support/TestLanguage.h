#pragma once
// A language file of the test's own for the duration of a test: the texts are written as
// section KB.DIALOG of "<id>.lan" in a temporary folder, which becomes the language folder.
#include "platform/TextCodec.h"
#include "shell/Language.h"
#include "support/TestEnvironment.h"

#include <string>

namespace testenv {

class ScopedLanguage {
public:
    // `lines` holds "number=text" lines.
    ScopedLanguage(int id, const std::string& lines)
    {
        WriteFile(m_dir / (std::to_string(id) + ".lan"), "[KB.DIALOG]\n" + lines);
        SetLanguageFolder(platform::FromUtf8(m_dir.Path()));
        SetCurrentLanguageId(id);
    }
    ~ScopedLanguage()
    {
        SetLanguageFolder(L"");
        SetCurrentLanguageId(0);
    }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

    // Adds the file of another language to the same folder and switches to it.
    void Switch(int id, const std::string& lines)
    {
        WriteFile(m_dir / (std::to_string(id) + ".lan"), "[KB.DIALOG]\n" + lines);
        SetCurrentLanguageId(id);
    }

private:
    TempFolder m_dir;
};

} // namespace testenv
