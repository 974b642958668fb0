#include <kwl/KMessageQueue.h>
#include <kwl/KRefPtr.h>

#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_liveMessages{0};

class NumberMsg : public KMessage
{
public:
    explicit NumberMsg(int n) : KMessage(7), number(n) { ++g_liveMessages; }
    ~NumberMsg() override { --g_liveMessages; }
    const int number;
};

// Holds handlers back so that messages pile up. It lives outside the queue: the thread that
// opens it may still be inside open() when the queue it released is already gone.
class Gate
{
public:
    void close()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = false;
    }
    void open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    void pass()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = true;
};

// Records what it handles, after passing its gate.
class RecordingQueue : public KMessageQueue
{
public:
    RecordingQueue(int capacity, std::atomic<bool> *destroyed = nullptr, Gate *gate = nullptr)
        : KMessageQueue(1, capacity), m_destroyed(destroyed), m_gate(gate)
    {
    }
    ~RecordingQueue() override
    {
        if (m_destroyed)
            *m_destroyed = true;
    }

    // Waits until `count` messages were handled; false after five seconds.
    bool waitHandled(size_t count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(5),
                                  [&] { return numbers.size() >= count; });
    }

    std::vector<int> numbers;
    std::vector<std::thread::id> threads;
    std::function<void(int)> onHandled;

protected:
    void processMsg(KMessage *msg) override
    {
        QCOMPARE(msg->GetType(), 7);
        const int n = static_cast<NumberMsg *>(msg)->number;
        if (m_gate)
            m_gate->pass();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            numbers.push_back(n);
            threads.push_back(std::this_thread::get_id());
            m_changed.notify_all();
        }
        // Last: a handler may drop the queue's last reference, and nothing may follow that.
        if (onHandled)
            onHandled(n);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::atomic<bool> *m_destroyed;
    Gate *m_gate;
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
    void deliversInOrderOnAWorkerThread()
    {
        std::atomic<bool> destroyed{false};
        KRefPtr<RecordingQueue> queue(new RecordingQueue(1024, &destroyed));
        QVERIFY(!queue->IsRunning());
        QCOMPARE(queue->Start(), 0);
        QVERIFY(queue->IsRunning());
        for (int i = 0; i < 500; ++i)
            QCOMPARE(push(*queue, i), 0);
        QVERIFY(queue->waitHandled(500));

        std::vector<int> expected(500);
        std::iota(expected.begin(), expected.end(), 0);
        QCOMPARE(queue->numbers, expected);
        for (std::thread::id id : queue->threads) {
            QVERIFY(id != std::this_thread::get_id());
            QCOMPARE(id, queue->threads.front());
        }
        QCOMPARE(queue->QueueSize(), 0);
        QCOMPARE(g_liveMessages.load(), 0); // each message freed once handled
        queue.reset();
        QVERIFY(destroyed);
    }

    void oneMessageAtATimeEvenFromManyPushers()
    {
        KRefPtr<RecordingQueue> queue(new RecordingQueue(100000));
        std::atomic<int> inside{0};
        std::atomic<int> overlaps{0};
        queue->onHandled = [&](int) {
            if (++inside > 1)
                ++overlaps;
            std::this_thread::yield();
            --inside;
        };
        queue->Start();
        std::vector<std::thread> pushers;
        for (int t = 0; t < 4; ++t)
            pushers.emplace_back([&, t] {
                for (int i = 0; i < 1000; ++i)
                    push(*queue, t * 1000 + i);
            });
        for (std::thread &t : pushers)
            t.join();
        QVERIFY(queue->waitHandled(4000));
        QCOMPARE(overlaps.load(), 0);
        // Each pusher's own messages keep their order.
        std::vector<int> last(4, -1);
        for (int n : queue->numbers) {
            QVERIFY(n % 1000 > last[n / 1000]);
            last[n / 1000] = n % 1000;
        }
    }

    void pushFailsWhenFullAndStopDropsTheRest()
    {
        Gate gate;
        KRefPtr<RecordingQueue> queue(new RecordingQueue(3, nullptr, &gate));
        gate.close();
        queue->Start();
        QCOMPARE(push(*queue, 0), 0);
        QTRY_COMPARE(queue->QueueSize(), 0); // the worker holds message 0 at the gate
        QCOMPARE(push(*queue, 1), 0);
        QCOMPARE(push(*queue, 2), 0);
        QCOMPARE(push(*queue, 3), 0);
        QCOMPARE(queue->QueueSize(), 3);
        QCOMPARE(push(*queue, 4), -2);
        QCOMPARE(queue->PushMsg(nullptr), -1);
        QCOMPARE(g_liveMessages.load(), 4); // the refused one is freed by its pusher

        queue->SignalStop();
        QVERIFY(!queue->IsRunning());
        gate.open();
        queue->Stop();
        QCOMPARE(queue->numbers, std::vector<int>{0}); // nothing after the stop request
        QCOMPARE(queue->QueueSize(), 0);
        QCOMPARE(g_liveMessages.load(), 0);

        // A stopped queue starts again.
        queue->Start();
        QCOMPARE(push(*queue, 5), 0);
        QVERIFY(queue->waitHandled(2));
        QCOMPARE(queue->numbers.back(), 5);
    }

    void lastReferenceStopsTheWorker()
    {
        std::atomic<bool> destroyed{false};
        Gate gate;
        auto *queue = new RecordingQueue(16, &destroyed, &gate);
        queue->AddRef();
        gate.close();
        queue->Start();
        push(*queue, 1);
        push(*queue, 2);
        // Release from another thread while the worker is busy: destroy waits for the handler,
        // then the object goes.
        std::thread opener([&gate] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            gate.open();
        });
        QCOMPARE(queue->Release(), 0L);
        opener.join();
        QVERIFY(destroyed);
        QCOMPARE(g_liveMessages.load(), 0);
    }

    void handlerMayDropTheLastReference()
    {
        std::atomic<bool> destroyed{false};
        auto *queue = new RecordingQueue(16, &destroyed);
        queue->AddRef();
        queue->onHandled = [queue](int) { queue->Release(); };
        queue->Start();
        push(*queue, 1);
        QTRY_VERIFY(destroyed);
        QTRY_COMPARE(g_liveMessages.load(), 0);
    }

    void refPtrCountsReferences()
    {
        auto *msg = new NumberMsg(1);
        {
            KRefPtr<NumberMsg> a(msg);
            QCOMPARE(msg->RefCount(), 1L);
            KRefPtr<NumberMsg> b = a;
            QCOMPARE(msg->RefCount(), 2L);
            KRefPtr<NumberMsg> c = std::move(b);
            QVERIFY(!b);
            QCOMPARE(msg->RefCount(), 2L);
            c = KRefPtr<NumberMsg>();
            QCOMPARE(msg->RefCount(), 1L);
            KStr info;
            QCOMPARE(msg->GetObjInfo(&info), 0);
            QVERIFY(QString::fromStdString(info).endsWith("refs=1"));
        }
        QCOMPARE(g_liveMessages.load(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_KMessageQueue)
#include "tst_KMessageQueue.moc"
