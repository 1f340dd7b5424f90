// Start-up to first frame and full repaint of a 1280 x 720 skinned dialog.
// The parent starts a fresh copy of itself per run and takes the time from the moment
// before the start to the first frame the child presents.
#include "lumo/MDialog.h"
#include "lumo/MRender.h"
#include "lumo/MessageLoop.h"
#include "lumo/Manager.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {
using namespace Lumo;
using Clock = std::chrono::steady_clock;

double NowMs() { return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count(); }

// Cached faces over the background, like the program's buttons and pictures.
class Tile : public MControl {
public:
    using MControl::MControl;
    void DrawControl(Canvas& dc, Rect) override
    {
        const int w = m_rect.Width(), h = m_rect.Height();
        if (!GetUpdate() || !GetMemDC()) {
            UpdateMemDC(dc, w, h);
            GetMemDC()->CopyFrom(dc, m_rect, Point(0, 0));
            MRender::DrawRoundRectangle(*GetMemDC(), Rect(0, 0, w, h), 6, 0xC0203040, 0xFF29B6D9, 1);
            MRender::DrawString(*GetMemDC(), L"Key", Rect(0, 0, w, h), FontSpec{L"Arial", 14, 0}, 0xFFE0E8F0,
                                DT_CENTER, DT_VCENTER);
        }
        dc.CopyFrom(*GetMemDC(), Rect(0, 0, w, h), m_rect.TopLeft());
    }
};

class BenchDialog : public MDialog {
public:
    void InitUI(Rect) override
    {
        m_pm.SetPaintPause(0);
        LoadBKImage(L"main_bkg.png");
        for (int row = 0; row < 6; ++row)
            for (int col = 0; col < 18; ++col)
                m_pm.AddControl(std::make_unique<Tile>(this, UINT(100 + row * 18 + col),
                                                       Rect(60 + col * 64, 200 + row * 64, 116 + col * 64, 256 + row * 64)),
                                1);
    }
};

int Child(double spawnedAtMs)
{
    Manager::SetSkinFolder(LUMO_SKIN_DIR);
    BenchDialog dialog;
    if (!dialog.Create(HWND{}, L"bench", WS_POPUP, 0, Rect(0, 0, 1280, 720)))
        return 1;
    dialog.ShowWindow(SW_SHOW);
    while (dialog.GetPaintManager().GetPresentCount() == 0) {
        Message msg;
        if (GetMessageW(msg))
            DispatchMessageW(msg);
    }
    const double firstFrame = NowMs() - spawnedAtMs;
    // Full repaints: everything invalid, caches valid (the usual redraw) and rebuilt.
    constexpr int kRounds = 60;
    auto& pm = dialog.GetPaintManager();
    const Rect client = dialog.GetClientRect();
    double cached = 0, rebuilt = 0;
    for (int i = 0; i < kRounds; ++i) {
        const double t0 = NowMs();
        pm.Compose(client);
        const double t1 = NowMs();
        pm.GetControls().ForEach([](MControl* c) {
            c->SetUpdate(0, 0);
            return false;
        });
        const double t2 = NowMs();
        pm.Compose(client);
        rebuilt += NowMs() - t2;
        cached += t1 - t0;
    }
    std::printf("%.3f %.3f %.3f\n", firstFrame, cached / kRounds, rebuilt / kRounds);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return Child(std::atof(argv[2]));
    constexpr int kRuns = 5;
    std::vector<double> first, cached, rebuilt;
    for (int run = 0; run < kRuns; ++run) {
        int fds[2];
        if (pipe(fds) != 0)
            return 1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const std::string stamp = std::to_string(NowMs());
        char* args[] = {argv[0], const_cast<char*>("--child"), const_cast<char*>(stamp.c_str()), nullptr};
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, args, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0)
            return 1;
        char buf[256] = {};
        const ssize_t n = read(fds[0], buf, sizeof buf - 1);
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        double f = 0, c = 0, r = 0;
        if (n <= 0 || std::sscanf(buf, "%lf %lf %lf", &f, &c, &r) != 3) {
            std::fprintf(stderr, "bench_lumo_paint: the child found no display\n");
            return 1;
        }
        first.push_back(f);
        cached.push_back(c);
        rebuilt.push_back(r);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("first_frame_1280x720: %.1f ms\n", median(first));
    std::printf("full_repaint_cached: %.2f ms\n", median(cached));
    std::printf("full_repaint_rebuild: %.2f ms\n", median(rebuilt));
    return 0;
}
