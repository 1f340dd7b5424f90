// lumo_demo [--close-after MS] [--shot FILE] [--hover X,Y]
// Opens a skinned dialog with a caption, a close button, an overlay message and a
// progress overlay. The close button ends it; --close-after ends it by itself, and
// --shot writes the last composed picture to a PNG file on the way out, and --hover
// puts the pointer over a client point as if the mouse were there (for screenshots).
#include "DemoControls.h"

#include "lumo/MDialog.h"
#include "lumo/MRender.h"
#include "lumo/Manager.h"
#include "lumo/Notifications.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
using namespace Lumo;

constexpr UINT kClose = 41;
constexpr UINT kApply = 33;
constexpr UINT kProgressTimer = 1;
constexpr UINT kCloseTimer = 2;

class DemoDialog : public MDialog {
public:
    int closeAfterMs = 0;
    std::wstring shotPath;

    void InitUI(Rect c) override
    {
        // Layered: the rounded corners of the frame let the desktop through where it can.
        SetLayeredWindow(1);
        LoadBKImage(L"bk_prompt.png");
        SetBackMode(BACK_MODE_NINEGRID, 30);
        auto* caption = Add(std::make_unique<Demo::Picture>(this, 36, Rect(1, 1, c.right - 1, 44)));
        caption->SetImage(L"pic_caption.png", 1);
        auto* title = Add(std::make_unique<Demo::Label>(this, 38, Rect(20, 1, c.right - 60, 44), L"Keystead"));
        title->SetFont(nullptr, 18, FontStyleBold);
        auto* text = Add(std::make_unique<Demo::Label>(this, 39, Rect(30, 70, c.right - 30, 160),
                                                       L"Lighting profile \u201cAurora\u201d is ready to upload."));
        text->SetTextColor(0xFFB4C0CC);
        text->SetFontWidth(16);
        auto* close = Add(std::make_unique<Demo::StripButton>(this, kClose, Rect(c.right - 40, 8, c.right - 10, 38), L""));
        close->SetImage(L"main_sysbtn_close.png", 4);
        close->SetTooltip(L"Close");
        auto* apply = Add(std::make_unique<Demo::StripButton>(this, kApply,
                                                              Rect(c.right - 150, c.bottom - 56, c.right - 30, c.bottom - 22),
                                                              L"Upload"));
        apply->SetImage(L"btn_apply.png", 4);
    }

    int OnInitDialog() override
    {
        MDialog::OnInitDialog();
        SetMessage(L"Profile saved", Rect(30, 170, 230, 228));
        if (closeAfterMs > 0)
            SetTimer(kCloseTimer, UINT(closeAfterMs));
        return 1;
    }

    int OnMessage(UINT id, UINT code, UINT, LPARAM) override
    {
        if (id == kClose && code == MN_CLICK)
            DoOK();
        if (id == kApply && code == MN_CLICK)
            StartUpload();
        return 0;
    }

    void OnTimer(UINT id) override
    {
        if (id == kCloseTimer) {
            if (const Canvas* picture = m_pm.GetBackBuffer(); picture && !shotPath.empty())
                MRender::SaveBitmapToFile(*picture, shotPath);
            DoOK();
        } else if (id == kProgressTimer) {
            m_percent = std::min(100, m_percent + 20);
            SetProgress(m_percent, L"Uploading to the keyboard\u2026", Rect());
            if (m_percent >= 100)
                KillTimer(kProgressTimer);
        }
    }

    void StartUpload()
    {
        m_percent = 10;
        SetProgress(m_percent, L"Uploading to the keyboard\u2026", Rect());
        SetTimer(kProgressTimer, 400);
    }

private:
    template <typename T>
    T* Add(std::unique_ptr<T> control)
    {
        return static_cast<T*>(m_pm.AddControl(std::move(control), 1));
    }
    int m_percent = 0;
};

} // namespace

int main(int argc, char** argv)
{
    int closeAfter = 0;
    const char* shot = nullptr;
    int hoverX = -1, hoverY = -1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--close-after") == 0)
            closeAfter = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--shot") == 0)
            shot = argv[i + 1];
        else if (std::strcmp(argv[i], "--hover") == 0)
            std::sscanf(argv[i + 1], "%d,%d", &hoverX, &hoverY);
    }
    DemoDialog dialog;
    dialog.closeAfterMs = closeAfter;
    if (shot)
        dialog.shotPath = std::wstring(shot, shot + std::strlen(shot));
    if (!dialog.Create(HWND{}, Manager::GetDeviceName().c_str(), WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                       Rect(0, 0, 520, 300))) {
        std::fprintf(stderr, "lumo_demo: no display\n");
        return 1;
    }
    dialog.CenterWindow();
    if (closeAfter > 0)
        dialog.StartUpload();
    if (hoverX >= 0)
        dialog.PostMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(hoverX, hoverY));
    return dialog.ShowModal(SW_SHOWNORMAL) == IDOK ? 0 : 1;
}
