#pragma once
#include "lumo/MObject.h"
#include "lumo/MWindow.h"
#include "lumo/PaintManager.h"

namespace Lumo {

class MControl;
class MShadow;

// The skinned top-level window: owns a PaintManager, turns window messages into control
// input and hands its controls' notifications to OnMessage.
class MDialog : public MWindow, public MObject {
public:
    MDialog();
    ~MDialog() override;

    // MWindow
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int PreTranslateMessage(Message* msg) override;
    int OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    virtual Point GetAirBladderPoint(MControl* control, UINT align);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(Rect client);
    virtual void UISize(Rect client);
    virtual int OnMessage(UINT id, UINT code, UINT wParam, LPARAM lParam);
    virtual int OnUserCloseWindow(UINT wParam, LPARAM lParam);
    virtual int OnCreate(CREATESTRUCT* cs);
    virtual int OnSize(UINT type, int cx, int cy);
    virtual int OnMouseMove(UINT flags, Point pt);
    virtual int OnMouseLeave();
    virtual int OnMouseHover(UINT flags, Point pt);
    virtual int OnMouseWheel(UINT flags, int delta, Point pt);
    virtual int OnLButtonDown(UINT flags, Point pt);
    virtual int OnLButtonUp(UINT flags, Point pt);
    virtual int OnLButtonDblClk(UINT flags, Point pt);
    virtual int OnRButtonDown(UINT flags, Point pt);
    virtual int OnRButtonUp(UINT flags, Point pt);
    virtual int OnRButtonDblClk(UINT flags, Point pt);
    virtual int OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual int OnNcHitTest(Point pt);
    virtual int OnGetMinMaxInfo(MINMAXINFO* info);
    virtual int OnNcCalcSize(int calcValid, void* params);
    virtual int OnNcActivate(int active);
    virtual int OnWindowPosChanging(void* pos);
    virtual int OnWindowPosChanged(void* pos);
    virtual int OnPaint();
    virtual void OnTimer(UINT id);
    virtual int OnNcPaint();
    virtual int OnClose();
    virtual int OnDestroy();
    virtual int PostNcDestroy();

    // MObject
    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
    int OnBaseMessage(UINT id, UINT code, UINT wParam, LPARAM lParam) override;
    int OnControlUpdate(Rect rect, int erase, MControl* control) override;

    // Controls by class name: kind 1 above, areas (kind 0) beneath.
    MControl* CreateControl(const wchar_t* className, UINT id, Rect rect, const wchar_t* title = nullptr,
                            int visible = 1, int enabled = 1);
    MControl* CreateArea(const wchar_t* className, UINT id, Rect rect, const wchar_t* title = nullptr,
                         int visible = 1, int enabled = 1);
    MControl* GetControl(UINT id);
    ControlList& GetControls();
    void SetFocusControl(MControl* control);

    // Close requests; safe from any thread, and remembered when the window does not exist yet.
    void DoOK();
    void DoCancel();
    void DoClose();
    void DoYes();
    void DoNo();

    UINT SetMTimer(UINT ms);
    void KillMTimer(UINT id);
    void SetLayeredWindow(int layered);
    int LoadBKImage(const std::wstring& path);
    int LoadBKImage(UINT resourceId, const std::wstring& type);
    void SetBackMode(enumBackMode mode, int value);
    void SetScrollResID(UINT vertical, UINT horizontal);
    void EnableWndDrag(int enable);
    void SetTooltip(const std::wstring& text, Rect rect);
    void ClearTooltip();
    void SetTooltipCtrlID(UINT id);
    UINT GetTooltipCtrlID() const;
    // An empty rect places a 200 x 58 box centred 2 pixels above the bottom of the client area.
    void SetMessage(const std::wstring& text, Rect rect, MsgLevel level = MSG_INFO);
    void SetProgress(int percent, const std::wstring& text, Rect rect);
    void SetupBackTranslucent();
    // Whole-window translucency: a constant alpha below 255, or a colour key.
    void SetBackTranslucent(BYTE alpha, COLORREF colorKey);

    PaintManager& GetPaintManager() { return m_pm; }
    Rect GetClient() const { return m_client; }

    // Drop shadow of the window (MShadow), made on the first call that needs it.
    int CreateShadow(int show, bool again = false);
    int SetSize(int size);
    int SetSharpness(int sharpness);
    int SetDarkness(int darkness);
    int SetPosition(int x, int y);
    int SetShadowColor(COLORREF color);
    int SetShadowImage(const std::wstring& path, Rect corners);
    int SetShadowImage(UINT resourceId, Rect corners);
    void SetShadowShow(int show);
    // Null until a shadow call made it.
    MShadow* GetShadow() const { return m_shadow.get(); }

protected:
    void OnWindowCreated() override;

    PaintManager m_pm;
    Rect m_client;
    COLORREF m_colorKey = 0xFFFFFF;
    BYTE m_alpha = 255;

private:
    void RequestClose(int result);
    std::mutex m_closeLock; // guards the two below against other threads' close requests
    HWND m_closeTarget;
    int m_pendingClose = 0;

    MShadow& Shadow();
    std::unique_ptr<MShadow> m_shadow;
};

} // namespace Lumo
