#pragma once
#include "lumo/Canvas.h"
#include "lumo/Types.h"

#include <string>

namespace Lumo {

class PaintManager;

// The message and progress box a window draws over all its controls: it appears at full
// strength, holds, and fades out on the window's timers 66 (hold), 88 (fade) and 99 (progress).
class Overlay {
public:
    explicit Overlay(PaintManager& manager) : m_manager(manager) {}

    void SetMessage(const std::wstring& text, Rect rect, int level);
    void SetProgress(int percent, const std::wstring& text, Rect rect);
    // Handles the overlay's timer ids; false for any other id.
    bool OnTimer(UINT id);
    // Drawn when the alpha is above 10 and there is text.
    void Draw(Canvas& dc) const;
    void Reset();

    int Alpha() const { return m_alpha; }
    int Shown() const { return m_shown; }
    int Target() const { return m_target; }
    Rect GetRect() const { return m_rect; }
    const std::wstring& Text() const { return m_text; }
    int Level() const { return m_level; }

private:
    void StartTimer(UINT id, UINT ms);
    void StopTimer(UINT id);
    void StartFade() { StartTimer(88, 50); }

    PaintManager& m_manager;
    std::wstring m_text;
    int m_level = 0;
    int m_alpha = 0;
    int m_shown = 0;
    int m_target = 0;
    Rect m_rect;
};

} // namespace Lumo
