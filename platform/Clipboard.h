#pragma once
#include <string>

// The desktop clipboard, holding text.
namespace platform {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's content with the text. False when the clipboard cannot be set.
    virtual bool SetText(const std::wstring& text) = 0;
    // Empties the clipboard.
    virtual void Clear() = 0;
};

// SDL's clipboard; needs SDL's video subsystem, which the program's windows start.
class SdlClipboard : public Clipboard {
public:
    static constexpr unsigned kPasteWindowMs = 300;
    static constexpr unsigned kPumpStepMs = 10;

    bool SetText(const std::wstring& text) override;
    void Clear() override;
};

} // namespace platform
