// Where report lines go: successes (and the summary) on the report stream,
// standard output unless the converted document goes there; failures on
// standard error. The report stream is buffered as the C library chooses
// (by the line on a terminal) and handed on before anything is written to
// standard error, so that the two streams keep their order in a file they
// share at the cost of one write per many lines; the progress line is
// erased first.
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
    void failure(const std::string& line) {
        flush();
        write(stderr, line);
    }
    // Shown even with --quiet: the summary.
    void always(const std::string& text) { write(reports_, text); }

    // Writes out what the report stream holds: before anything else goes to
    // standard error, and at the end of the run.
    void flush() {
        if (std::fflush(reports_) != 0) noteError();
    }

    // The errno value of the first write to the report stream that failed, or 0.
    int reportError() const { return reportError_; }

private:
    void write(std::FILE* stream, const std::string& text) {
        progress_.clear();
        bool written = std::fputs(text.c_str(), stream) >= 0;
        if (stream != reports_) written = std::fflush(stream) == 0 && written;
        if (!written && stream == reports_) noteError();
    }

    void noteError() {
        if (reportError_ == 0) reportError_ = errno != 0 ? errno : EIO;
    }

    std::FILE* reports_;
    bool quiet_;
    ProgressLine& progress_;
    int reportError_ = 0;
};

}  // namespace zentoro
