// The console program's standard streams on Windows, set up for the run and
// put back at its end.
#pragma once

#include <windows.h>

namespace zentoro {

// Standard output and error carry bytes as they are, the RTF of `-o -`
// included (no "\r\n" for "\n"), as on other systems. The console, when
// there is one, shows them in the ANSI code page that every narrow string
// of the program is in: UTF-8 under the manifest. Without a console
// (output redirected to a file or pipe) the bytes are written unchanged.
class ConsoleStreams {
public:
    ConsoleStreams();
    ~ConsoleStreams();
    ConsoleStreams(const ConsoleStreams&) = delete;
    ConsoleStreams& operator=(const ConsoleStreams&) = delete;

private:
    UINT previousCodePage_ = 0;  // 0: the console's code page was left alone
};

}  // namespace zentoro
