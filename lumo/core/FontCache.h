#pragma once
#include "lumo/Types.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace Lumo {

// A font family as the library draws with it.
struct FontFamily {
    std::wstring face;     // the name it was asked for
    std::wstring resolved; // the family fontconfig picks for it
    bool isPrivate = false;
};

// A window's font families: private ones added from files or resources first, then the
// system's, cached by face name.
class FontCache {
public:
    bool AddPrivate(const std::wstring& face, const std::wstring& file);
    bool AddPrivateResource(const std::wstring& face, UINT resourceId);
    bool AddMemoryFont(UINT resourceId);
    // Every lookup answers for the library's global face (Manager::GetFontName).
    const FontFamily* Find(const wchar_t* ignoredFace);
    void Clear();

private:
    std::mutex m_lock;
    std::map<std::wstring, std::unique_ptr<FontFamily>> m_families;
};

} // namespace Lumo
