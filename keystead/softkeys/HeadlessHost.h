#pragma once
#include "platform/Clipboard.h"
#include "platform/Shell.h"
#include "softkeys/SoftKeyExecution.h"

#include <string>
#include <vector>

// The surroundings of soft-key execution when no main window runs (simulator tools,
// benchmarks, child processes of tests): profile 1, layer 0, macros and profile switches
// dropped, no clipboard, nothing started.
struct HeadlessSoftKeyHost : SoftKeyHost {
    int CurrentProfileId() const override { return 1; }
    int CurrentLayer() const override { return 0; }
    void QueueMacro(int) override {}
    void SwitchProfile(int) override {}
};

struct HeadlessClipboard : platform::Clipboard {
    bool SetText(const std::wstring&) override { return true; }
    void Clear() override {}
};

struct HeadlessShell : platform::Shell {
    bool Open(const std::wstring&) override { return false; }
    bool Start(const std::wstring&, const std::vector<std::wstring>&) override { return false; }
};
