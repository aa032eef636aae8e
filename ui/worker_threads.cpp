#include "ui/worker_threads.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#endif

namespace zentoro {

namespace {

// The threads, a lock and its two conditions, in the platform's own terms:
// MinGW's standard library has no std::thread in its win32 thread model.
#ifdef _WIN32

class Lock {
public:
    void acquire() { AcquireSRWLockExclusive(&lock_); }
    void release() { ReleaseSRWLockExclusive(&lock_); }
    SRWLOCK* native() { return &lock_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

class Condition {
public:
    void wait(Lock& lock) { SleepConditionVariableSRW(&condition_, lock.native(), INFINITE, 0); }
    void wakeOne() { WakeConditionVariable(&condition_); }
    void wakeAll() { WakeAllConditionVariable(&condition_); }

private:
    CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
};

class Thread {
public:
    template <typename Body>
    bool start(Body* body) {
        handle_ = CreateThread(nullptr, 0, &Thread::entry<Body>, body, 0, nullptr);
        return handle_ != nullptr;
    }
    void join() {
        WaitForSingleObject(handle_, INFINITE);
        CloseHandle(handle_);
    }

private:
    template <typename Body>
    static DWORD WINAPI entry(void* body) {
        (*static_cast<Body*>(body))();
        return 0;
    }
    HANDLE handle_ = nullptr;
};

unsigned processorCount() { return static_cast<unsigned>(GetActiveProcessorCount(ALL_PROCESSOR_GROUPS)); }

#else

class Lock {
public:
    void acquire() { mutex_.lock(); }
    void release() { mutex_.unlock(); }
    std::mutex& native() { return mutex_; }

private:
    std::mutex mutex_;
};

class Condition {
public:
    void wait(Lock& lock) {
        std::unique_lock<std::mutex> held(lock.native(), std::adopt_lock);
        condition_.wait(held);
        held.release();
    }
    void wakeOne() { condition_.notify_one(); }
    void wakeAll() { condition_.notify_all(); }

private:
    std::condition_variable condition_;
};

class Thread {
public:
    template <typename Body>
    bool start(Body* body) {
        try {
            thread_ = std::thread([body] { (*body)(); });
        } catch (const std::system_error&) {
            return false;
        }
        return true;
    }
    void join() { thread_.join(); }

private:
    std::thread thread_;
};

unsigned processorCount() { return std::thread::hardware_concurrency(); }

#endif

// Tasks waiting before handIn wakes a sleeping thread.
constexpr size_t TasksPerWake = 4;

}  // namespace

struct WorkerThreads::Shared {
    Lock lock;
    Condition taskWaiting;   // a task was handed in, or the threads are to stop
    Condition taskFinished;  // a task ran to its end
    std::deque<std::function<void()>> waiting;  // handed in, not yet taken
    size_t nextTicket = 0;                      // the ticket of waiting.front()
    std::vector<bool> finished;                 // by ticket
    size_t finishedCount = 0;
    size_t awaited = SIZE_MAX;  // the ticket waitFor waits for
    size_t wakeAt = 0;          // and the finishedCount it waits for, unless nothing is left waiting
    bool stopping = false;
    void (*onStart)() = nullptr;
    std::vector<Thread> threads;

    bool awaitedIsDue() const { return finished[awaited] && (finishedCount >= wakeAt || waiting.empty()); }

    // What each thread runs: takes the oldest waiting task until told to stop
    // with nothing left waiting.
    void operator()() {
        if (onStart != nullptr) onStart();
        lock.acquire();
        while (true) {
            while (waiting.empty() && !stopping) taskWaiting.wait(lock);
            if (waiting.empty()) break;
            std::function<void()> task = std::move(waiting.front());
            waiting.pop_front();
            size_t ticket = nextTicket++;
            lock.release();
            task();
            lock.acquire();
            finished[ticket] = true;
            ++finishedCount;
            if (awaited != SIZE_MAX && awaitedIsDue()) taskFinished.wakeAll();
        }
        lock.release();
    }
};

WorkerThreads::WorkerThreads(unsigned threads, void (*onStart)()) {
    if (threads < 2) return;
    shared_ = std::make_unique<Shared>();
    shared_->onStart = onStart;
    shared_->threads.resize(threads);
    size_t started = 0;
    while (started < threads && shared_->threads[started].start(shared_.get())) ++started;
    shared_->threads.resize(started);
    // Without a thread of its own, every task runs on the calling thread.
    if (started == 0) shared_.reset();
}

WorkerThreads::~WorkerThreads() {
    if (!shared_) return;
    shared_->lock.acquire();
    shared_->stopping = true;
    shared_->taskWaiting.wakeAll();
    shared_->lock.release();
    for (Thread& thread : shared_->threads) thread.join();
}

unsigned WorkerThreads::forThisMachine() { return std::clamp(processorCount(), 1u, MostThreads); }

size_t WorkerThreads::handIn(std::function<void()> task) {
    size_t ticket = tickets_++;
    if (!shared_) {
        task();
        return ticket;
    }
    shared_->lock.acquire();
    shared_->waiting.push_back(std::move(task));
    shared_->finished.push_back(false);
    if (shared_->waiting.size() >= TasksPerWake) shared_->taskWaiting.wakeOne();
    shared_->lock.release();
    return ticket;
}

void WorkerThreads::wakeForWaitingTasks() {
    if (!shared_) return;
    shared_->lock.acquire();
    if (!shared_->waiting.empty()) shared_->taskWaiting.wakeAll();
    shared_->lock.release();
}

void WorkerThreads::waitFor(size_t ticket) {
    if (!shared_) return;
    Shared& shared = *shared_;
    shared.lock.acquire();
    if (!shared.finished[ticket]) {
        if (!shared.waiting.empty()) shared.taskWaiting.wakeAll();
        shared.awaited = ticket;
        shared.wakeAt = shared.finishedCount + shared.threads.size();
        while (!shared.awaitedIsDue()) shared.taskFinished.wait(shared.lock);
        shared.awaited = SIZE_MAX;
    }
    shared.lock.release();
}

}  // namespace zentoro
