#include "macros/MacroPlayer.h"

#include "keys/KeyFunction.h"
#include "softkeys/VHidev.h"
#include "store/DataStore.h"

#include <algorithm>
#include <chrono>

MacroPlayer::MacroPlayer(VHidev& vhid, DataStore& store, PauseFunction pause)
    : vhid_(vhid), store_(store), pause_(std::move(pause))
{
}

void MacroPlayer::PlayMacro(int macroId)
{
    if (stopped_ || !vhid_.EnsureVirtualDevice())
        return;
    vhid_.ReleaseAll();
    MacroData macro;
    if (!store_.GetMacro(macroId, macro))
        return;
    for (int round = 0; round < macro.play_times; ++round) {
        std::vector<MacroRecordData> events;
        store_.GetMacroEvents(macroId, events);
        for (const auto& ev : events) {
            if (stopped_) {
                vhid_.ReleaseAll();
                return;
            }
            const int code = VirtualKeyToCode(ev.value);
            const bool press = ev.type == 2;
            if (IsConsumerCode(code))
                vhid_.SendConsumer(code, press);
            else
                vhid_.PressKey(code, press);
            Pause(std::max(ev.delay_time, kMinimumPauseMs));
        }
        vhid_.ReleaseAll();
    }
}

void MacroPlayer::Stop()
{
    std::lock_guard lock(stopMutex_);
    stopped_ = true;
    stopWake_.notify_all();
}

void MacroPlayer::Pause(int milliseconds)
{
    if (pause_) {
        pause_(milliseconds);
        return;
    }
    std::unique_lock lock(stopMutex_);
    stopWake_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return stopped_.load(); });
}
