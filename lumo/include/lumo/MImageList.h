#pragma once
#include "lumo/Canvas.h"
#include "lumo/Image.h"
#include "lumo/Types.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Lumo {

// One picture of an image list: the image split into `frames` pictures side by side.
struct ImageListEntry {
    std::unique_ptr<Image> image;
    int frameWidth = 0; // image width / frames
    int height = 0;
    UINT id = 0;        // the caller's id
    int frames = 1;
    std::wstring path;
};

// Icons for list rows, loaded from files the caller names. The paths are used as given
// (not resolved against the skin folder), since the pictures come from outside the skin.
// Entries are kept behind pointers, so what the getters return stays valid until
// DelAllImages or the list's end, whatever is inserted meanwhile.
class MImageList {
public:
    MImageList() = default;
    MImageList(const MImageList&) = delete;
    MImageList& operator=(const MImageList&) = delete;

    // Appends; returns the new index, or -1 when the file cannot be read (nothing is added).
    // A frame count below 1 counts as 1.
    int AddImage(const std::wstring& path, UINT id, int frames = 1);
    // Inserts before index (-1 appends); -1 for an index out of range or an unreadable file.
    int InsertImage(int index, const std::wstring& path, UINT id, int frames = 1);

    // The whole image scaled into rect.
    void DrawItemIcon(Canvas& dc, const Rect& rect, int index) const;
    // One frame scaled into rect; the frame is limited to the entry's frame range.
    void DrawItemIcon(Canvas& dc, const Rect& rect, int index, int frame) const;

    // Null when there is no such entry.
    const ImageListEntry* GetItemImageData(int index) const;
    // The first entry with that id, or null.
    const ImageListEntry* GetImageDataByID(UINT id) const;
    // Empty when there is no such entry.
    std::wstring GetImagePath(int index) const;
    std::wstring GetImagePathByID(UINT id) const;
    int GetImageCount() const;
    void DelAllImages();

    // The size the owner draws its icons at (not applied by the list itself).
    void SetDrawImgSize(int cx, int cy);
    Size GetIconSize() const;

private:
    static std::unique_ptr<ImageListEntry> Load(const std::wstring& path, UINT id, int frames);
    // Both expect the lock held.
    const ImageListEntry* At(int index) const;
    const ImageListEntry* ById(UINT id) const;

    mutable std::mutex m_lock;
    std::vector<std::unique_ptr<ImageListEntry>> m_items;
    Size m_drawSize;
};

} // namespace Lumo
