#pragma once
#include "lumo/Canvas.h"

#include <memory>
#include <string>
#include <vector>

namespace Lumo {

// A decoded picture: one frame for PNG, every frame of the time dimension for GIF
// (each frame already composed over the previous ones, as a viewer shows it).
class Image {
public:
    // Null when the file cannot be read or decoded.
    static std::unique_ptr<Image> LoadFromFile(const std::wstring& path);
    static std::unique_ptr<Image> LoadFromMemory(const unsigned char* data, std::size_t size);
    static std::unique_ptr<Image> FromCanvas(std::unique_ptr<Canvas> canvas);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Frames of the time dimension (GIF); 1 for still pictures.
    int FrameCount() const { return int(m_frames.size()); }
    // Frame i (clamped to the valid range).
    const Canvas& Frame(int index = 0) const;
    // Display time of frame i in milliseconds (0 when the file gives none).
    int FrameDelay(int index) const;

    void AddFrame(std::unique_ptr<Canvas> frame, int delayMs);

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::unique_ptr<Canvas>> m_frames;
    std::vector<int> m_delays;
};

// One entry of a window's image cache: the image split into state frames side by side.
struct ImgResInfo {
    std::unique_ptr<Image> image;
    int frameWidth = 0; // image width / frame count of the first load
    int height = 0;
    int frameCount = 1;
    std::wstring path;
    UINT resourceId = 0;
};

} // namespace Lumo
