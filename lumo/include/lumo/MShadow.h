#pragma once
#include "lumo/Canvas.h"
#include "lumo/Image.h"
#include "lumo/ShadowPicture.h"
#include "lumo/Types.h"

#include <memory>
#include <string>

namespace Lumo {

class MWindow;
class PlatformWindow;

// A drop shadow for a top-level window, shown in a window of its own that takes no
// focus and lets clicks through. The shadow is either computed (darkness, sharpness,
// size, offset, colour) or a skin image drawn as a nine-grid around the window.
//
// The owning window passes every message it handles through OnParentMessage; that is
// how the shadow hides with the window (hidden or minimised), follows its moves and
// size changes and goes away with it.
//
// The shadow window is only shown where the desktop can show per-pixel alpha: shown
// opaque, a shadow would cover the desktop behind it with a dark box, so without
// translucency it stays hidden. The picture is still kept up to date (GetPicture).
// The window's own rectangle is cut out of the picture: how an owned window is stacked
// against its owner is up to the desktop, and the cut keeps the shadow from darkening
// the window should it end up above it.
class MShadow {
public:
    static constexpr int kMaxDarkness = 255;
    static constexpr int kMaxSharpness = 35;
    static constexpr int kMaxSize = 35; // size and offsets lie in -kMaxSize..kMaxSize

    explicit MShadow(MWindow& parent);
    ~MShadow();
    MShadow(const MShadow&) = delete;
    MShadow& operator=(const MShadow&) = delete;

    // Makes the shadow window (owned by the parent, which must exist). When it already
    // exists, `again` makes it anew; otherwise only the show flag changes. 0 on failure.
    int CreateShadow(int show, bool again = false);

    // Setters return 0 and keep the previous value when the value is out of range; a
    // change is drawn at once when the shadow window exists.
    int SetSize(int size);
    int SetSharpness(int sharpness);
    int SetDarkness(int darkness);
    int SetPosition(int x, int y);
    int SetShadowColor(COLORREF color);
    // Switches to the image shadow: a skin path or a PNG of the program's resources,
    // with its nine-grid margins. 0 (and no change) when the image cannot be loaded.
    int SetShadowImage(const std::wstring& path, Rect corners);
    int SetShadowImage(UINT resourceId, Rect corners);
    void SetShadowShow(int show);

    void OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam);

    int GetSize() const { return m_shape.size; }
    int GetSharpness() const { return m_shape.sharpness; }
    int GetDarkness() const { return m_shape.darkness; }
    Point GetPosition() const { return Point(m_shape.offsetX, m_shape.offsetY); }
    COLORREF GetShadowColor() const { return m_shape.color; }
    bool IsImageMode() const { return m_image != nullptr; }
    bool IsShadowShown() const { return m_show; }
    // The shadow window (null before CreateShadow and after the parent is gone).
    PlatformWindow* GetWindow() const { return m_window.get(); }
    // The picture last given to the shadow window, null when there is none.
    const Canvas* GetPicture() const { return m_picture.get(); }

private:
    bool UseImage(std::unique_ptr<Image> image, Rect corners);
    // Makes the picture anew, places the window and shows or hides it.
    void Redraw();
    // Follows a move of the parent; the picture stays.
    void Place();
    void ApplyVisibility();
    Rect TargetRect(const Rect& parent) const;

    MWindow& m_parent;
    std::unique_ptr<PlatformWindow> m_window;
    std::unique_ptr<Canvas> m_picture;
    ShadowShape m_shape;
    std::unique_ptr<Image> m_image; // set in image mode
    Rect m_corners;
    bool m_show = false;
    bool m_parentVisible = false;
    bool m_parentMinimized = false;
    bool m_pendingRedraw = false; // a grown parent is drawn at its next paint
    Size m_lastParentSize;
};

} // namespace Lumo
