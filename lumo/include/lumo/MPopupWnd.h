#pragma once
#include "lumo/MObject.h"
#include "lumo/MWindow.h"
#include "lumo/PaintManager.h"

namespace Lumo {

// A self-closing pop-up (drop-down lists and the like): a tool window that posts
// WM_CLOSE to itself as soon as it loses activation.
class MPopupWnd : public MWindow, public MObject {
public:
    MPopupWnd();
    ~MPopupWnd() override;

    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int PreTranslateMessage(Message* msg) override;
    int OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    virtual MObject* GetParent() { return m_owner; }
    virtual void InitUI(Rect client);
    virtual void UISize(Rect client);
    virtual int OnMessage(UINT id, UINT code, UINT wParam, LPARAM lParam);
    virtual int OnUserCloseWindow(UINT wParam, LPARAM lParam);
    virtual void CloseWindow();
    virtual int OnCreate(CREATESTRUCT* cs);
    virtual int OnSize(UINT type, int cx, int cy);
    virtual int OnClose() { return 1; }
    virtual int PostNcDestroy() { return 0; }
    virtual int OnDestroy() { return 0; }

    const wchar_t* GetClassNameW() const override { return L"MPopupWnd"; }
    int OnBaseMessage(UINT id, UINT code, UINT wParam, LPARAM lParam) override;
    int OnControlUpdate(Rect rect, int erase, MControl* control) override;

    void SetParent(MObject* owner) { m_owner = owner; }
    // Hands a notification to the owner's OnMessage with id 0.
    int SendMessageToParent(UINT code, UINT wParam, LPARAM lParam);
    MControl* CreateControl(const wchar_t* className, UINT id, Rect rect, const wchar_t* title = nullptr,
                            int visible = 1, int enabled = 1);
    PaintManager& GetPaintManager() { return m_pm; }

protected:
    void OnWindowCreated() override;

    PaintManager m_pm;
    MObject* m_owner = nullptr;
    COLORREF m_colorKey = 0xF1F1F1;
    BYTE m_alpha = 255;
    Rect m_client;
};

} // namespace Lumo
