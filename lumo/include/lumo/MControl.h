#pragma once
#include "lumo/Canvas.h"
#include "lumo/ControlList.h"
#include "lumo/MObject.h"

#include <atomic>
#include <memory>
#include <string>

namespace Lumo {

class PaintManager;

// The system cursors a control can ask for (SetCursorEx).
enum class CursorKind { None, Arrow, Wait, Cross, SizeWE, SizeNS, Hand, Help };

// Base of every windowless control. A control draws itself into its window's back buffer,
// receives the input its owner routes down to it, and reports to its owner (parent).
// The non-virtual On... operations route; the virtual OnControl... hooks are what a
// concrete control overrides.
class MControl : public MObject {
public:
    MControl(MObject* parent, UINT id, Rect rect, int visible = 1, int enabled = 1, int response = 1);
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    const wchar_t* GetClassNameW() const override { return L"LumoControl"; }

    virtual void InitControl(PaintManager* manager);
    virtual int PtInRect(Point pt);
    virtual void DrawControl(Canvas& dc, Rect clip) = 0;
    virtual int DrawSubControls(Canvas& dc, Rect clip);
    virtual int IsDraw(Point pt);
    virtual void SetUpdate(int update, DWORD color);
    virtual int SetControlFocus(int focus);
    virtual void InitUI(Rect client);
    virtual int OnMousePointChange(Point& pt);
    virtual int OnCheckMouseResponse(UINT flags, Point pt);
    virtual int OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual int OnMessage(UINT id, UINT code, UINT wParam, LPARAM lParam);
    virtual void SetControlRect(Rect rect);
    virtual void SetControlVisible(int visible);
    virtual void SetControlWndVisible(int visible);
    virtual void SetControlEnabled(int enabled);
    virtual int OnControlTimer();
    virtual Canvas* GetControlDropBitmap();
    virtual int OnControlMouseMove(UINT flags, Point pt);
    virtual int OnControlSetCursor(UINT flags, Point pt);
    virtual int OnControlLButtonDown(UINT flags, Point pt);
    virtual int OnControlLButtonUp(UINT flags, Point pt);
    virtual int OnControlLButtonDblClk(UINT flags, Point pt);
    virtual int OnControlScroll(int delta, UINT flags, Point pt);
    virtual int OnControlRButtonDown(UINT flags, Point pt);
    virtual int OnControlRButtonUp(UINT flags, Point pt);
    virtual int OnControlRButtonDblClk(UINT flags, Point pt);
    virtual int OnControlKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnPositionChange();
    // Invalidates the control's rectangle (or rect) in the window; all of it when layered.
    virtual void InvalidateRect(const Rect* rect, int erase);

    // Geometry and flags.
    void SetRect(Rect rect);
    void SetRect(int x, int y, int cx, int cy);
    Rect GetRect() const { return m_rect; }
    void SetVisible(int visible);
    void SetVisible(int visible, int update);
    void SetEnabled(int enabled);
    int IsVisible() const { return m_visible; }
    int IsEnabled() const { return m_enabled; }
    int IsParentVisible() const;
    void SetDragDrop(int drag) { m_dragDrop = drag; }
    int IsDragDrop() const { return m_dragDrop; }
    void SetRresponse(int response) { m_response = response; }
    int GetRresponse() const { return m_response; }
    void SetTabStop(int tabStop) { m_tabStop = tabStop; }
    int IsTabStop() const { return m_tabStop; }
    int GetDblClk() const { return m_dblClk; }
    int IsPressed() const { return m_pressed; }
    int IsKeyDown() const { return m_keyDown; }
    int IsFocused() const { return m_focused; }
    int GetUpdate() const { return m_update.load(); }
    void UseImageECM(int use) { m_imageECM = use; }

    // Redraw requests to the owner.
    void UpdateControl(int erase = 0, int force = 0);
    void UpdateControl(Rect rect, int force, int erase);

    // Children.
    MControl* GetControl(UINT id);
    ControlList& GetControls() { return m_controls; }
    ControlList& GetAreaControls() { return m_areaControls; }
    void RemoveControl(MControl* control);
    void RemoveAllControl();
    // Lists a child the caller made: kind 1 above the face, kind 0 beneath it.
    MControl* AddChild(std::unique_ptr<MControl> child, UINT kind);

    void SetManager(PaintManager* manager);
    PaintManager* GetManager() const { return m_manager; }
    MObject* GetParantObject() const { return m_parent; }
    void SetParent(MObject* parent) { m_parent = parent; }
    UINT GetControlID() const { return m_id; }
    MControl* GetHotChild() const { return m_hotChild; }

    int SendMessageW(UINT code, UINT wParam, LPARAM lParam);

    void AddMTimer();
    void SetRunTimer(int run) { m_runTimer = run; }
    int IsRunTimer() const { return m_runTimer; }

    void SetTooltip(const wchar_t* text) { m_tooltip = text ? text : L""; }
    const std::wstring& GetTooltip() const { return m_tooltip; }
    void ClearTooltip();
    void SetTooltip(const std::wstring& text, Rect rect);

    // "arrow", "wait", "cross", "sizewe", "sizens", "hand", "help"; anything else changes nothing.
    void SetCursorEx(const wchar_t* name);
    CursorKind GetCursorKind() const { return m_cursor; }

    void OnFocus(int focus) { SetControlFocus(focus); }
    int IsFocusControl() const;

    // Routing operations (the window calls them on its top-level controls).
    int OnMouseMove(UINT flags, Point pt);
    int OnLButtonDown(UINT flags, Point pt);
    int OnLButtonUp(UINT flags, Point pt);
    int OnLButtonDblClk(UINT flags, Point pt);
    int OnRButtonDown(UINT flags, Point pt);
    int OnRButtonUp(UINT flags, Point pt);
    int OnRButtonDblClk(UINT flags, Point pt);
    int OnScroll(int delta, UINT flags, Point pt);
    int OnKeyDown(UINT key, UINT repeat, UINT flags);
    int OnKeyUp(UINT, UINT, UINT) { return 0; }
    int OnTimer();
    void Draw(Canvas& dc, Rect clip);

    // The control's cached face: sets update to 1 and (re)creates the cache when its size changes.
    void UpdateMemDC(Canvas& dc, int cx, int cy);
    Canvas* GetMemDC() const { return m_cache.get(); }

protected:
    enum class Button { Left, Right };
    int RouteButtonDown(Button button, UINT flags, Point pt);
    int RouteButtonUp(Button button, UINT flags, Point pt);
    int RouteDblClk(Button button, UINT flags, Point pt);
    void TakeFocus();
    // Whether a child with this id gets the untranslated point (a panel's own scroll bars).
    static bool KeepsWindowPoint(const MControl* child) { return child->m_id == 1 || child->m_id == 2; }

    MObject* m_parent = nullptr;
    PaintManager* m_manager = nullptr;
    UINT m_id = 0;
    Rect m_rect;
    int m_visible = 1;
    int m_enabled = 1;
    int m_dragDrop = 0;
    int m_response = 1;
    int m_tabStop = 0;
    int m_dblClk = 0;
    int m_pressed = 0;
    int m_keyDown = 0;
    int m_focused = 0;
    std::atomic<int> m_update{0};
    int m_runTimer = 0;
    int m_imageECM = 0;
    ControlList m_areaControls;
    ControlList m_controls;
    MControl* m_hotChild = nullptr;
    std::unique_ptr<Canvas> m_cache;
    std::wstring m_tooltip;
    CursorKind m_cursor = CursorKind::None;
};

} // namespace Lumo
