#include "ui/conversion_pipeline.h"

#include <algorithm>
#include <thread>

// MinGW-w64 in its win32 thread model has no std::thread before GCC 13.
#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
#define ZENTORO_PIPELINE_THREADS 1
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>
#endif

namespace zentoro {

namespace {

constexpr unsigned MostWorkers = 4;

}  // namespace

#ifdef ZENTORO_PIPELINE_THREADS

namespace {

// Conversions handed in but not yet reported, per worker: enough to keep
// every worker busy while the calling thread checks files, without holding
// a long queue of reports.
constexpr size_t PendingPerWorker = 4;

struct Task {
    std::function<bool()> conversion;  // empty: nothing to run
    std::function<void(bool)> report;
    bool done = false;
    bool result = false;
};

}  // namespace

struct ConversionPipeline::Workers {
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable workAvailable;
    std::condition_variable taskDone;
    std::deque<std::shared_ptr<Task>> waiting;  // not yet taken by a worker
    std::deque<std::shared_ptr<Task>> pending;  // not yet reported, in order
    bool stopping = false;

    void work() {
        std::unique_lock<std::mutex> lock(mutex);
        while (true) {
            workAvailable.wait(lock, [this] { return stopping || !waiting.empty(); });
            if (waiting.empty()) return;
            std::shared_ptr<Task> task = waiting.front();
            waiting.pop_front();
            lock.unlock();
            bool result = task->conversion();
            lock.lock();
            task->result = result;
            task->done = true;
            taskDone.notify_all();
        }
    }

    // Runs the reports at the front that are done, waiting for those not
    // done until at most `pendingAtMost` are left.
    void runReports(size_t pendingAtMost) {
        std::unique_lock<std::mutex> lock(mutex);
        while (!pending.empty()) {
            std::shared_ptr<Task> front = pending.front();
            if (!front->done) {
                if (pending.size() <= pendingAtMost) return;
                taskDone.wait(lock, [&front] { return front->done; });
            }
            pending.pop_front();
            // Unlocked, so that the workers go on meanwhile. A report must
            // not hand in more work.
            lock.unlock();
            front->report(front->result);
            lock.lock();
        }
    }
};

ConversionPipeline::ConversionPipeline(unsigned workers) {
    if (workers < 2) return;
    workers_ = std::make_unique<Workers>();
    for (unsigned i = 0; i < workers; ++i) workers_->threads.emplace_back([this] { workers_->work(); });
}

ConversionPipeline::~ConversionPipeline() {
    if (!workers_) return;
    finish();
    {
        std::lock_guard<std::mutex> lock(workers_->mutex);
        workers_->stopping = true;
    }
    workers_->workAvailable.notify_all();
    for (std::thread& thread : workers_->threads) thread.join();
}

void ConversionPipeline::convert(std::function<bool()> conversion, std::function<void(bool)> report) {
    if (!workers_) {
        report(conversion());
        return;
    }
    auto task = std::make_shared<Task>(Task{std::move(conversion), std::move(report)});
    {
        std::lock_guard<std::mutex> lock(workers_->mutex);
        workers_->waiting.push_back(task);
        workers_->pending.push_back(task);
    }
    workers_->workAvailable.notify_one();
    workers_->runReports(PendingPerWorker * workers_->threads.size());
}

void ConversionPipeline::then(std::function<void()> report) {
    if (workers_) {
        std::lock_guard<std::mutex> lock(workers_->mutex);
        if (!workers_->pending.empty()) {
            auto task = std::make_shared<Task>(Task{{}, [report = std::move(report)](bool) { report(); }, true});
            workers_->pending.push_back(std::move(task));
            return;
        }
    }
    report();
}

void ConversionPipeline::finish() {
    if (workers_) workers_->runReports(0);
}

#else

struct ConversionPipeline::Workers {};

ConversionPipeline::ConversionPipeline(unsigned) {}
ConversionPipeline::~ConversionPipeline() = default;

void ConversionPipeline::convert(std::function<bool()> conversion, std::function<void(bool)> report) {
    report(conversion());
}

void ConversionPipeline::then(std::function<void()> report) { report(); }

void ConversionPipeline::finish() {}

#endif

unsigned ConversionPipeline::workersForThisMachine() {
#ifdef ZENTORO_PIPELINE_THREADS
    return std::clamp(std::thread::hardware_concurrency(), 1u, MostWorkers);
#else
    return 1;
#endif
}

}  // namespace zentoro
