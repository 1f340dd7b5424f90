#include "FontCache.h"

#include "TextEngine.h"
#include "Utf8.h"
#include "lumo/Manager.h"
#include "lumo/ResourceModule.h"

#include <set>

namespace Lumo {
namespace {

// Fonts are added to the process's font map once; windows only keep their own names for them.
bool AddMemoryFontOnce(UINT resourceId, const ResourceModule& module)
{
    static std::mutex lock;
    static std::set<std::pair<const ResourceModule*, UINT>> added;
    std::lock_guard guard(lock);
    if (added.count({&module, resourceId}))
        return true;
    const auto* bytes = module.Find(resourceId, L"ttf");
    if (!bytes || !TextEngine::AddFontMemory(*bytes))
        return false;
    added.insert({&module, resourceId});
    return true;
}

} // namespace

bool FontCache::AddPrivate(const std::wstring& face, const std::wstring& file)
{
    if (!TextEngine::AddFontFile(Utf8::Narrow(file)))
        return false;
    std::lock_guard lock(m_lock);
    m_families[face] = std::make_unique<FontFamily>(FontFamily{face, TextEngine::ResolveFamily(face), true});
    return true;
}

bool FontCache::AddPrivateResource(const std::wstring& face, UINT resourceId)
{
    if (!AddMemoryFontOnce(resourceId, LibraryResources()))
        return false;
    std::lock_guard lock(m_lock);
    m_families[face] = std::make_unique<FontFamily>(FontFamily{face, TextEngine::ResolveFamily(face), true});
    return true;
}

bool FontCache::AddMemoryFont(UINT resourceId) { return AddMemoryFontOnce(resourceId, LibraryResources()); }

const FontFamily* FontCache::Find(const wchar_t*)
{
    const std::wstring face = Manager::GetFontName();
    std::lock_guard lock(m_lock);
    auto& slot = m_families[face];
    if (!slot)
        slot = std::make_unique<FontFamily>(FontFamily{face, TextEngine::ResolveFamily(face), false});
    return slot.get();
}

void FontCache::Clear()
{
    std::lock_guard lock(m_lock);
    m_families.clear();
}

} // namespace Lumo
