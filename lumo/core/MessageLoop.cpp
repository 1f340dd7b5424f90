#include "lumo/MessageLoop.h"

#include "LoopInternals.h"
#include "WindowRegistry.h"
#include "lumo/MWindow.h"
#include "lumo/Messages.h"
#include "lumo/PlatformWindow.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <thread>

namespace Lumo {
namespace {

// A message sent from another thread waits here for the window thread's answer.
struct SentMessage {
    std::promise<LRESULT> result;
};

struct QueuedMessage {
    Message msg;
    std::shared_ptr<SentMessage> sent;
};

struct TimerEntry {
    UINT intervalMs = 0;
    std::chrono::steady_clock::time_point due;
    TIMERPROC proc = nullptr;
};

struct LoopState {
    std::mutex lock;
    std::deque<QueuedMessage> queue;
    std::map<std::pair<std::uint32_t, UINT>, TimerEntry> timers;
    MessageClock clock;
};

LoopState& State()
{
    static LoopState state;
    return state;
}

void Enqueue(QueuedMessage item, bool front = false)
{
    {
        std::lock_guard lock(State().lock);
        if (front)
            State().queue.push_front(std::move(item));
        else
            State().queue.push_back(std::move(item));
    }
    GetPlatformBackend().Wake();
}

bool PopQueued(QueuedMessage& out)
{
    std::lock_guard lock(State().lock);
    if (State().queue.empty())
        return false;
    out = std::move(State().queue.front());
    State().queue.pop_front();
    return true;
}

// A WM_TIMER for the earliest timer that is due, rescheduled from now.
bool TakeDueTimer(Message& msg)
{
    const auto now = MessageClockNow();
    std::lock_guard lock(State().lock);
    auto& timers = State().timers;
    auto best = timers.end();
    for (auto it = timers.begin(); it != timers.end();) {
        if (!WindowRegistry::Find(HWND{it->first.first})) {
            it = timers.erase(it);
            continue;
        }
        if (it->second.due <= now && (best == timers.end() || it->second.due < best->second.due))
            best = it;
        ++it;
    }
    if (best == timers.end())
        return false;
    best->second.due = now + std::chrono::milliseconds(best->second.intervalMs);
    msg = Message{HWND{best->first.first}, WM_TIMER, best->first.second,
                  LPARAM(reinterpret_cast<std::uintptr_t>(best->second.proc))};
    return true;
}

int MsUntilNextTimer()
{
    const auto now = MessageClockNow();
    std::lock_guard lock(State().lock);
    long long best = -1;
    for (auto& [key, t] : State().timers) {
        long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.due - now).count();
        if (ms < 0)
            ms = 0;
        if (best < 0 || ms < best)
            best = ms;
    }
    // A hand-driven clock does not move while we sleep: poll instead of waiting for it.
    if (State().clock && best > 10)
        best = 10;
    return int(best);
}

bool TakePendingPaint(Message& msg)
{
    bool found = false;
    WindowRegistry::ForEach([&](HWND h, MWindow* w) {
        if (!w->GetUpdateRect().IsRectEmpty()) {
            msg = Message{h, WM_PAINT, 0, 0};
            found = true;
        }
        return found;
    });
    return found;
}

std::thread::id& WindowThread()
{
    static std::thread::id id;
    return id;
}

// One step of the loop: the next message if there is one; never waits.
bool NextMessage(Message& msg)
{
    for (;;) {
        GetPlatformBackend().PumpEvents();
        QueuedMessage item;
        if (PopQueued(item)) {
            if (item.sent) {
                item.sent->result.set_value(MWindow::WndProc(item.msg.hwnd, item.msg.message, item.msg.wParam,
                                                             item.msg.lParam));
                continue;
            }
            msg = item.msg;
            return true;
        }
        if (TakeDueTimer(msg))
            return true;
        return TakePendingPaint(msg);
    }
}

} // namespace

void NoteWindowThread()
{
    if (WindowThread() == std::thread::id())
        WindowThread() = std::this_thread::get_id();
}

bool PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !WindowRegistry::Find(hwnd))
        return false;
    Enqueue(QueuedMessage{Message{hwnd, message, wParam, lParam}, nullptr});
    return true;
}

void PostQuitMessage(int exitCode) { Enqueue(QueuedMessage{Message{HWND{}, WM_QUIT, WPARAM(exitCode), 0}, nullptr}); }

bool GetMessageW(Message& msg)
{
    while (!NextMessage(msg))
        GetPlatformBackend().WaitEvents(MsUntilNextTimer());
    return msg.message != WM_QUIT;
}

bool PeekMessageW(Message& msg) { return NextMessage(msg); }

LRESULT DispatchMessageW(const Message& msg)
{
    if (!msg.hwnd)
        return 0;
    if (msg.message == WM_TIMER && msg.lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(static_cast<std::uintptr_t>(msg.lParam));
        if (IsWindow(msg.hwnd))
            proc(msg.hwnd, WM_TIMER, UINT(msg.wParam), 0);
        return 0;
    }
    return MWindow::WndProc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!WindowRegistry::Find(hwnd))
        return 0;
    if (WindowThread() == std::thread::id() || WindowThread() == std::this_thread::get_id())
        return MWindow::WndProc(hwnd, message, wParam, lParam);
    auto sent = std::make_shared<SentMessage>();
    auto answer = sent->result.get_future();
    Enqueue(QueuedMessage{Message{hwnd, message, wParam, lParam}, sent});
    return answer.get();
}

bool IsWindow(HWND hwnd) { return hwnd && WindowRegistry::Find(hwnd) != nullptr; }

int PumpMessages()
{
    int count = 0;
    Message msg;
    // Bounded, so a handler that keeps re-posting cannot hang the caller.
    for (int i = 0; i < 100000 && NextMessage(msg); ++i) {
        if (msg.message == WM_QUIT) {
            Enqueue(QueuedMessage{msg, nullptr}, true);
            break;
        }
        DispatchMessageW(msg);
        ++count;
    }
    return count;
}

void SetMessageClock(MessageClock clock)
{
    std::lock_guard lock(State().lock);
    State().clock = std::move(clock);
}

std::chrono::steady_clock::time_point MessageClockNow()
{
    MessageClock clock;
    {
        std::lock_guard lock(State().lock);
        clock = State().clock;
    }
    return clock ? clock() : std::chrono::steady_clock::now();
}

bool SetWindowTimer(HWND hwnd, UINT id, UINT ms)
{
    return SetWindowTimerProc(hwnd, id, ms, nullptr);
}

bool SetWindowTimerProc(HWND hwnd, UINT id, UINT ms, TIMERPROC proc)
{
    if (!IsWindow(hwnd))
        return false;
    const auto now = MessageClockNow();
    {
        std::lock_guard lock(State().lock);
        ms = std::max(ms, 10u); // the shortest period a window timer runs at
        State().timers[{hwnd.value, id}] = TimerEntry{ms, now + std::chrono::milliseconds(ms), proc};
    }
    GetPlatformBackend().Wake();
    return true;
}

bool KillWindowTimer(HWND hwnd, UINT id)
{
    std::lock_guard lock(State().lock);
    return State().timers.erase({hwnd.value, id}) > 0;
}

void KillWindowTimers(HWND hwnd)
{
    std::lock_guard lock(State().lock);
    std::erase_if(State().timers, [&](const auto& item) { return item.first.first == hwnd.value; });
}

bool IsWindowTimerSet(HWND hwnd, UINT id) { return GetWindowTimerInterval(hwnd, id) != 0; }

UINT GetWindowTimerInterval(HWND hwnd, UINT id)
{
    std::lock_guard lock(State().lock);
    auto it = State().timers.find({hwnd.value, id});
    return it == State().timers.end() ? 0 : it->second.intervalMs;
}

void DropMessagesFor(HWND hwnd)
{
    std::lock_guard lock(State().lock);
    std::erase_if(State().queue, [&](const QueuedMessage& q) {
        if (q.msg.hwnd != hwnd)
            return false;
        if (q.sent)
            q.sent->result.set_value(0);
        return true;
    });
}

} // namespace Lumo
