#pragma once
#include "lumo/Image.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace Lumo {

// A window's decoded images, shared by all its controls. The first load of an image
// fixes its frame count; controls keep plain pointers into the cache until it is cleared.
class ImageCache {
public:
    // Key: the path as given; file: skin folder + path.
    const ImgResInfo* AddByPath(const std::wstring& path, int frames);
    const ImgResInfo* AddById(UINT id, const std::wstring& type, int frames, bool inProgram);
    void Clear();

private:
    static std::unique_ptr<ImgResInfo> Make(std::unique_ptr<Image> image, int frames);

    std::mutex m_lock;
    std::map<std::wstring, std::unique_ptr<ImgResInfo>> m_byPath;
    std::map<std::pair<UINT, std::wstring>, std::unique_ptr<ImgResInfo>> m_program;
    std::map<std::pair<UINT, std::wstring>, std::unique_ptr<ImgResInfo>> m_library;
};

// Skin folder + relative path, with the design's backslashes turned into '/'.
std::wstring ResolveSkinPath(const std::wstring& path);

} // namespace Lumo
