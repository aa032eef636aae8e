// Conversions of a folder run on worker threads, one per processor core (up
// to four), while the calling thread goes on checking the next files; what
// each file reports is still written on the calling thread, in the order
// the files were handed in, so the run's output does not depend on timing.
#pragma once

#include <functional>
#include <memory>

namespace zentoro {

class ConversionPipeline {
public:
    // With fewer than two workers everything runs on the calling thread.
    explicit ConversionPipeline(unsigned workers);
    ~ConversionPipeline();
    ConversionPipeline(const ConversionPipeline&) = delete;
    ConversionPipeline& operator=(const ConversionPipeline&) = delete;

    // Workers for this machine: one per core, at least one, at most four.
    static unsigned workersForThisMachine();

    // Runs `conversion` on a worker, and later `report` with its result on
    // the calling thread, after the reports of everything handed in before.
    void convert(std::function<bool()> conversion, std::function<void(bool)> report);

    // Runs `report` on the calling thread once everything handed in before
    // has been reported: at once when nothing is pending.
    void then(std::function<void()> report);

    // Waits for every conversion and runs every report still pending.
    void finish();

private:
    // The queues and the threads; absent when everything runs on the calling
    // thread, as it does where the standard library has no threads.
    struct Workers;
    std::unique_ptr<Workers> workers_;
};

}  // namespace zentoro
