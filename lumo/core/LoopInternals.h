#pragma once
#include "lumo/MWindow.h"

// Loop services for the library's own window code.
namespace Lumo {

// Remembers the thread that runs the windows (the first one to create a window).
void NoteWindowThread();
bool SetWindowTimerProc(HWND hwnd, UINT id, UINT ms, TIMERPROC proc);
void KillWindowTimers(HWND hwnd);
// Forgets what is still queued for a window that is going away.
void DropMessagesFor(HWND hwnd);

} // namespace Lumo
