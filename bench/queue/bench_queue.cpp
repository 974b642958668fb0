// Message queue hand-over: messages per second from PushMsg to processMsg, and the latency of
// one message through an idle queue (p50, p99), against a bare mutex + condition variable
// hand-over between the same two threads as the floor.
#include <BenchStats.h>
#include <kwl/KMessageQueue.h>
#include <kwl/KRefPtr.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

struct StampMsg : KMessage
{
    StampMsg()
        : KMessage(0)
        , pushed(Clock::now())
    { }
    Clock::time_point pushed;
};

class LatencyQueue : public KMessageQueue
{
public:
    LatencyQueue()
        : KMessageQueue(1, 1 << 20)
    { }
    std::atomic<long> handled {0};
    std::vector<double> latencyUs;

protected:
    void processMsg(KMessage *msg) override
    {
        const auto delay = Clock::now() - static_cast<StampMsg *>(msg)->pushed;
        latencyUs.push_back(std::chrono::duration<double, std::micro>(delay).count());
        handled.fetch_add(1, std::memory_order_release);
    }
};

double queueThroughput(long count)
{
    KRefPtr<LatencyQueue> queue(new LatencyQueue);
    queue->Start();
    const auto start = Clock::now();
    for (long i = 0; i < count; ++i) {
        KRefPtr<StampMsg> msg(new StampMsg);
        while (queue->PushMsg(msg.get()) != 0)
            std::this_thread::yield();
    }
    while (queue->handled.load(std::memory_order_acquire) < count)
        std::this_thread::yield();
    return count / std::chrono::duration<double>(Clock::now() - start).count();
}

void queueLatency(int samples)
{
    KRefPtr<LatencyQueue> queue(new LatencyQueue);
    queue->Start();
    for (int i = 0; i < samples; ++i) {
        KRefPtr<StampMsg> msg(new StampMsg);
        queue->PushMsg(msg.get());
        while (queue->handled.load(std::memory_order_acquire) <= i)
            std::this_thread::yield();
    }
    std::printf("queue latency      p50 %.1f us  p99 %.1f us\n", percentile(queue->latencyUs, 0.5),
                percentile(queue->latencyUs, 0.99));
}

// The floor: the same producer/consumer hand-over with nothing but a deque under a mutex.
double bareThroughput(long count)
{
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<Clock::time_point> items;
    long consumed = 0;
    std::thread consumer([&] {
        std::vector<Clock::time_point> batch;
        while (consumed < count) {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [&] { return !items.empty(); });
            batch.swap(items);
            lock.unlock();
            consumed += static_cast<long>(batch.size());
            batch.clear();
        }
    });
    const auto start = Clock::now();
    for (long i = 0; i < count; ++i) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            items.push_back(Clock::now());
        }
        wake.notify_one();
    }
    consumer.join();
    return count / std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main()
{
    const long count = 200000;
    std::printf("queue throughput   %.0f msg/s\n", queueThroughput(count));
    std::printf("floor throughput   %.0f msg/s (mutex + condition variable)\n",
                bareThroughput(count));
    queueLatency(2000);
    return 0;
}
