#include "kwl/KMessageQueue.h"

#include "kwl/KExceptionHandler.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>

struct KMessageQueue::State
{
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<KMessage *> waiting;
    size_t capacity = 0;
    bool running = false;
    // Incremented by every Start; a worker of an older generation leaves at once.
    unsigned generation = 0;
};

KMessageQueue::KMessageQueue(int threads, int capacity)
    : m_state(std::make_shared<State>())
    , m_threadCount(std::max(1, threads))
{
    m_state->capacity = static_cast<size_t>(std::max(1, capacity));
}

KMessageQueue::~KMessageQueue()
{
    Stop();
}

void KMessageQueue::destroy()
{
    Stop();
    delete this;
}

int KMessageQueue::Start()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    if (m_state->running)
        return 0;
    m_state->running = true;
    const unsigned generation = ++m_state->generation;
    for (int i = 0; i < m_threadCount; ++i)
        m_threads.emplace_back(workerLoop, m_state, this, generation);
    return 0;
}

void KMessageQueue::SignalStop()
{
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->running = false;
    }
    m_state->wake.notify_all();
}

void KMessageQueue::Stop()
{
    SignalStop();
    for (std::thread &t : m_threads) {
        // A handler that stops its own queue cannot wait for itself; its thread leaves on its
        // own once the handler returns.
        if (t.get_id() == std::this_thread::get_id())
            t.detach();
        else if (t.joinable())
            t.join();
    }
    m_threads.clear();

    std::deque<KMessage *> dropped;
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        dropped.swap(m_state->waiting);
    }
    for (KMessage *msg : dropped)
        msg->Release();
}

int KMessageQueue::PushMsg(KMessage *msg)
{
    if (!msg)
        return -1;
    // A handler may drop the queue's last reference once the lock is let go: keep the state.
    const std::shared_ptr<State> state = m_state;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        if (state->waiting.size() >= state->capacity)
            return -2;
        msg->AddRef();
        state->waiting.push_back(msg);
    }
    state->wake.notify_one();
    return 0;
}

int KMessageQueue::QueueSize()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return static_cast<int>(m_state->waiting.size());
}

bool KMessageQueue::IsRunning() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->running;
}

void KMessageQueue::workerLoop(std::shared_ptr<State> state, KMessageQueue *queue,
                               unsigned generation)
{
    KExceptionHandler::PrepareThread();
    for (;;) {
        KMessage *msg = nullptr;
        {
            std::unique_lock<std::mutex> lock(state->mutex);
            auto current = [&] {
                return state->running && state->generation == generation;
            };
            state->wake.wait(lock, [&] { return !current() || !state->waiting.empty(); });
            if (!current())
                return; // `queue` may be gone already: touch nothing of it
            msg = state->waiting.front();
            state->waiting.pop_front();
        }
        queue->processMsg(msg);
        msg->Release();
    }
}
