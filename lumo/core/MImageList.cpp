#include "lumo/MImageList.h"

#include "lumo/MRender.h"

#include <algorithm>

namespace Lumo {

std::unique_ptr<ImageListEntry> MImageList::Load(const std::wstring& path, UINT id, int frames)
{
    auto image = MRender::LoadImageFromFile(path);
    if (!image)
        return nullptr;
    auto entry = std::make_unique<ImageListEntry>();
    entry->frames = std::max(1, frames);
    entry->frameWidth = image->Width() / entry->frames;
    entry->height = image->Height();
    entry->id = id;
    entry->path = path;
    entry->image = std::move(image);
    return entry;
}

int MImageList::AddImage(const std::wstring& path, UINT id, int frames) { return InsertImage(-1, path, id, frames); }

int MImageList::InsertImage(int index, const std::wstring& path, UINT id, int frames)
{
    {
        std::lock_guard lock(m_lock);
        if (index < -1 || index > int(m_items.size()))
            return -1;
    }
    // Decoding happens outside the lock; the index is checked again against the list as it is then.
    auto entry = Load(path, id, frames);
    if (!entry)
        return -1;
    std::lock_guard lock(m_lock);
    if (index == -1)
        index = int(m_items.size());
    else if (index > int(m_items.size()))
        return -1;
    m_items.insert(m_items.begin() + index, std::move(entry));
    return index;
}

const ImageListEntry* MImageList::At(int index) const
{
    return index >= 0 && index < int(m_items.size()) ? m_items[std::size_t(index)].get() : nullptr;
}

void MImageList::DrawItemIcon(Canvas& dc, const Rect& rect, int index) const
{
    std::lock_guard lock(m_lock);
    const ImageListEntry* e = At(index);
    if (!e || rect.IsRectEmpty())
        return;
    const Canvas& picture = e->image->Frame(0);
    dc.DrawScaled(picture, picture.Bounds(), rect);
}

void MImageList::DrawItemIcon(Canvas& dc, const Rect& rect, int index, int frame) const
{
    std::lock_guard lock(m_lock);
    const ImageListEntry* e = At(index);
    if (!e || rect.IsRectEmpty() || e->frameWidth <= 0)
        return;
    frame = std::clamp(frame, 0, e->frames - 1);
    const Rect source(frame * e->frameWidth, 0, (frame + 1) * e->frameWidth, e->height);
    dc.DrawScaled(e->image->Frame(0), source, rect);
}

const ImageListEntry* MImageList::GetItemImageData(int index) const
{
    std::lock_guard lock(m_lock);
    return At(index);
}

const ImageListEntry* MImageList::ById(UINT id) const
{
    for (const auto& e : m_items)
        if (e->id == id)
            return e.get();
    return nullptr;
}

const ImageListEntry* MImageList::GetImageDataByID(UINT id) const
{
    std::lock_guard lock(m_lock);
    return ById(id);
}

std::wstring MImageList::GetImagePath(int index) const
{
    std::lock_guard lock(m_lock);
    const ImageListEntry* e = At(index);
    return e ? e->path : std::wstring();
}

std::wstring MImageList::GetImagePathByID(UINT id) const
{
    std::lock_guard lock(m_lock);
    const ImageListEntry* e = ById(id);
    return e ? e->path : std::wstring();
}

int MImageList::GetImageCount() const
{
    std::lock_guard lock(m_lock);
    return int(m_items.size());
}

void MImageList::DelAllImages()
{
    std::lock_guard lock(m_lock);
    m_items.clear();
}

void MImageList::SetDrawImgSize(int cx, int cy)
{
    std::lock_guard lock(m_lock);
    m_drawSize = Size{cx, cy};
}

Size MImageList::GetIconSize() const
{
    std::lock_guard lock(m_lock);
    return m_drawSize;
}

} // namespace Lumo
