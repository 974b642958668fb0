#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace StreamCore {

// One worker thread running jobs in order: network requests and pipeline shutdowns that must
// not block the caller.
class TaskQueue
{
public:
    TaskQueue();
    ~TaskQueue();
    TaskQueue(const TaskQueue &) = delete;
    TaskQueue &operator=(const TaskQueue &) = delete;

    void post(std::function<void()> job);
    // Waits until every job posted so far has run.
    void drain();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace StreamCore
