#include "TickService.h"

#include "lumo/MTimer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace Lumo::TickService {
namespace {

using Clock = std::chrono::steady_clock;

struct Entry {
    std::chrono::milliseconds interval;
    Clock::time_point due;
};

struct Service {
    std::mutex lock;
    std::condition_variable changed;
    std::map<UINT, Entry> entries;
    UINT nextId = 0;
    UINT running = 0; // id whose callback is in progress
    std::thread::id threadId;
    std::thread thread;
    bool stopping = false;

    ~Service()
    {
        {
            std::lock_guard g(lock);
            stopping = true;
        }
        changed.notify_all();
        if (thread.joinable())
            thread.join();
    }

    void Run()
    {
        std::unique_lock g(lock);
        while (!stopping) {
            if (entries.empty()) {
                changed.wait(g);
                continue;
            }
            auto next = entries.begin();
            for (auto it = entries.begin(); it != entries.end(); ++it) {
                if (it->second.due < next->second.due)
                    next = it;
            }
            const auto now = Clock::now();
            if (next->second.due > now) {
                changed.wait_until(g, next->second.due);
                continue;
            }
            const UINT id = next->first;
            // Periodic without drift; a late tick is not repeated to catch up.
            next->second.due += next->second.interval;
            if (next->second.due < now)
                next->second.due = now + next->second.interval;
            running = id;
            g.unlock();
            MTimer::TimerCallProc(id);
            g.lock();
            running = 0;
            changed.notify_all();
        }
    }
};

Service& S()
{
    static Service service;
    return service;
}

} // namespace

UINT Start(UINT intervalMs)
{
    Service& s = S();
    std::lock_guard g(s.lock);
    if (!s.thread.joinable()) {
        s.thread = std::thread([&s] { s.Run(); });
        s.threadId = s.thread.get_id();
    }
    if (++s.nextId == 0)
        ++s.nextId;
    const auto interval = std::chrono::milliseconds(std::max(1u, intervalMs));
    s.entries[s.nextId] = Entry{interval, Clock::now() + interval};
    s.changed.notify_all();
    return s.nextId;
}

void Stop(UINT id)
{
    Service& s = S();
    std::unique_lock g(s.lock);
    s.entries.erase(id);
    if (std::this_thread::get_id() != s.threadId)
        s.changed.wait(g, [&] { return s.running != id; });
    s.changed.notify_all();
}

} // namespace Lumo::TickService
