// The tally of a run over folders, printed at its end.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ui/console_options.h"

namespace zentoro {

class BatchSummary {
public:
    void addSucceeded() { ++succeeded_; }
    void addSkipped() { ++skipped_; }
    void addEarlierOutput() { ++earlierOutputs_; }
    void addPassedOver() { ++passedOver_; }
    void addKept() { ++kept_; }
    // `shownPath` as report lines show it (escaped).
    void addFailure(const std::string& shownPath, const std::string& reason);
    bool anyFailed() const { return !failures_.empty(); }

    // "Summary: 3 converted, 5 skipped (not Word documents), 1 failed\n",
    // with "4 earlier outputs", "2 passed over (links and special files)" and "2 kept
    // (output exists)" before the failures where there were any, then one
    // line per failure.
    std::string text(ConsoleAction action) const;

private:
    struct Failure {
        std::string path;
        std::string reason;
    };
    size_t succeeded_ = 0;
    size_t skipped_ = 0;
    size_t kept_ = 0;
    size_t earlierOutputs_ = 0;  // outputs of an earlier run beside their documents
    size_t passedOver_ = 0;      // links to folders, dangling links, devices, FIFOs
    std::vector<Failure> failures_;
};

}  // namespace zentoro
