// Message queue hand-over: messages per second from PushMsg to processMsg, and the latency of
// one message through an idle queue (p50, p99), against a bare mutex + condition variable
// hand-over between the same two threads as the floor.
#include <Bench.h>
#include <kwl/KMessageQueue.h>
#include <kwl/KRefPtr.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

using Clock = std::chrono::steady_clock;

namespace {

constexpr long kMessages = 200000;

struct StampMsg : KMessage
{
    StampMsg()
        : KMessage(0)
    { }
    Clock::time_point pushed = Clock::now();
};

class LatencyQueue : public KMessageQueue
{
public:
    LatencyQueue()
        : KMessageQueue(1, 1 << 20)
    {
        Start();
    }
    std::atomic<long> handled {0};
    std::vector<double> latencyUs;

    // Pushes a message, waiting while the queue is full.
    void push()
    {
        KRefPtr<StampMsg> msg(new StampMsg);
        while (PushMsg(msg.get()) != 0)
            std::this_thread::yield();
    }
    void waitFor(long count) const
    {
        while (handled.load(std::memory_order_acquire) < count)
            std::this_thread::yield();
    }

protected:
    void processMsg(KMessage *msg) override
    {
        const auto delay = Clock::now() - static_cast<StampMsg *>(msg)->pushed;
        latencyUs.push_back(std::chrono::duration<double, std::micro>(delay).count());
        handled.fetch_add(1, std::memory_order_release);
    }
};

double perSecond(long count, Clock::time_point start)
{
    return count / std::chrono::duration<double>(Clock::now() - start).count();
}

// The floor: the same producer/consumer hand-over with nothing but a vector under a mutex.
double bareThroughput()
{
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<Clock::time_point> items, batch;
    std::thread consumer([&] {
        for (long consumed = 0; consumed < kMessages; batch.clear()) {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [&] { return !items.empty(); });
            batch.swap(items);
            lock.unlock();
            consumed += static_cast<long>(batch.size());
        }
    });
    const auto start = Clock::now();
    for (long i = 0; i < kMessages; ++i) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            items.push_back(Clock::now());
        }
        wake.notify_one();
    }
    consumer.join();
    return perSecond(kMessages, start);
}

} // namespace

int main()
{
    KRefPtr<LatencyQueue> queue(new LatencyQueue);
    const auto start = Clock::now();
    for (long i = 0; i < kMessages; ++i)
        queue->push();
    queue->waitFor(kMessages);
    std::printf("queue throughput   %.0f msg/s\n", perSecond(kMessages, start));
    std::printf("floor throughput   %.0f msg/s (mutex + condition variable)\n", bareThroughput());

    KRefPtr<LatencyQueue> idle(new LatencyQueue);
    for (int i = 1; i <= 2000; ++i) {
        idle->push();
        idle->waitFor(i);
    }
    std::printf("queue latency      p50 %.1f us  p99 %.1f us\n",
                Bench::percentile(idle->latencyUs, 0.5), Bench::percentile(idle->latencyUs, 0.99));
    return 0;
}
