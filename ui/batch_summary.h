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
    void addKept() { ++kept_; }
    // `shownPath` as report lines show it (escaped).
    void addFailure(const std::string& shownPath, const std::string& reason);
    // A damaged document of which something was recovered: a failure
    // counted on its own.
    void addDamaged(const std::string& shownPath, const std::string& reason);
    bool anyFailed() const { return !failures_.empty(); }

    // "Summary: 3 converted, 5 skipped (not Word documents), 1 failed\n",
    // with "2 kept (output exists)" and "3 damaged, partly recovered"
    // before the failures when there are such, then one line per failure
    // or damaged document.
    std::string text(ConsoleAction action) const;

private:
    struct Failure {
        std::string path;
        std::string reason;
    };
    size_t succeeded_ = 0;
    size_t skipped_ = 0;
    size_t kept_ = 0;
    size_t damaged_ = 0;
    std::vector<Failure> failures_;
};

}  // namespace zentoro
