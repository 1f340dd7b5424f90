#pragma once
#include "lumo/Types.h"

#include <chrono>
#include <functional>

// The window thread's message queue. Any thread may post; the thread that runs the
// windows takes messages out, in the order they were posted, interleaved with the
// platform's input, due window timers and pending paints.
namespace Lumo {

struct Message {
    HWND hwnd;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Queues a message for a window (or, with a null handle, for the loop itself). Safe
// from any thread. False when the handle names no live window.
bool PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Waits for the next message; false when it is WM_QUIT (msg holds it then).
bool GetMessageW(Message& msg);
// Takes the next message without waiting; false when there is none.
bool PeekMessageW(Message& msg);
LRESULT DispatchMessageW(const Message& msg);
// Delivers a message at once on the window thread; from another thread it waits until
// the window thread has handled it. 0 for a handle that names no window.
LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool IsWindow(HWND hwnd);
// Dispatches everything that is ready now (posted messages, platform input, due timers,
// pending paints) without waiting; returns how many messages were dispatched. A WM_QUIT
// found here is put back for the next GetMessageW.
int PumpMessages();

using MessageClock = std::function<std::chrono::steady_clock::time_point()>;
// Replaces the clock that window timers run on (tests drive it by hand); null restores it.
void SetMessageClock(MessageClock clock);
std::chrono::steady_clock::time_point MessageClockNow();

// Window timers: WM_TIMER with wParam id to the window every ms milliseconds, generated
// when nothing else is waiting. Setting an existing id restarts it.
bool SetWindowTimer(HWND hwnd, UINT id, UINT ms);
bool KillWindowTimer(HWND hwnd, UINT id);
bool IsWindowTimerSet(HWND hwnd, UINT id);
// The interval of a timer, 0 when it is not set.
UINT GetWindowTimerInterval(HWND hwnd, UINT id);

} // namespace Lumo
