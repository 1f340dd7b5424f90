#pragma once
#include "lumo/Canvas.h"
#include "lumo/ControlList.h"
#include "lumo/MTimer.h"
#include "lumo/MessageLoop.h"
#include "lumo/Types.h"

#include <memory>
#include <mutex>
#include <string>

namespace Lumo {

class MControl;
class MObject;
class MWindow;
class ImageCache;
class FontCache;
class Overlay;
class ControlTimers;
class Caret;
class TooltipWindow;
class DragSession;
struct ImgResInfo;
struct FontFamily;
class Image;
enum class CursorKind;

enum enumBackMode { BACK_MODE_NORMAL = 0, BACK_MODE_NINEGRID = 1 };
enum MsgLevel { MSG_INFO = 0, MSG_WARNING = 1, MSG_ERROR = 2 };

// Reserved window timer ids of the overlay and the caret.
constexpr UINT TIMER_OVERLAY_HOLD = 66;
constexpr UINT TIMER_OVERLAY_FADE = 88;
constexpr UINT TIMER_PROGRESS = 99;
constexpr UINT TIMER_CARET = 6553;

// The heart of one window: owns its top-level controls, routes the window's input to
// them, composes the window's picture and keeps its images, fonts and timers.
class PaintManager : public MTimer {
public:
    explicit PaintManager(MWindow* owner = nullptr);
    ~PaintManager() override;

    // Binds to the window (called from the window's OnInitDialog).
    void Init(HWND hwnd, MWindow* owner);
    bool IsInitialized() const { return m_initialized; }
    HWND GetHwnd() const { return m_hwnd; }
    MWindow* GetMDialog() const { return m_owner; }
    Rect GetClientRect() const;
    // Releases every control, image, font and timer; runs once.
    void DestroyData();

    // ---- controls ----
    MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, Rect rect,
                            const wchar_t* title, int visible, int enabled);
    // Lists a control built by the caller: kind 1 control, kind 0 area.
    MControl* AddControl(std::unique_ptr<MControl> control, UINT kind);
    ControlList& GetControls() { return m_controls; }
    ControlList& GetAreaControls() { return m_areas; }
    MControl* GetControl(UINT id);
    void RemoveControl(MControl* control);
    void ClearControls();
    void ClearAreaControls();
    void ClearAllControls();
    // Drops every reference to a control that is being destroyed.
    void OnControlDestroyed(MControl* control);

    // ---- input ----
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    int PreTranslateMessage(const Message* msg);
    MControl* GetHoverControl() const { return m_hover; }
    MControl* GetFocusControl() const { return m_focus; }
    void SetFocusControl(MControl* control);
    void EnableWndDrag(int enable) { m_wndDrag = enable; }
    int IsWndDragEnabled() const { return m_wndDrag; }
    // Whether a press at this client point would fall on no control and so drag the window.
    bool IsDragSpot(Point pt);
    void SetWindowMixSize(int cx, int cy);
    void SetWindowMaxSize(int cx, int cy);
    Size GetWindowMinSize() const { return m_minTrack; }
    Size GetWindowMaxSize() const { return m_maxTrack; }
    bool IsPressed() const { return m_pressed; }
    bool IsCaptured() const { return m_captured; }
    bool IsActive() const { return m_active; }
    void ShowCursor(CursorKind cursor);

    // ---- tooltip ----
    void ShowTooltip(const std::wstring& text, Rect rect, MControl* owner);
    void ClearTooltip();
    MControl* GetTooltipOwner() const { return m_tooltipOwner; }
    UINT GetTooltipCtrlID() const { return m_tooltipId; }
    void SetTooltipCtrlID(UINT id) { m_tooltipId = id; }
    const std::wstring& GetTooltipText() const { return m_tooltipText; }
    Rect GetTooltipRect() const { return m_tooltipRect; }
    // The tooltip's window, null until a tip was first asked for.
    const TooltipWindow* GetTooltipWindow() const { return m_tooltipWindow.get(); }

    // ---- drag and drop ----
    // Whether a control is being dragged (its picture follows the pointer).
    bool IsDragging() const { return m_drag != nullptr; }

    // ---- painting ----
    void Invalidate();
    void InvalidateRect(Rect rect, int erase);
    int OnControlUpdate(Rect rect, int erase, MControl* control);
    // Composes the pending update area and presents it; returns the painted rectangle.
    Rect OnPaint();
    // Composes rect into the back buffer without presenting (tools, tests).
    void Compose(Rect update);
    // The last composed picture of the whole client area (null before the first paint).
    const Canvas* GetBackBuffer() const { return m_backBuffer.get(); }
    // How many frames have been presented.
    unsigned GetPresentCount() const { return m_presentCount; }
    // Window-thread pause after every paint (15 ms by default; tools and tests set 0).
    void SetPaintPause(int ms) { m_paintPauseMs = ms; }

    int LoadBKImage(const std::wstring& path);
    int LoadBKImage(UINT resourceId, const std::wstring& type);
    void SetBackMode(enumBackMode mode, int value);
    enumBackMode GetBackMode() const { return m_backMode; }
    void SetBackColor(COLORREF body, COLORREF border);
    COLORREF GetBodyColor() const { return m_bodyColor; }
    COLORREF GetBorderColor() const { return m_borderColor; }
    void SetLayeredWindow(int layered);
    int IsLayered() const { return m_layered; }
    void SetScrollResID(UINT vertical, UINT horizontal);
    UINT GetScrollVID() const { return m_scrollV; }
    UINT GetScrollHID() const { return m_scrollH; }
    void SetDefaultEnabledColor(ARGB color) { m_enabledColor = color; }
    ARGB GetDefaultEnabledColor() const { return m_enabledColor; }
    void SetCaptionRect(Rect rect) { m_captionRect = rect; }
    Rect GetCaptionRect() const { return m_captionRect; }

    // ---- images and fonts ----
    // Resolved against the skin folder; the first caller's frame count decides the frame width.
    const ImgResInfo* AddImgResInfo(const wchar_t* path, int frames);
    // From the program's resources (inProgram 1) or the library's own.
    const ImgResInfo* AddImgResInfo(UINT id, const std::wstring& type, int frames, int inProgram);
    void ClearImgResInfo();
    bool AddTempFont(const wchar_t* face, const wchar_t* file);
    bool AddTempFont(const wchar_t* face, UINT resourceId);
    const FontFamily* FindTempFont(const wchar_t* face);
    bool AddGDITempFont(UINT resourceId);
    void ClearTempFont();

    // ---- timers ----
    // The animation tick: one periodic high-resolution timer for the window.
    UINT SetMTimer(UINT ms);
    void KillMTimer(UINT id);
    void KillMTimer();
    UINT GetMTimerID() const { return m_tickId; }
    void AddMTimer(MControl* control);
    void DeleteFSTimer(MControl* control);
    void OnMTimer(UINT id) override;
    // Control timers: WM_TIMER for a control under the caller's key.
    int SetTimer(MControl* control, UINT key, UINT ms);
    int KillTimer(MControl* control, UINT key);
    int KillTimer(MControl* control);
    void ClearTimers();

    // ---- overlay message and progress ----
    void SetMessage(const std::wstring& text, Rect rect, MsgLevel level);
    void SetProgress(int percent, const std::wstring& text, Rect rect);
    const Overlay& GetOverlay() const { return *m_overlay; }

    // ---- caret ----
    void CreateCaret(const Canvas* bitmap, int width, int height);
    void SetCaretPos(MControl* edit, int x, int y);
    void ShowCaret(int show);
    void DrawCaret(Canvas& dc, const Rect& clip);
    MControl* GetCurrentCaretObject() const;

private:
    void RouteMouseMove(UINT flags, Point pt);
    void RouteMouseLeave();
    int RouteButtonDown(bool left, UINT flags, Point pt);
    int RouteButtonUp(bool left, UINT flags, Point pt);
    int RouteDblClk(bool left, UINT flags, Point pt);
    int RouteWheel(WPARAM wParam, LPARAM lParam);
    int RouteKeyDown(UINT key, LPARAM lParam);
    void OnActivate(bool active);
    bool MoveFocusByTab(bool backwards);
    void HandleTimer(UINT id);
    MControl* HitTest(Point pt);
    void DrawBackground(Canvas& dc);
    void Present(const Rect& update);
    UINT ModifierCode() const;
    void ArmTracking();
    void StartDrag(Point pt);
    void CancelDrag();
    void DeliverDroppedFiles();

    MWindow* m_owner = nullptr;
    HWND m_hwnd;
    bool m_initialized = false;
    bool m_destroyed = false;

    ControlList m_areas;
    ControlList m_controls;
    std::mutex m_tickLock; // guards m_tickControls
    std::vector<MControl*> m_tickControls;
    UINT m_tickId = 0;

    // input state
    MControl* m_hover = nullptr;
    MControl* m_focus = nullptr;
    bool m_pressed = false;
    bool m_captured = false;
    bool m_tracking = false;
    bool m_dblClkLeft = false;
    bool m_dblClkRight = false;
    int m_wndDrag = 1;
    bool m_dragArmed = false;
    Point m_dragStart;
    std::unique_ptr<DragSession> m_drag;
    Point m_lastMouse;
    bool m_active = true;
    Size m_minTrack;
    Size m_maxTrack;

    // tooltip
    MControl* m_tooltipOwner = nullptr;
    UINT m_tooltipId = 0;
    std::wstring m_tooltipText;
    Rect m_tooltipRect;
    std::unique_ptr<TooltipWindow> m_tooltipWindow;

    // background
    int m_layered = 0;
    std::unique_ptr<Image> m_bkImage;
    enumBackMode m_backMode = BACK_MODE_NORMAL;
    int m_backModeValue = 4;
    COLORREF m_bodyColor = 0x130D09;
    COLORREF m_borderColor = 0x555028;
    UINT m_scrollV = 0;
    UINT m_scrollH = 0;
    ARGB m_enabledColor = 0xFF808080;
    Rect m_captionRect;

    std::unique_ptr<Canvas> m_backBuffer;
    unsigned m_presentCount = 0;
    int m_paintPauseMs = 15;

    std::unique_ptr<ImageCache> m_images;
    std::unique_ptr<FontCache> m_fonts;
    std::unique_ptr<Overlay> m_overlay;
    std::unique_ptr<ControlTimers> m_timers;
    std::unique_ptr<Caret> m_caret;

    friend class Overlay;
};

} // namespace Lumo
