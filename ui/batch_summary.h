// The tally of a run over folders, printed at its end.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/console_options.h"

namespace zentoro {

class BatchSummary {
public:
    void addSucceeded() { ++succeeded_; }
    void addSkipped() { ++skipped_; }
    void addFailure(const std::string& path, const std::string& reason);
    bool anyFailed() const { return !failures_.empty(); }

    // "Summary: 3 converted, 5 skipped (not Word documents), 1 failed",
    // then one line per failure.
    void print(std::FILE* out, ConsoleAction action) const;

private:
    struct Failure {
        std::string path;
        std::string reason;
    };
    size_t succeeded_ = 0;
    size_t skipped_ = 0;
    std::vector<Failure> failures_;
};

}  // namespace zentoro
