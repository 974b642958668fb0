#pragma once

#include "kwl/KMessage.h"

#include <memory>
#include <thread>
#include <vector>

// A bounded FIFO of KMessage with worker threads that hand each message to processMsg.
// With one worker (the usual case) messages are handled one at a time, in push order, on the
// worker thread. The queue ends when its last reference goes: destroy() stops the workers before
// the object is deleted, so processMsg never runs on a half-destroyed object.
class KMessageQueue : public virtual KRefObj
{
public:
    // threads: worker threads (at least one); capacity: messages that may wait at once.
    KMessageQueue(int threads, int capacity);
    ~KMessageQueue() override;

    // Start and Stop belong to the owner's thread (or a handler stopping its own queue).
    // Starts the workers; returns 0 (also when already running).
    virtual int Start();
    // Asks the workers to stop after the message in hand; returns at once.
    virtual void SignalStop();
    // Stops the workers and waits for them; waiting messages are dropped.
    virtual void Stop();
    // Queues a message and takes a reference to it: 0, -1 for null, -2 when full.
    virtual int PushMsg(KMessage *msg);
    // Messages waiting (not counting one being handled).
    virtual int QueueSize();

    // True between Start and Stop.
    bool IsRunning() const;
    void destroy() override;

protected:
    // Handles one message on a worker thread; the queue keeps its reference during the call.
    virtual void processMsg(KMessage *msg) = 0;

private:
    struct State;
    static void workerLoop(std::shared_ptr<State> state, KMessageQueue *queue, unsigned generation);

    // Shared with the workers so that a worker that outlives the queue (a queue that was
    // destroyed from its own handler) never touches freed memory.
    std::shared_ptr<State> m_state;
    std::vector<std::thread> m_threads;
    int m_threadCount;
};
