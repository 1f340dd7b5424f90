#pragma once
#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

// The one dark theme every generated image shares: deep blue-black surfaces, grey
// lines, and a single cyan accent.
namespace Skin {

struct Rgba {
    double r, g, b, a = 1.0;
};

constexpr Rgba kBase{0.035, 0.051, 0.075};       // window body
constexpr Rgba kSurface{0.067, 0.090, 0.125};    // raised panels
constexpr Rgba kSurfaceHi{0.102, 0.133, 0.180};  // hovered surfaces
constexpr Rgba kLine{0.180, 0.220, 0.280};       // frames and separators
constexpr Rgba kText{0.900, 0.930, 0.960};
constexpr Rgba kTextDim{0.470, 0.520, 0.580};
constexpr Rgba kAccent{0.161, 0.714, 0.851};     // #29B6D9
constexpr Rgba kAccentDeep{0.082, 0.447, 0.553};
constexpr Rgba kDanger{0.878, 0.267, 0.290};

void Set(cairo_t* cr, const Rgba& c, double alphaScale = 1.0);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A vertical gradient between two colours over (y0, y1).
void VerticalGradient(cairo_t* cr, double y0, double y1, const Rgba& top, const Rgba& bottom);

// One generated file: name relative to the skin folder and the routine that writes it.
struct Image {
    std::string name;
    std::function<bool(const std::string& path)> write;
};

// Writes a w x h PNG drawn by draw; false on failure.
bool WritePng(const std::string& path, int w, int h, const std::function<void(cairo_t*)>& draw);
// A strip of frames side by side, each fw x fh, frame i drawn by draw(cr, i) at the origin.
bool WriteStrip(const std::string& path, int fw, int fh, int frames, const std::function<void(cairo_t*, int)>& draw);

// Every family adds its images here.
std::vector<Image>& Registry();
struct Register {
    Register(std::string name, std::function<bool(const std::string&)> write)
    {
        Registry().push_back({std::move(name), std::move(write)});
    }
};

} // namespace Skin
