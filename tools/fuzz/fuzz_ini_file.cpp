// Feeds arbitrary bytes to the INI reader of the language files and to the settings parser.
#include "platform/IniFile.h"
#include "platform/Settings.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    platform::IniFile ini;
    ini.LoadFromBytes(bytes);
    for (int key : {0, 1, 65, 150})
        if (ini.Get(L"KB.DIALOG", std::to_wstring(key)).size() > platform::IniFile::kMaxValueLength)
            __builtin_trap();
    const auto values = platform::Settings::Parse(bytes);
    if (platform::Settings::Parse(platform::Settings::Serialize(values)) != values)
        __builtin_trap(); // what is written must read back the same
    return 0;
}
