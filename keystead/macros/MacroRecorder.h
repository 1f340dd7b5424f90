#pragma once
#include "platform/KeyCapture.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>

// One event of the macro editor's list: what recording appends.
struct RecordedEvent {
    std::wstring name;
    int type = 0;   // 2 key down, 3 key up
    int code = 0;   // Windows virtual-key code
    int delay = 0;  // milliseconds until the next event
};

// The macro page as recording drives it (implemented by the macro editor).
class RecordingPage {
public:
    virtual ~RecordingPage() = default;
    // Id of the selected macro; 0 when none is selected.
    virtual int SelectedMacroId() const = 0;
    // The checked button of the delay group: 1 recorded delays, 2 no delays, 3 fixed delay.
    virtual int DelayMode() const = 0;
    // The fixed delay's number field, as typed.
    virtual std::wstring FixedDelayText() const = 0;
    // Shows the stop button instead of the start button while recording, and back.
    virtual void ShowRecordingButtons(bool recording) = 0;
    // The page's editing controls and the main window's page tabs.
    virtual void EnableEditing(bool enabled) = 0;
    // While on, the main window hands every key event of its own to MacroRecorder::OnHookEvent.
    virtual void SetKeyCapture(bool on) = 0;
    // Writes the event list to the store, then hands the key table to the execution layer again.
    virtual void SaveEventsAndRefresh() = 0;

    // The event list: the working copy the editor shows.
    virtual int EventCount() const = 0;
    virtual void SetEventDelay(int index, int delay) = 0;
    virtual void AppendEvent(const RecordedEvent& event) = 0;
};

enum class RecordedInput { Keyboard, Mouse, Other };

// Steady clock in milliseconds.
using MillisecondClock = std::function<int64_t()>;
int64_t SteadyMilliseconds();

// Records key presses and releases of the user into the selected macro, with the delays between
// them measured, left out or fixed.
class MacroRecorder {
public:
    static constexpr int kIdle = 0;
    static constexpr int kRecording = 1;
    static constexpr int kKeyField = 2;
    static constexpr int kMaxDelay = 31000;
    static constexpr int kDefaultFixedDelay = 10;

    explicit MacroRecorder(RecordingPage& page, MillisecondClock clock = SteadyMilliseconds);

    // The volume, media, browser and launch keys that are never recorded (all but 181).
    void LoadIgnoredKeys();

    void StartRecording();
    void StopRecording();
    // A key event of the hook (message 1654). Nonzero for every keyboard message, so the key goes
    // nowhere else while recording; 0 only without an event.
    int OnHookEvent(const platform::KeyHookEvent* event);
    void AddRecordedEvent(RecordedInput input, bool pressed, int code, const std::wstring& name);
    // Milliseconds since the previous event: 0 for the first, at most 31000.
    int MeasureDelay();

    int CaptureMode() const { return captureMode_; }
    void SetCaptureMode(int mode) { captureMode_ = mode; }
    int DelayMode() const { return delayMode_; }
    int FixedDelay() const { return fixedDelay_; }

private:
    RecordingPage& page_;
    MillisecondClock clock_;
    int captureMode_ = kIdle;
    int delayMode_ = 1;
    int fixedDelay_ = kDefaultFixedDelay;
    int64_t previousTime_ = 0;
    std::set<int> heldKeys_;
    std::set<int> ignoredKeys_;
};
