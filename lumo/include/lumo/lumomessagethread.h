// A worker thread that handles messages one at a time in queue order and
// hands each handled message back through a completed list: callers post
// work and go on (queue), or post it and block until it is done
// (queueAndWait). Subclasses give the work (handleMessage) and may hook
// thread start (init), thread end (cleanup) and quiet periods (idle).
//
// Messages belong to whoever queued them: the thread never deletes one. A
// handled message stays in the completed list until removeCompleted or
// waitForCompleted takes it out.
#ifndef LUMO_LUMOMESSAGETHREAD_H
#define LUMO_LUMOMESSAGETHREAD_H

#include <atomic>

#include <QList>
#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QWaitCondition>

#include "lumo/lumoglobal.h"

class LUMO_EXPORT LumoMessage {
public:
    explicit LumoMessage(int id);
    virtual ~LumoMessage();

    int id() const { return _id; }

private:
    qint32 _id;
};

class LUMO_EXPORT LumoMessageThread : public QThread {
    Q_OBJECT
public:
    LumoMessageThread();
    // A running thread is stopped (with a warning), and a thread that has
    // not ended is waited for before the lists go. A subclass stops the
    // thread in its own destructor: its handlers must not run on after it.
    ~LumoMessageThread() override;

    // Starts the thread and moves this object to it; nothing when running.
    // A thread still ending after a stop whose wait failed is waited for.
    void start();
    // Clears the running flag and waits up to four idle timeouts for the
    // thread to end; messages still pending stay queued.
    void stop();
    // Milliseconds; from the thread's next wait on.
    void setIdleTimeout(int ms);

    // Null messages are ignored. Any thread but the message thread itself
    // may wait.
    void queue(LumoMessage* message);
    void queueAndWait(LumoMessage* message);
    // Takes the message (null: the oldest one) out of the completed list,
    // waiting while none is there; false after a wait of timeout ms
    // (negative: no limit) in which no message completed.
    bool waitForCompleted(LumoMessage* message, int timeout);
    // Takes it (null: the oldest) out of the completed list; false when
    // it is not there.
    bool removeCompleted(LumoMessage* message);

    int pending() const;
    int completed() const;

protected:
    void run() override;
    // All four do nothing here; they run on the message thread.
    virtual void init();
    virtual void cleanup();
    // After a full idle timeout without a message.
    virtual void idle();
    virtual void handleMessage(LumoMessage* message);

    // The oldest pending message, or null.
    LumoMessage* popNextMessage();
    void pushCompletedMessage(LumoMessage* message);

private:
    bool takeCompleted(LumoMessage* message);

    std::atomic<bool> _running;
    std::atomic<int> _idleTimeout;
    QSemaphore _pendingSemaphore;
    // Every completion wakes every waiter, and each looks for its own
    // message: no waiter can take another's wake-up.
    QWaitCondition _completedCondition;
    mutable QMutex _pendingMutex;
    mutable QMutex _completedMutex;
    QList<LumoMessage*> _pending;
    QList<LumoMessage*> _completed;
};

#endif
