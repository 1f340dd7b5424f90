#pragma once
#include <deque>
#include <mutex>
#include <optional>

// The main window's two FIFOs for its worker thread: `TaskQueue` (task numbers) and
// `PlayQueue` (macro numbers to play in software). The user-interface thread and the filter
// monitor push, the worker pops; every push and pop goes through the one lock.
namespace keystead::device {

class WorkerQueues {
public:
    void PushTask(int task);
    std::optional<int> FrontTask() const;
    // Removes the first task (the worker removes a task once it has run).
    void PopTask();
    bool TaskQueueEmpty() const;
    std::deque<int> Tasks() const;

    void PushPlay(int macroId);
    std::optional<int> PopPlay();
    bool PlayQueueEmpty() const;

private:
    mutable std::mutex lock_;
    std::deque<int> TaskQueue;
    std::deque<int> PlayQueue;
};

} // namespace keystead::device
