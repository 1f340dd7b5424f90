#pragma once
#include "lumo/Types.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace Lumo {

// Binary resources addressed by (id, type), standing in for the resources of a module:
// the program registers its own, the library carries its font and default scroll bars.
class ResourceModule {
public:
    void Add(UINT id, const std::wstring& type, std::vector<unsigned char> bytes);
    // Null when absent; the bytes live as long as the module.
    const std::vector<unsigned char>* Find(UINT id, const std::wstring& type) const;

private:
    mutable std::mutex m_lock;
    std::map<std::pair<UINT, std::wstring>, std::vector<unsigned char>> m_items;
};

// The library's own resources: "ttf" 106 (the embedded font), "PNG" 101 and 102 (the
// default horizontal and vertical scroll-bar strips, 4 frames each).
ResourceModule& LibraryResources();

constexpr UINT IDR_LUMO_FONT = 106;
constexpr UINT IDB_SCROLL_H = 101;
constexpr UINT IDB_SCROLL_V = 102;

} // namespace Lumo
