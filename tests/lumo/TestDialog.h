#pragma once
#include "LumoTestSupport.h"

#include <functional>
#include <set>

namespace LumoTest {

// A dialog that records the notifications and the window messages a test watches.
class TestDialog : public MDialog {
public:
    std::function<void(TestDialog&)> onInit;
    std::function<void(TestDialog&, UINT, WPARAM, LPARAM)> onMessage;
    std::set<UINT> watched;
    std::vector<std::vector<LPARAM>> seen;  // {message, wParam, lParam}
    std::vector<std::vector<LPARAM>> notes; // {id, code, wParam, lParam}

    HWND Open(HWND owner = HWND{}, Rect rect = Rect(100, 100, 500, 400))
    {
        return Create(owner, L"Test", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, rect);
    }
    ProbeControl* AddProbe(UINT id, Rect rect, std::vector<std::string>* log = nullptr, UINT kind = 1)
    {
        return static_cast<ProbeControl*>(m_pm.AddControl(std::make_unique<ProbeControl>(this, id, rect, log), kind));
    }
    void InitUI(Rect) override
    {
        m_pm.SetPaintPause(0);
        if (onInit)
            onInit(*this);
    }
    int OnMessage(UINT id, UINT code, UINT wParam, LPARAM lParam) override
    {
        notes.push_back({LPARAM(id), LPARAM(code), LPARAM(wParam), lParam});
        return 0;
    }
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (watched.count(message))
            seen.push_back({LPARAM(message), LPARAM(wParam), lParam});
        if (onMessage)
            onMessage(*this, message, wParam, lParam);
        if (!GetSafeHwnd())
            return 0;
        return MDialog::OnWindowMessage(message, wParam, lParam);
    }
    // Sends a window message straight to the dialog, as the queue would deliver it.
    LRESULT Deliver(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return Lumo::SendMessageW(GetSafeHwnd(), message, wParam, lParam);
    }
};

} // namespace LumoTest
