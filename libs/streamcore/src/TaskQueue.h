#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace StreamCore {

// Worker threads running jobs in the order posted: network requests and pipeline shutdowns that
// must not block the caller. With one worker, each job finishes before the next starts.
class TaskQueue
{
public:
    explicit TaskQueue(int workers = 1);
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
    int m_busy = 0; // workers running a job
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace StreamCore
