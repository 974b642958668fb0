#include "TaskQueue.h"

#include <kwl/KExceptionHandler.h>

namespace StreamCore {

TaskQueue::TaskQueue(int workers)
{
    for (int n = 0; n < workers; ++n)
        m_threads.emplace_back([this] { run(); });
}

TaskQueue::~TaskQueue()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

void TaskQueue::post(std::function<void()> job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_changed.notify_all();
}

void TaskQueue::drain()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && m_busy == 0; });
}

void TaskQueue::run()
{
    KExceptionHandler::PrepareThread();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        // Jobs still queued at the end run too: each releases what it holds.
        if (m_jobs.empty())
            return;
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        ++m_busy;
        lock.unlock();
        job();
        lock.lock();
        --m_busy;
        m_changed.notify_all();
    }
}

} // namespace StreamCore
