#pragma once
#include <chrono>
#include <functional>
#include <thread>

// The pauses of key sequences and macro playback go through one of these, so tests can record
// them instead of waiting.
using PauseFunction = std::function<void(int milliseconds)>;

inline PauseFunction RealPause()
{
    return [](int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); };
}
