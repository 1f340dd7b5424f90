#pragma once
#include <cstdint>
#include <set>

// Decides, for the key events of one grabbed keyboard, which are held back and reported and which
// go on to the system. A release always takes the way its press took, so a key pressed before the
// key table changed is never left down on either side.
namespace platform {

class FilterRouter {
public:
    enum class Action { Pass, Report, Drop };
    struct Decision {
        Action action = Action::Pass;
        uint16_t usage = 0;   // for Report: the keyboard usage
        bool pressed = false; // for Report
    };

    // Keyboard usages to hold back.
    void SetHeldUsages(std::set<uint16_t> usages) { held_ = std::move(usages); }
    bool HoldsAnything() const { return !held_.empty(); }

    // One EV_KEY event: value 1 press, 0 release, 2 auto-repeat.
    Decision Route(uint16_t evdevCode, int32_t value);

private:
    std::set<uint16_t> held_;
    std::set<uint16_t> heldDown_;  // evdev codes whose press was reported
};

} // namespace platform
