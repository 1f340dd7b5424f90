// Ownership side of the paint manager: binding to the window, the control lists,
// images, fonts, timers and release.
#include "lumo/PaintManager.h"

#include "Caret.h"
#include "DragSession.h"
#include "ControlTimers.h"
#include "FontCache.h"
#include "ImageCache.h"
#include "Utf8.h"
#include "lumo/ControlFactory.h"
#include "lumo/MControl.h"
#include "lumo/MRender.h"
#include "lumo/MWindow.h"
#include "lumo/Manager.h"
#include "lumo/Overlay.h"
#include "lumo/PlatformWindow.h"
#include "lumo/ResourceModule.h"
#include "lumo/TooltipWindow.h"

#include <algorithm>
#include <sys/stat.h>

namespace Lumo {

PaintManager::PaintManager(MWindow* owner)
    : m_owner(owner), m_images(std::make_unique<ImageCache>()), m_fonts(std::make_unique<FontCache>()),
      m_overlay(std::make_unique<Overlay>(*this)), m_timers(std::make_unique<ControlTimers>()),
      m_caret(std::make_unique<Caret>(*this))
{
}

PaintManager::~PaintManager()
{
    // The tick must be gone before anything it reaches is.
    MTimer::KillTimer();
    m_destroyed = false;
    DestroyData();
}

void PaintManager::Init(HWND hwnd, MWindow* owner)
{
    if (!hwnd)
        return;
    m_hwnd = hwnd;
    m_owner = owner;
    m_destroyed = false;
    const std::wstring arial = Manager::GetModuleFolder() + L"font/Arial.ttf";
    struct stat st {};
    if (stat(Utf8::Narrow(arial).c_str(), &st) == 0)
        AddTempFont(L"Arial", arial.c_str());
    m_initialized = true;
    m_scrollV = IDB_SCROLL_V;
    m_scrollH = IDB_SCROLL_H;
    AddGDITempFont(IDR_LUMO_FONT);
    if (owner && owner->GetPlatformWindow())
        owner->GetPlatformWindow()->SetDragTest([this](Point pt) { return IsDragSpot(pt); });
}

Rect PaintManager::GetClientRect() const { return m_owner ? m_owner->GetClientRect() : Rect(); }

void PaintManager::DestroyData()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    MTimer::KillTimer();
    m_tickId = 0;
    ClearTimers();
    {
        std::lock_guard lock(m_tickLock);
        m_tickControls.clear();
    }
    ClearAllControls();
    m_hover = m_focus = m_tooltipOwner = nullptr;
    m_pressed = m_captured = m_tracking = false;
    m_drag.reset();
    m_dragArmed = false;
    m_tooltipWindow.reset();
    m_bkImage.reset();
    m_backBuffer.reset();
    m_overlay->Reset();
    ClearImgResInfo();
    ClearTempFont();
    if (m_owner && m_owner->GetPlatformWindow())
        m_owner->GetPlatformWindow()->SetDragTest(nullptr);
    m_initialized = false;
    m_hwnd = HWND{};
}

// ---- controls ----

MControl* PaintManager::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, Rect rect,
                                      const wchar_t* title, int visible, int enabled)
{
    if (kind > 1)
        return nullptr;
    auto control = ControlFactory::Create(ControlFactory::Site::Window, parent, className, id, rect, title, visible,
                                          enabled);
    if (!control)
        return nullptr;
    control->SetManager(this);
    return AddControl(std::move(control), kind);
}

MControl* PaintManager::AddControl(std::unique_ptr<MControl> control, UINT kind)
{
    if (!control)
        return nullptr;
    if (!control->GetManager())
        control->SetManager(this);
    if (kind == 1)
        return m_controls.Add(std::move(control));
    if (kind == 0)
        return m_areas.Add(std::move(control));
    return nullptr;
}

MControl* PaintManager::GetControl(UINT id)
{
    MControl* found = nullptr;
    auto search = [&](MControl* c) {
        if (c->GetControlID() == id)
            found = c;
        else
            found = c->GetControl(id);
        return found != nullptr;
    };
    if (!m_controls.ForEach(search))
        m_areas.ForEach(search);
    return found;
}

void PaintManager::RemoveControl(MControl* control)
{
    if (!control)
        return;
    if (m_focus == control)
        SetFocusControl(nullptr);
    if (m_controls.Remove(control) || m_areas.Remove(control))
        return;
    if (auto* owner = dynamic_cast<MControl*>(control->GetParantObject()))
        owner->RemoveControl(control);
}

void PaintManager::ClearControls() { m_controls.Clear(); }
void PaintManager::ClearAreaControls() { m_areas.Clear(); }

void PaintManager::ClearAllControls()
{
    m_areas.Clear();
    m_controls.Clear();
}

void PaintManager::OnControlDestroyed(MControl* control)
{
    if (m_hover == control)
        m_hover = nullptr;
    if (m_focus == control)
        m_focus = nullptr;
    if (m_tooltipOwner == control) {
        m_tooltipOwner = nullptr;
        m_tooltipText.clear();
        m_tooltipId = 0;
    }
    m_caret->Forget(control);
    {
        std::lock_guard lock(m_tickLock);
        std::erase(m_tickControls, control);
    }
    m_timers->KillAll(m_hwnd, control);
}

void PaintManager::SetFocusControl(MControl* control)
{
    if (m_focus == control)
        return;
    MControl* previous = m_focus;
    m_focus = control;
    if (previous)
        previous->SetControlFocus(0);
    if (control)
        control->SetControlFocus(1);
}

// ---- images, fonts ----

const ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* path, int frames)
{
    return path ? m_images->AddByPath(path, frames) : nullptr;
}

const ImgResInfo* PaintManager::AddImgResInfo(UINT id, const std::wstring& type, int frames, int inProgram)
{
    return m_images->AddById(id, type, frames, inProgram == 1);
}

void PaintManager::ClearImgResInfo() { m_images->Clear(); }

bool PaintManager::AddTempFont(const wchar_t* face, const wchar_t* file)
{
    return face && file && m_fonts->AddPrivate(face, file);
}

bool PaintManager::AddTempFont(const wchar_t* face, UINT resourceId)
{
    return face && m_fonts->AddPrivateResource(face, resourceId);
}

const FontFamily* PaintManager::FindTempFont(const wchar_t* face) { return m_fonts->Find(face); }
bool PaintManager::AddGDITempFont(UINT resourceId) { return m_fonts->AddMemoryFont(resourceId); }
void PaintManager::ClearTempFont() { m_fonts->Clear(); }

int PaintManager::LoadBKImage(const std::wstring& path)
{
    auto image = MRender::LoadImageFromFile(ResolveSkinPath(path));
    if (!image)
        return 0;
    m_bkImage = std::move(image);
    Invalidate();
    return 1;
}

int PaintManager::LoadBKImage(UINT resourceId, const std::wstring& type)
{
    auto image = MRender::LoadImageFromIDResource(resourceId, type, Manager::GetInstance());
    if (!image)
        return 0;
    m_bkImage = std::move(image);
    Invalidate();
    return 1;
}

void PaintManager::SetBackMode(enumBackMode mode, int value)
{
    m_backMode = mode;
    m_backModeValue = value;
    Invalidate();
}

void PaintManager::SetBackColor(COLORREF body, COLORREF border)
{
    m_bodyColor = body;
    m_borderColor = border;
    Invalidate();
}

void PaintManager::SetLayeredWindow(int layered)
{
    m_layered = layered ? 1 : 0;
    if (m_owner && m_owner->GetSafeHwnd())
        m_owner->ModifyExStyle(m_layered ? 0 : WS_EX_LAYERED, m_layered ? WS_EX_LAYERED : 0);
    Invalidate();
}

void PaintManager::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_scrollV = vertical;
    m_scrollH = horizontal;
}

// ---- timers ----

UINT PaintManager::SetMTimer(UINT ms)
{
    if (m_tickId)
        MTimer::KillTimer(m_tickId);
    m_tickId = MTimer::SetTimer(ms, L"", 0);
    return m_tickId;
}

void PaintManager::KillMTimer(UINT id)
{
    MTimer::KillTimer(id);
    if (id == m_tickId)
        m_tickId = 0;
}

void PaintManager::KillMTimer()
{
    MTimer::KillTimer();
    m_tickId = 0;
}

void PaintManager::AddMTimer(MControl* control)
{
    if (!control)
        return;
    std::lock_guard lock(m_tickLock);
    if (std::find(m_tickControls.begin(), m_tickControls.end(), control) == m_tickControls.end())
        m_tickControls.push_back(control);
}

void PaintManager::DeleteFSTimer(MControl* control)
{
    std::lock_guard lock(m_tickLock);
    std::erase(m_tickControls, control);
}

void PaintManager::OnMTimer(UINT id)
{
    if (id == 0 || id != m_tickId)
        return;
    // A tick that finds the window thread busy with the controls is skipped rather than
    // waited for: the next one comes 10 ms later, and nobody can wait on the tick in turn.
    std::unique_lock tree(ControlTreeLock(), std::try_to_lock);
    if (!tree.owns_lock())
        return;
    std::lock_guard lock(m_tickLock);
    for (std::size_t i = 0; i < m_tickControls.size(); ++i) {
        MControl* c = m_tickControls[i];
        if (c->IsRunTimer() && c->IsVisible() && c->IsParentVisible())
            c->OnTimer();
    }
}

int PaintManager::SetTimer(MControl* control, UINT key, UINT ms) { return m_timers->Set(m_hwnd, control, key, ms); }
int PaintManager::KillTimer(MControl* control, UINT key) { return m_timers->Kill(m_hwnd, control, key); }
int PaintManager::KillTimer(MControl* control) { return m_timers->KillAll(m_hwnd, control); }
void PaintManager::ClearTimers() { m_timers->Clear(m_hwnd); }

void PaintManager::HandleTimer(UINT id)
{
    if (m_overlay->OnTimer(id) || m_caret->OnTimer(id) || (m_tooltipWindow && m_tooltipWindow->OnTimer(id)))
        return;
    m_timers->Dispatch(id);
}

// ---- overlay, caret ----

void PaintManager::SetMessage(const std::wstring& text, Rect rect, MsgLevel level)
{
    m_overlay->SetMessage(text, rect, level);
}

void PaintManager::SetProgress(int percent, const std::wstring& text, Rect rect)
{
    m_overlay->SetProgress(percent, text, rect);
}

void PaintManager::CreateCaret(const Canvas* bitmap, int width, int height)
{
    m_caret->Create(bitmap, width, height);
}
void PaintManager::SetCaretPos(MControl* edit, int x, int y) { m_caret->SetPos(edit, x, y); }
void PaintManager::ShowCaret(int show) { m_caret->Show(show); }
void PaintManager::DrawCaret(Canvas& dc, const Rect& clip) { m_caret->Draw(dc, clip); }
MControl* PaintManager::GetCurrentCaretObject() const { return m_caret->Owner(); }

} // namespace Lumo
