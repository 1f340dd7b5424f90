#include "shell/Settings.h"

#include "lumo/Manager.h"
#include "platform/Settings.h"
#include "platform/TextCodec.h"
#include "xml/XmlDocument.h"

namespace {
constexpr std::wstring_view kLanguageValue = L"LCID";
// Values were read into a 255-byte buffer of wide characters.
constexpr size_t kMaxValueChars = 127;

platform::Settings ProgramSettings()
{
    return platform::Settings(platform::Settings::FolderFor(platform::ToUtf8(Lumo::Manager::GetDeviceName())));
}

int ReadInt(const platform::Settings& settings, std::wstring_view name)
{
    const auto value = settings.Read(platform::ToUtf8(name));
    if (!value)
        return 0;
    return LeadingInt(platform::FromUtf8(*value).substr(0, kMaxValueChars));
}
} // namespace

int ReadRegistryInt(std::wstring_view name)
{
    const platform::Settings settings = ProgramSettings();
    if (!settings.FolderExists()) {
        settings.CreateFolder();
        return 0;
    }
    return ReadInt(settings, name);
}

std::wstring ReadRegistryString(std::wstring_view name)
{
    const auto value = ProgramSettings().Read(platform::ToUtf8(name));
    return value ? platform::FromUtf8(*value) : std::wstring();
}

void WriteRegistryString(std::wstring_view name, std::wstring_view text)
{
    const platform::Settings settings = ProgramSettings();
    if (settings.CreateFolder())
        settings.Write(platform::ToUtf8(name), platform::ToUtf8(text));
}

int ReadLanguageId()
{
    const platform::Settings settings = ProgramSettings();
    if (!settings.FolderExists())
        return settings.CreateFolder() ? 0 : 1033;
    return ReadInt(settings, kLanguageValue);
}

void WriteLanguageId(int id)
{
    WriteRegistryString(kLanguageValue, std::to_wstring(id));
}
