#include "lumo/MShadow.h"

#include "ImageCache.h"
#include "lumo/MRender.h"
#include "lumo/MWindow.h"
#include "lumo/Manager.h"
#include "lumo/Messages.h"
#include "lumo/PlatformWindow.h"

namespace Lumo {
namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

} // namespace

MShadow::MShadow(MWindow& parent) : m_parent(parent) {}

MShadow::~MShadow() = default;

int MShadow::CreateShadow(int show, bool again)
{
    const HWND owner = m_parent.GetSafeHwnd();
    if (!owner)
        return 0;
    m_show = show != 0;
    if (m_window && !again) {
        ApplyVisibility();
        return 1;
    }
    m_window.reset();
    m_picture.reset();
    PlatformWindowParams params;
    params.title = L"ShadowWnd";
    params.rect = TargetRect(m_parent.GetWindowRect());
    params.toolWindow = true;
    params.noActivate = true;
    params.clickThrough = true;
    params.owner = owner;
    // No handle of its own: the shadow receives no messages, it follows its parent's.
    m_window = GetPlatformBackend().CreateWindow(params, HWND{});
    if (!m_window)
        return 0;
    m_parentVisible = m_parent.IsWindowVisible() != 0;
    m_parentMinimized = m_parent.IsIconic() != 0;
    Redraw();
    return 1;
}

int MShadow::SetSize(int size)
{
    if (!InRange(size, -kMaxSize, kMaxSize))
        return 0;
    m_shape.size = size;
    Redraw();
    return 1;
}

int MShadow::SetSharpness(int sharpness)
{
    if (!InRange(sharpness, 0, kMaxSharpness))
        return 0;
    m_shape.sharpness = sharpness;
    Redraw();
    return 1;
}

int MShadow::SetDarkness(int darkness)
{
    if (!InRange(darkness, 0, kMaxDarkness))
        return 0;
    m_shape.darkness = darkness;
    Redraw();
    return 1;
}

int MShadow::SetPosition(int x, int y)
{
    if (!InRange(x, -kMaxSize, kMaxSize) || !InRange(y, -kMaxSize, kMaxSize))
        return 0;
    m_shape.offsetX = x;
    m_shape.offsetY = y;
    Redraw();
    return 1;
}

int MShadow::SetShadowColor(COLORREF color)
{
    m_shape.color = color & 0xFFFFFF;
    Redraw();
    return 1;
}

bool MShadow::UseImage(std::unique_ptr<Image> image, Rect corners)
{
    if (!image)
        return false;
    m_image = std::move(image);
    m_corners = corners;
    Redraw();
    return true;
}

int MShadow::SetShadowImage(const std::wstring& path, Rect corners)
{
    return UseImage(MRender::LoadImageFromFile(ResolveSkinPath(path)), corners) ? 1 : 0;
}

int MShadow::SetShadowImage(UINT resourceId, Rect corners)
{
    return UseImage(MRender::LoadImageFromIDResource(resourceId, L"PNG", Manager::GetInstance()), corners) ? 1 : 0;
}

void MShadow::SetShadowShow(int show)
{
    m_show = show != 0;
    ApplyVisibility();
}

void MShadow::OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_window)
        return;
    switch (message) {
    case WM_SHOWWINDOW:
        m_parentVisible = wParam != 0;
        if (m_parentVisible)
            Redraw();
        else
            ApplyVisibility();
        break;
    case WM_SIZE: {
        if (wParam == SIZE_MINIMIZED) {
            m_parentMinimized = true;
            ApplyVisibility();
            break;
        }
        const bool wasMinimized = m_parentMinimized;
        m_parentMinimized = false;
        const Size now{int(LOWORD(WPARAM(lParam))), int(HIWORD(WPARAM(lParam)))};
        // A bigger shadow drawn before the window has painted its new area would show
        // through it; the growth waits for that paint.
        if (!wasMinimized && (now.cx > m_lastParentSize.cx || now.cy > m_lastParentSize.cy)) {
            m_pendingRedraw = true;
            Place();
        } else {
            Redraw();
        }
        break;
    }
    case WM_PAINT:
        if (m_pendingRedraw)
            Redraw();
        break;
    case WM_MOVE:
        Place();
        break;
    case WM_DESTROY:
    case WM_NCDESTROY:
        m_window.reset();
        m_picture.reset();
        m_pendingRedraw = false;
        break;
    default:
        // Activation changes need nothing: the shadow never takes the focus, and its
        // stacking under the window follows from being owned by it.
        break;
    }
}

Rect MShadow::TargetRect(const Rect& parent) const
{
    return m_image ? ImageShadowRect(parent, m_corners) : ComputedShadowRect(parent, m_shape);
}

void MShadow::Redraw()
{
    m_pendingRedraw = false;
    if (!m_window)
        return;
    const Rect parent = m_parent.GetWindowRect();
    const Size size{parent.Width(), parent.Height()};
    m_lastParentSize = size;
    const Rect target = TargetRect(parent);
    m_picture = m_image ? NineGridShadowPicture(m_image->Frame(0), size, m_corners)
                        : ComputeShadowPicture(size, m_shape);
    if (m_picture) {
        Rect hole = parent;
        hole.OffsetRect(-target.left, -target.top);
        m_picture->Clear(hole);
        m_window->SetBounds(target);
    }
    ApplyVisibility();
}

void MShadow::Place()
{
    if (!m_window || !m_picture)
        return;
    // The picture keeps its size until it is drawn anew.
    const Rect target = TargetRect(m_parent.GetWindowRect());
    m_window->SetBounds(Rect(target.left, target.top, target.left + m_picture->Width(),
                             target.top + m_picture->Height()));
}

void MShadow::ApplyVisibility()
{
    if (!m_window)
        return;
    const bool shown = m_show && m_parentVisible && !m_parentMinimized && m_picture &&
                       GetPlatformBackend().SupportsPerPixelAlpha();
    if (!shown) {
        if (m_window->IsVisible())
            m_window->Show(SW_HIDE);
        return;
    }
    if (!m_window->IsVisible())
        m_window->Show(SW_SHOWNOACTIVATE);
    m_window->Present(*m_picture, m_picture->Bounds(), true);
}

} // namespace Lumo
