#include "device/WorkerQueues.h"

namespace keystead::device {

void WorkerQueues::PushTask(int task)
{
    std::lock_guard lock(lock_);
    TaskQueue.push_back(task);
}

std::optional<int> WorkerQueues::FrontTask() const
{
    std::lock_guard lock(lock_);
    if (TaskQueue.empty())
        return std::nullopt;
    return TaskQueue.front();
}

void WorkerQueues::PopTask()
{
    std::lock_guard lock(lock_);
    if (!TaskQueue.empty())
        TaskQueue.pop_front();
}

bool WorkerQueues::TaskQueueEmpty() const
{
    std::lock_guard lock(lock_);
    return TaskQueue.empty();
}

std::deque<int> WorkerQueues::Tasks() const
{
    std::lock_guard lock(lock_);
    return TaskQueue;
}

void WorkerQueues::PushPlay(int macroId)
{
    std::lock_guard lock(lock_);
    PlayQueue.push_back(macroId);
}

std::optional<int> WorkerQueues::PopPlay()
{
    std::lock_guard lock(lock_);
    if (PlayQueue.empty())
        return std::nullopt;
    const int macroId = PlayQueue.front();
    PlayQueue.pop_front();
    return macroId;
}

bool WorkerQueues::PlayQueueEmpty() const
{
    std::lock_guard lock(lock_);
    return PlayQueue.empty();
}

} // namespace keystead::device
