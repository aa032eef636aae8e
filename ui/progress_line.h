// A live progress line for long runs on a terminal: "[done/total] file",
// redrawn in place and erased before anything else is written.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace zentoro {

// The line's text, shortened to fit `width` columns: the front of a long
// path gives way to "...", and control characters show as '?'.
std::string progressText(size_t done, size_t total, const std::string& current, size_t width);

class ProgressLine {
public:
    // Draws on `terminal` only when `enabled`.
    ProgressLine(std::FILE* terminal, bool enabled, size_t width);
    // Draws on standard error when it is a terminal; silent otherwise.
    static ProgressLine onStandardError();

    void show(size_t done, size_t total, const std::string& current);
    // Erases the line, leaving the cursor at the start of an empty line.
    void clear();

private:
    std::FILE* terminal_;
    bool enabled_;
    size_t width_;
    size_t drawn_ = 0;  // characters of the line now on the terminal
};

}  // namespace zentoro
