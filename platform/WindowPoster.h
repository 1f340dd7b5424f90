#pragma once
#include <cstdint>

namespace platform {

// A window that accepts posted messages (message number, wParam, lParam) into its queue,
// to be handled later on its own thread. Background work reports to windows through it.
class WindowPoster {
public:
    virtual ~WindowPoster() = default;
    virtual void Post(unsigned message, uintptr_t wParam, intptr_t lParam) = 0;
};

} // namespace platform
