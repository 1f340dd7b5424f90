#include "DragSession.h"

#include "lumo/MWindow.h"
#include "lumo/Messages.h"
#include "lumo/PlatformWindow.h"

#include <cstdlib>

namespace Lumo {
namespace {
// The picture under the pointer is see-through where the desktop allows it.
constexpr double kGhostOpacity = 0.7;

Rect CentredOn(const Canvas& picture, Point screen)
{
    const int left = screen.x - picture.Width() / 2;
    const int top = screen.y - picture.Height() / 2;
    return Rect(left, top, left + picture.Width(), top + picture.Height());
}
} // namespace

bool DragSession::IsDragMove(Point from, Point to)
{
    return std::abs(to.x - from.x) >= kThreshold || std::abs(to.y - from.y) >= kThreshold;
}

DragSession::DragSession(MWindow& source, const Canvas& picture, Point screen) : m_source(source)
{
    m_picture = Canvas::Create(std::max(1, picture.Width()), std::max(1, picture.Height()));
    if (m_picture)
        m_picture->CopyFrom(picture, picture.Bounds(), Point(0, 0));
    if (PlatformWindow* window = m_source.GetPlatformWindow())
        window->ConfineCursor(true);
    m_source.ReleaseCapture();
    if (!m_picture)
        return;
    m_screen = CentredOn(*m_picture, screen);
    auto& backend = GetPlatformBackend();
    m_window = backend.CreateWindow(PlatformWindowParams::Floating(m_screen, m_source.GetSafeHwnd(), true), HWND{});
    if (!m_window)
        return;
    m_translucent = backend.SupportsPerPixelAlpha();
    if (m_translucent) {
        m_ghost = Canvas::Create(m_picture->Width(), m_picture->Height());
        if (m_ghost)
            m_ghost->DrawScaled(*m_picture, m_picture->Bounds(), m_ghost->Bounds(), kGhostOpacity);
    }
    m_window->Show(SW_SHOWNOACTIVATE);
    Present();
}

void DragSession::Present()
{
    const Canvas& shown = m_ghost ? *m_ghost : *m_picture;
    m_window->Present(shown, shown.Bounds(), m_translucent);
}

DragSession::~DragSession() { Release(); }

void DragSession::Move(Point screen)
{
    if (!m_active || !m_picture)
        return;
    m_screen = CentredOn(*m_picture, screen);
    if (m_window) {
        m_window->SetBounds(m_screen);
        Present(); // a moved window may have lost its picture
    }
}

std::unique_ptr<Canvas> DragSession::Finish()
{
    Release();
    return std::move(m_picture);
}

void DragSession::Release()
{
    if (!m_active)
        return;
    m_active = false;
    m_window.reset();
    if (PlatformWindow* window = m_source.GetPlatformWindow())
        window->ConfineCursor(false);
}

} // namespace Lumo
