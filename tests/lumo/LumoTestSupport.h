#pragma once
#include "lumo/Canvas.h"
#include "lumo/MControl.h"
#include "lumo/MDialog.h"
#include "lumo/MRender.h"
#include "lumo/Manager.h"
#include "lumo/Messages.h"

#include <cairo.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace LumoTest {
using namespace Lumo;

// Runs before main: every window of the suite lives on SDL's offscreen driver.
inline const bool kHeadless = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    return true;
}();

// A control that records what reaches its hooks and paints itself as one colour per
// state through the caching contract (state 0 normal, 1 hover, 2 pressed).
class ProbeControl : public MControl {
public:
    ProbeControl(MObject* parent, UINT id, Rect rect, std::vector<std::string>* log = nullptr)
        : MControl(parent, id, rect), m_log(log)
    {
    }
    int consumeDown = 1;
    int consumeMove = 1;
    int consumeScroll = 0;
    int consumeKey = 0;
    int dblClk = 0;
    ARGB colors[3] = {0xFF204080, 0xFF40A0E0, 0xFF103050};
    int state = 0;
    int builds = 0;
    std::vector<std::pair<int, UINT>> scrolls;

    void SetDblClk(int v) { m_dblClk = v; }
    void Note(const std::string& what)
    {
        if (m_log)
            m_log->push_back(std::to_string(m_id) + ":" + what);
    }
    int OnControlLButtonDown(UINT, Point) override
    {
        Note("down");
        state = 2;
        return consumeDown;
    }
    int OnControlLButtonUp(UINT, Point) override
    {
        Note("up");
        state = 0;
        return 1;
    }
    int OnControlLButtonDblClk(UINT, Point) override
    {
        Note("dblclk");
        return 1;
    }
    int OnControlRButtonDown(UINT, Point) override
    {
        Note("rdown");
        return 1;
    }
    int OnControlMouseMove(UINT, Point pt) override
    {
        Note("move " + std::to_string(pt.x) + "," + std::to_string(pt.y));
        const int before = state;
        if (state != 2)
            state = m_rect.PtInRect(pt) ? 1 : 0;
        if (state != before)
            UpdateControl(0); // the frames stay valid; only the one shown changes
        return consumeMove;
    }
    int OnControlScroll(int delta, UINT flags, Point) override
    {
        scrolls.emplace_back(delta, flags);
        return consumeScroll;
    }
    int OnControlKeyDown(UINT key, UINT, UINT flags) override
    {
        Note("key " + std::to_string(key) + " " + std::to_string(flags));
        return consumeKey;
    }
    void DrawControl(Canvas& dc, Rect) override
    {
        const int w = m_rect.Width(), h = m_rect.Height();
        if (!GetUpdate() || !GetMemDC()) {
            UpdateMemDC(dc, w * 3, h);
            ++builds;
            Canvas& cache = *GetMemDC();
            for (int i = 0; i < 3; ++i) {
                cache.CopyFrom(dc, m_rect, Point(i * w, 0));
                MRender::DrawColor(cache, Rect(i * w, 0, i * w + w, h), colors[i]);
            }
        }
        dc.CopyFrom(*GetMemDC(), Rect(state * w, 0, state * w + w, h), m_rect.TopLeft());
    }

private:
    std::vector<std::string>* m_log;
};

// An owner that records notifications and redraw requests.
class RecordingOwner : public MObject {
public:
    struct Update {
        Rect rect;
        int erase;
        MControl* control;
    };
    std::vector<Update> updates;
    std::vector<std::vector<LPARAM>> notes;
    int OnBaseMessage(UINT id, UINT code, UINT wParam, LPARAM lParam) override
    {
        notes.push_back({LPARAM(id), LPARAM(code), LPARAM(wParam), lParam});
        return 0;
    }
    int OnControlUpdate(Rect rect, int erase, MControl* control) override
    {
        updates.push_back({rect, erase, control});
        return 0;
    }
};

// A folder of generated skin images, used as the skin folder while it lives.
class TempSkins {
public:
    TempSkins()
    {
        char tmpl[] = "/tmp/lumo-skins-XXXXXX";
        m_dir = mkdtemp(tmpl);
        Manager::SetSkinFolder(std::wstring(m_dir.begin(), m_dir.end()));
    }
    ~TempSkins()
    {
        Manager::SetSkinFolder(L"");
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    // A w x h PNG painted by fn.
    std::string Png(const std::string& name, int w, int h, const std::function<void(cairo_t*)>& fn)
    {
        const std::string path = m_dir + "/" + name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cairo_t* cr = cairo_create(s);
        fn(cr);
        cairo_destroy(cr);
        cairo_surface_write_to_png(s, path.c_str());
        cairo_surface_destroy(s);
        return path;
    }
    const std::string& Dir() const { return m_dir; }

private:
    std::string m_dir;
};

inline void Fill(cairo_t* cr, double x, double y, double w, double h, ARGB c)
{
    cairo_set_source_rgba(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0, AlphaOf(c) / 255.0);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

// Un-premultiplied 0xAARRGGBB of a canvas pixel (exact for opaque pixels).
inline ARGB Pixel(const Canvas& c, int x, int y) { return c.GetPixel(x, y); }

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

} // namespace LumoTest
