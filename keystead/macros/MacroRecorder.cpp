#include "macros/MacroRecorder.h"

#include "keys/KeyFunctionNames.h"

#include <chrono>
#include <cwchar>

namespace {

// Keypad keys by scan code, recorded by their digit codes whatever the Num Lock state.
int KeypadCode(uint32_t scanCode)
{
    switch (scanCode) {
    case 71: return 103;
    case 72: return 104;
    case 73: return 105;
    case 75: return 100;
    case 76: return 101;
    case 77: return 102;
    case 79: return 97;
    case 80: return 98;
    case 81: return 99;
    case 82: return 96;
    case 83: return 110;
    default: return 0;
    }
}

constexpr uint32_t kKeypadEnterScan = 28;
constexpr int kKeypadEnterCode = 108;

} // namespace

int64_t SteadyMilliseconds()
{
    // The clock in 100-nanosecond ticks, times 100, divided by 1 000 000.
    const auto ticks = std::chrono::duration_cast<std::chrono::duration<int64_t, std::ratio<1, 10'000'000>>>(
        std::chrono::steady_clock::now().time_since_epoch());
    return ticks.count() * 100 / 1'000'000;
}

MacroRecorder::MacroRecorder(RecordingPage& page, MillisecondClock clock) : page_(page), clock_(std::move(clock)) {}

void MacroRecorder::LoadIgnoredKeys()
{
    ignoredKeys_.clear();
    for (int code = 166; code <= 180; ++code)
        ignoredKeys_.insert(code);
    ignoredKeys_.insert(182);
    ignoredKeys_.insert(183);
}

void MacroRecorder::StartRecording()
{
    if (page_.SelectedMacroId() <= 0)
        return;
    delayMode_ = page_.DelayMode();
    fixedDelay_ = kDefaultFixedDelay;
    if (delayMode_ == 3)
        fixedDelay_ = static_cast<int>(std::wcstol(page_.FixedDelayText().c_str(), nullptr, 10));
    page_.ShowRecordingButtons(true);
    page_.EnableEditing(false);
    previousTime_ = 0;
    captureMode_ = kRecording;
    page_.SetKeyCapture(true);
}

void MacroRecorder::StopRecording()
{
    page_.ShowRecordingButtons(false);
    page_.SetKeyCapture(false);
    page_.SaveEventsAndRefresh();
    page_.EnableEditing(true);
    captureMode_ = kIdle;
    previousTime_ = 0;
}

int MacroRecorder::OnHookEvent(const platform::KeyHookEvent* event)
{
    if (event == nullptr)
        return 0;
    bool pressed = false;
    switch (event->message) {
    case platform::kWmKeyDown:
    case platform::kWmSysKeyDown:
        pressed = true;
        break;
    case platform::kWmKeyUp:
    case platform::kWmSysKeyUp:
        break;
    default:
        return 1;
    }
    if (captureMode_ != kRecording)
        return 1;

    int code = static_cast<int>(event->vkCode);
    const uint32_t plainFlags = pressed ? 0 : platform::kHookFlagUp;
    const uint32_t extendedFlags = plainFlags | platform::kHookFlagExtended;
    if (event->flags == plainFlags) {
        if (const int keypad = KeypadCode(event->scanCode))
            code = keypad;
    } else if (event->flags == extendedFlags && event->scanCode == kKeypadEnterScan) {
        code = kKeypadEnterCode;
    }
    if (code == 0)
        return 1;
    const KeyName key = GetKeyName(code, KeyEventSource::Hook);
    code = key.virtualKey;
    if (ignoredKeys_.count(code) != 0)
        return 1;
    if (pressed) {
        if (!heldKeys_.insert(code).second)
            return 1;  // auto-repeat of a key already down
    } else {
        heldKeys_.erase(code);
    }
    AddRecordedEvent(RecordedInput::Keyboard, pressed, code, key.name);
    return 1;
}

void MacroRecorder::AddRecordedEvent(RecordedInput input, bool pressed, int code, const std::wstring& name)
{
    if (input != RecordedInput::Keyboard)
        return;
    const int delay = MeasureDelay();
    const int count = page_.EventCount();
    if (count > 0) {
        if (delayMode_ == 1 && delay != 0)
            page_.SetEventDelay(count - 1, delay);
        else if (delayMode_ == 3 && fixedDelay_ != 0)
            page_.SetEventDelay(count - 1, fixedDelay_);
    }
    page_.AppendEvent({name, pressed ? 2 : 3, code, 0});
}

int MacroRecorder::MeasureDelay()
{
    const int64_t now = clock_();
    int delay = 0;
    if (previousTime_ != 0) {
        const int64_t d = now - previousTime_;
        delay = (d < 0 || d > kMaxDelay) ? kMaxDelay : static_cast<int>(d);
    }
    previousTime_ = now;
    return delay;
}
