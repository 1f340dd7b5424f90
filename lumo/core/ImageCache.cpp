#include "ImageCache.h"

#include "lumo/MRender.h"
#include "lumo/Manager.h"
#include "lumo/ResourceModule.h"

#include <algorithm>

namespace Lumo {

std::wstring ResolveSkinPath(const std::wstring& path)
{
    std::wstring relative = path;
    std::replace(relative.begin(), relative.end(), L'\\', L'/');
    while (!relative.empty() && relative.front() == L'/')
        relative.erase(relative.begin());
    return Manager::GetSkinFolder() + relative;
}

std::unique_ptr<ImgResInfo> ImageCache::Make(std::unique_ptr<Image> image, int frames)
{
    if (!image)
        return nullptr;
    auto info = std::make_unique<ImgResInfo>();
    info->frameCount = std::max(1, frames);
    info->frameWidth = image->Width() / info->frameCount;
    info->height = image->Height();
    info->image = std::move(image);
    return info;
}

const ImgResInfo* ImageCache::AddByPath(const std::wstring& path, int frames)
{
    if (path.empty())
        return nullptr;
    std::lock_guard lock(m_lock);
    auto it = m_byPath.find(path);
    if (it != m_byPath.end())
        return it->second.get();
    auto info = Make(MRender::LoadImageFromFile(ResolveSkinPath(path)), frames);
    if (!info)
        return nullptr;
    info->path = path;
    return (m_byPath[path] = std::move(info)).get();
}

const ImgResInfo* ImageCache::AddById(UINT id, const std::wstring& type, int frames, bool inProgram)
{
    std::lock_guard lock(m_lock);
    auto& map = inProgram ? m_program : m_library;
    auto it = map.find({id, type});
    if (it != map.end())
        return it->second.get();
    const ResourceModule* module = inProgram ? Manager::GetInstance() : &LibraryResources();
    auto info = Make(MRender::LoadImageFromIDResource(id, type, module), frames);
    if (!info)
        return nullptr;
    info->resourceId = id;
    return (map[{id, type}] = std::move(info)).get();
}

void ImageCache::Clear()
{
    std::lock_guard lock(m_lock);
    m_byPath.clear();
    m_program.clear();
    m_library.clear();
}

} // namespace Lumo
