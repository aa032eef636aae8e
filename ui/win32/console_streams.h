// The console program's standard streams on Windows, set up for the run and
// put back at its end.
#pragma once

#include <windows.h>

#include <cstddef>

namespace zentoro {

// Standard output and error carry bytes as they are, the RTF of `-o -`
// included (no "\r\n" for "\n"), as on other systems. A stream that goes to
// a console shows them in the ANSI code page that every narrow string of the
// program is in (UTF-8 under the manifest), and is buffered so that each
// line, flushed whole, reaches the console in one write: a character split
// between writes would show as a replacement mark. A stream redirected to a
// file or pipe gets the bytes unchanged.
class ConsoleStreams {
public:
    ConsoleStreams();
    ~ConsoleStreams();
    ConsoleStreams(const ConsoleStreams&) = delete;
    ConsoleStreams& operator=(const ConsoleStreams&) = delete;

private:
    static constexpr std::size_t BufferSize = 64 * 1024;

    UINT previousCodePage_ = 0;  // 0: the console's code page was left alone
    char outputBuffer_[BufferSize];
    char errorBuffer_[BufferSize];
};

}  // namespace zentoro
