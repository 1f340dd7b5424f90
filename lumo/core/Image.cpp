#include "lumo/Image.h"

#include "Utf8.h"

#include <cairo.h>
#include <gif_lib.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace Lumo {
namespace {

constexpr std::size_t kMaxFileBytes = 64u << 20;
constexpr int kMaxSide = 8192;
constexpr int kMaxGifFrames = 1024;

struct MemoryReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length)
{
    auto* r = static_cast<MemoryReader*>(closure);
    if (r->size - r->pos < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->data + r->pos, length);
    r->pos += length;
    return CAIRO_STATUS_SUCCESS;
}

int ReadGif(GifFileType* gif, GifByteType* out, int length)
{
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    if (length <= 0)
        return 0;
    const std::size_t n = std::min<std::size_t>(std::size_t(length), r->size - r->pos);
    std::memcpy(out, r->data + r->pos, n);
    r->pos += n;
    return int(n);
}

std::unique_ptr<Image> DecodePng(const unsigned char* data, std::size_t size)
{
    MemoryReader reader{data, size};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32) {
        // Opaque or grey files come in other formats; draw them into ARGB32.
        const int w = cairo_image_surface_get_width(s);
        const int h = cairo_image_surface_get_height(s);
        auto canvas = Canvas::Create(w, h);
        if (!canvas) {
            cairo_surface_destroy(s);
            return nullptr;
        }
        cairo_set_source_surface(canvas->Cairo(), s, 0, 0);
        cairo_paint(canvas->Cairo());
        cairo_surface_destroy(s);
        return Image::FromCanvas(std::move(canvas));
    }
    return Image::FromCanvas(Canvas::Adopt(s));
}

// Every frame composed onto the picture so far, honouring each frame's disposal.
std::unique_ptr<Image> DecodeGif(const unsigned char* data, std::size_t size)
{
    MemoryReader reader{data, size};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadGif, &error);
    if (!gif)
        return nullptr;
    struct Closer {
        GifFileType* g;
        ~Closer()
        {
            int e = 0;
            DGifCloseFile(g, &e);
        }
    } closer{gif};
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount <= 0)
        return nullptr;
    const int width = gif->SWidth;
    const int height = gif->SHeight;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return nullptr;

    auto image = std::make_unique<Image>();
    std::vector<std::uint32_t> screen(std::size_t(width) * height, 0);
    std::vector<std::uint32_t> saved;
    for (int i = 0; i < gif->ImageCount && i < kMaxGifFrames; ++i) {
        const SavedImage& frame = gif->SavedImages[i];
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
        if (!map || !frame.RasterBits)
            continue;
        if (gcb.DisposalMode == DISPOSE_PREVIOUS)
            saved = screen;
        const int fl = frame.ImageDesc.Left, ft = frame.ImageDesc.Top;
        const int fw = frame.ImageDesc.Width, fh = frame.ImageDesc.Height;
        for (int y = 0; y < fh; ++y) {
            const int sy = ft + y;
            if (sy < 0 || sy >= height)
                continue;
            for (int x = 0; x < fw; ++x) {
                const int sx = fl + x;
                if (sx < 0 || sx >= width)
                    continue;
                const int index = frame.RasterBits[std::size_t(y) * fw + x];
                if (index == gcb.TransparentColor || index >= map->ColorCount)
                    continue;
                const GifColorType c = map->Colors[index];
                screen[std::size_t(sy) * width + sx] =
                    0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
            }
        }
        auto canvas = Canvas::Create(width, height);
        if (!canvas)
            return nullptr;
        canvas->BeginRaw();
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(canvas->Surface()) +
                                                         std::size_t(y) * cairo_image_surface_get_stride(canvas->Surface()));
            std::memcpy(row, &screen[std::size_t(y) * width], std::size_t(width) * 4);
        }
        canvas->EndRaw();
        image->AddFrame(std::move(canvas), gcb.DelayTime * 10);
        if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = std::max(0, ft); y < std::min(height, ft + fh); ++y)
                for (int x = std::max(0, fl); x < std::min(width, fl + fw); ++x)
                    screen[std::size_t(y) * width + x] = 0;
        } else if (gcb.DisposalMode == DISPOSE_PREVIOUS && !saved.empty()) {
            screen = saved;
        }
    }
    return image->FrameCount() > 0 ? std::move(image) : nullptr;
}

} // namespace

std::unique_ptr<Image> Image::LoadFromFile(const std::wstring& path)
{
    std::ifstream in(Utf8::Narrow(path), std::ios::binary);
    if (!in)
        return nullptr;
    std::vector<unsigned char> bytes;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.insert(bytes.end(), buf, buf + in.gcount());
        if (bytes.size() > kMaxFileBytes)
            return nullptr;
    }
    return LoadFromMemory(bytes.data(), bytes.size());
}

std::unique_ptr<Image> Image::LoadFromMemory(const unsigned char* data, std::size_t size)
{
    if (!data || size < 8)
        return nullptr;
    static const unsigned char kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (std::memcmp(data, kPng, 8) == 0)
        return DecodePng(data, size);
    if (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0)
        return DecodeGif(data, size);
    return nullptr;
}

std::unique_ptr<Image> Image::FromCanvas(std::unique_ptr<Canvas> canvas)
{
    if (!canvas || canvas->Width() > kMaxSide || canvas->Height() > kMaxSide)
        return nullptr;
    auto image = std::make_unique<Image>();
    image->AddFrame(std::move(canvas), 0);
    return image;
}

void Image::AddFrame(std::unique_ptr<Canvas> frame, int delayMs)
{
    if (!frame)
        return;
    if (m_frames.empty()) {
        m_width = frame->Width();
        m_height = frame->Height();
    }
    m_frames.push_back(std::move(frame));
    m_delays.push_back(delayMs);
}

const Canvas& Image::Frame(int index) const
{
    index = std::clamp(index, 0, int(m_frames.size()) - 1);
    return *m_frames[std::size_t(index)];
}

int Image::FrameDelay(int index) const
{
    return index >= 0 && index < int(m_delays.size()) ? m_delays[std::size_t(index)] : 0;
}

} // namespace Lumo
