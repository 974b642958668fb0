#include <kwl/KMessageQueue.h>
#include <kwl/KRefPtr.h>

#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_liveMessages {0};
std::atomic<int> g_liveQueues {0};

class NumberMsg : public KMessage
{
public:
    explicit NumberMsg(int n)
        : KMessage(7)
        , number(n)
    {
        ++g_liveMessages;
    }
    ~NumberMsg() override { --g_liveMessages; }
    const int number;
};

// Records what it handles. A gate (a future that the test makes ready) holds handlers back so
// that messages pile up; it lives outside the queue, which may be gone before the opener returns.
class RecordingQueue : public KMessageQueue
{
public:
    explicit RecordingQueue(int capacity, std::shared_future<void> gate = {})
        : KMessageQueue(1, capacity)
        , m_gate(std::move(gate))
    {
        ++g_liveQueues;
    }
    ~RecordingQueue() override { --g_liveQueues; }

    // Waits until `count` messages were handled; false after five seconds.
    bool waitHandled(size_t count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(5),
                                  [&] { return numbers.size() >= count; });
    }

    std::vector<int> numbers;
    std::vector<std::thread::id> threads;
    std::atomic<int> overlaps {0};
    std::function<void()> onHandled;

protected:
    void processMsg(KMessage *msg) override
    {
        if (++m_inside > 1)
            ++overlaps;
        if (m_gate.valid())
            m_gate.wait();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            numbers.push_back(msg->GetType() == 7 ? static_cast<NumberMsg *>(msg)->number : -1);
            threads.push_back(std::this_thread::get_id());
            m_changed.notify_all();
        }
        --m_inside;
        if (onHandled) // last: it may drop the queue's last reference
            onHandled();
    }

private:
    std::shared_future<void> m_gate;
    std::atomic<int> m_inside {0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

// Pushes the way callers do: a reference only for the duration of the push.
int push(KMessageQueue &queue, int n)
{
    KRefPtr<NumberMsg> msg(new NumberMsg(n));
    return queue.PushMsg(msg.get());
}

} // namespace

class tst_KMessageQueue : public QObject
{
    Q_OBJECT

private slots:
    void deliversOneAtATimeInPushOrderOnOneWorker()
    {
        KRefPtr<RecordingQueue> queue(new RecordingQueue(100000));
        QCOMPARE(queue->Start(), 0);
        std::vector<std::thread> pushers;
        for (int t = 0; t < 4; ++t)
            pushers.emplace_back([&, t] {
                for (int i = 0; i < 500; ++i)
                    QCOMPARE(push(*queue, t * 1000 + i), 0);
            });
        for (std::thread &t : pushers)
            t.join();
        QVERIFY(queue->waitHandled(2000));
        QCOMPARE(queue->overlaps.load(), 0);
        std::vector<int> last(4, -1); // each pusher's messages keep their order
        for (int n : queue->numbers) {
            QCOMPARE(n % 1000, last[n / 1000] + 1);
            last[n / 1000] = n % 1000;
        }
        for (std::thread::id id : queue->threads)
            QVERIFY(id == queue->threads.front() && id != std::this_thread::get_id());
        // Each message is freed once handled: the worker lets the last one go just after its
        // handler returns.
        QTRY_COMPARE(g_liveMessages.load(), 0);
        queue.reset();
        QCOMPARE(g_liveQueues.load(), 0);
    }

    void pushFailsWhenFullAndStopDropsTheRest()
    {
        std::promise<void> gate;
        KRefPtr<RecordingQueue> queue(new RecordingQueue(3, gate.get_future().share()));
        queue->Start();
        QCOMPARE(push(*queue, 0), 0);
        QTRY_COMPARE(queue->QueueSize(), 0); // the worker holds message 0 at the gate
        for (int n : {1, 2, 3})
            QCOMPARE(push(*queue, n), 0);
        QCOMPARE(queue->QueueSize(), 3);
        QCOMPARE(push(*queue, 4), -2);
        QCOMPARE(queue->PushMsg(nullptr), -1);
        QCOMPARE(g_liveMessages.load(), 4); // the refused one is freed by its pusher

        queue->SignalStop();
        QVERIFY(!queue->IsRunning());
        gate.set_value();
        queue->Stop();
        QCOMPARE(queue->numbers, std::vector<int> {0}); // nothing after the stop request
        QCOMPARE(queue->QueueSize(), 0);
        QCOMPARE(g_liveMessages.load(), 0);

        queue->Start(); // a stopped queue starts again
        QCOMPARE(push(*queue, 5), 0);
        QVERIFY(queue->waitHandled(2));
        QCOMPARE(queue->numbers.back(), 5);
    }

    void lastReferenceEndsTheQueue_data()
    {
        QTest::addColumn<bool>("fromHandler");
        QTest::newRow("released while the worker is busy") << false;
        QTest::newRow("released by the handler") << true;
    }

    void lastReferenceEndsTheQueue()
    {
        QFETCH(bool, fromHandler);
        std::promise<void> gate;
        auto *queue = new RecordingQueue(
            16, fromHandler ? std::shared_future<void>() : gate.get_future().share());
        queue->AddRef();
        if (fromHandler)
            queue->onHandled = [queue] {
                queue->Release();
            };
        queue->Start();
        push(*queue, 1);
        if (!fromHandler) {
            push(*queue, 2);
            // destroy waits for the handler in hand, then the object goes.
            std::thread opener([&gate] {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                gate.set_value();
            });
            QCOMPARE(queue->Release(), 0L);
            opener.join();
        }
        QTRY_COMPARE(g_liveQueues.load(), 0);
        QTRY_COMPARE(g_liveMessages.load(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_KMessageQueue)
#include "tst_KMessageQueue.moc"
