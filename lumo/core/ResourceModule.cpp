#include "lumo/ResourceModule.h"

#include "resources/EmbeddedResources.h"

namespace Lumo {

void ResourceModule::Add(UINT id, const std::wstring& type, std::vector<unsigned char> bytes)
{
    std::lock_guard lock(m_lock);
    m_items[{id, type}] = std::move(bytes);
}

const std::vector<unsigned char>* ResourceModule::Find(UINT id, const std::wstring& type) const
{
    std::lock_guard lock(m_lock);
    auto it = m_items.find({id, type});
    return it == m_items.end() ? nullptr : &it->second;
}

ResourceModule& LibraryResources()
{
    static ResourceModule* module = [] {
        static ResourceModule m;
        auto font = Embedded::FontBytes();
        m.Add(IDR_LUMO_FONT, L"ttf", std::vector<unsigned char>(font.begin(), font.end()));
        m.Add(IDB_SCROLL_H, L"PNG", Embedded::ScrollBarPng(false));
        m.Add(IDB_SCROLL_V, L"PNG", Embedded::ScrollBarPng(true));
        return &m;
    }();
    return *module;
}

} // namespace Lumo
