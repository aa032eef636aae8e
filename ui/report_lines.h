// Where report lines go: successes (and the summary) on the report stream,
// standard output unless the converted document goes there; failures on
// standard error. Each line is flushed at once, so that the two streams
// interleave in order on a terminal, and the progress line is erased first.
#pragma once

#include <cerrno>
#include <cstdio>
#include <string>

#include "ui/progress_line.h"

namespace zentoro {

class ReportLines {
public:
    ReportLines(std::FILE* reports, bool quiet, ProgressLine& progress)
        : reports_(reports), quiet_(quiet), progress_(progress) {}

    // A file done or found as asked; left out with --quiet.
    void success(const std::string& line) {
        if (!quiet_) write(reports_, line);
    }
    void failure(const std::string& line) { write(stderr, line); }
    // Shown even with --quiet: the summary.
    void always(const std::string& text) { write(reports_, text); }

    // The errno value of the first write to the report stream that failed, or 0.
    int reportError() const { return reportError_; }

private:
    void write(std::FILE* stream, const std::string& text) {
        progress_.clear();
        bool written = std::fputs(text.c_str(), stream) >= 0;
        written = std::fflush(stream) == 0 && written;
        if (!written && stream == reports_ && reportError_ == 0) reportError_ = errno != 0 ? errno : EIO;
    }

    std::FILE* reports_;
    bool quiet_;
    ProgressLine& progress_;
    int reportError_ = 0;
};

}  // namespace zentoro
