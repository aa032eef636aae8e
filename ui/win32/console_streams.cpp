#include "ui/win32/console_streams.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace zentoro {

ConsoleStreams::ConsoleStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // 0 when the process has no console. The code page belongs to the
    // console, shared with the shell that started us, hence the restore.
    UINT current = GetConsoleOutputCP();
    UINT wanted = GetACP();
    if (current != 0 && current != wanted && SetConsoleOutputCP(wanted)) previousCodePage_ = current;
}

ConsoleStreams::~ConsoleStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (previousCodePage_ != 0) SetConsoleOutputCP(previousCodePage_);
}

}  // namespace zentoro
