// A few threads that run the tasks handed to them, in any order and on any
// of them; the thread that hands them in waits for the one it needs next.
// Each task gets a ticket, counted from 0 in the order the tasks came.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace zentoro {

class WorkerThreads {
public:
    // With fewer than two threads asked for, none is started and every task
    // runs on the calling thread as it is handed in. Each thread started
    // calls `onStart` first, when given.
    explicit WorkerThreads(unsigned threads, void (*onStart)() = nullptr);
    // Lets every task handed in run to its end, then stops the threads.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // One thread per processor core, from 1 to MostThreads.
    static unsigned forThisMachine();
    static constexpr unsigned MostThreads = 8;

    bool runsElsewhere() const { return shared_ != nullptr; }

    // Returns the task's ticket. Waking a thread costs a call to the system,
    // so a sleeping thread is woken once a few tasks are waiting rather than
    // for each one: it takes every waiting task before it sleeps again.
    size_t handIn(std::function<void()> task);
    // Wakes the threads for the tasks still waiting, before the caller turns
    // to long work of its own. waitFor does so before it waits.
    void wakeForWaitingTasks();
    // Returns once the task of `ticket` has run to its end; whatever the
    // task wrote is then visible to the caller. When it has not yet, the
    // caller sleeps on until as many more tasks as there are threads have
    // run too, or none is left waiting: it wakes once for several tasks.
    void waitFor(size_t ticket);

private:
    struct Shared;  // the queue, the threads and what guards them
    std::unique_ptr<Shared> shared_;
    size_t tickets_ = 0;
};

}  // namespace zentoro
