#pragma once
#include "lumo/Types.h"

namespace Lumo {

// The thread behind every MTimer: periodic entries, each calling MTimer::TimerCallProc(id).
namespace TickService {
// 0 when the thread cannot be started.
UINT Start(UINT intervalMs);
// Stops a timer; when its callback is running on another thread, waits until it returns.
void Stop(UINT id);
} // namespace TickService

} // namespace Lumo
