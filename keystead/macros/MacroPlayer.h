#pragma once
#include "device/WorkerHost.h"
#include "softkeys/Pause.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

class DataStore;
class VHidev;

// Plays a macro through the virtual device on the worker thread: its events in order, each
// followed by its delay (at least 5 ms), as many times as the macro says, releasing everything
// after each round.
class MacroPlayer : public keystead::device::MacroPlayer {
public:
    static constexpr int kMinimumPauseMs = 5;

    // pause: empty for real pauses that Stop cuts short.
    MacroPlayer(VHidev& vhid, DataStore& store, PauseFunction pause = {});

    void PlayMacro(int macroId) override;
    // At exit: the macro being played ends before its next event, and nothing is played any more.
    void Stop();

private:
    void Pause(int milliseconds);

    VHidev& vhid_;
    DataStore& store_;
    PauseFunction pause_;
    std::atomic<bool> stopped_{false};
    std::mutex stopMutex_;
    std::condition_variable stopWake_;
};
