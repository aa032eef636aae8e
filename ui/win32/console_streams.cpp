#include "ui/win32/console_streams.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace zentoro {

namespace {

bool isConsole(DWORD standardHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

}  // namespace

ConsoleStreams::ConsoleStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    bool outputIsConsole = isConsole(STD_OUTPUT_HANDLE);
    bool errorIsConsole = isConsole(STD_ERROR_HANDLE);
    if (outputIsConsole) std::setvbuf(stdout, outputBuffer_, _IOFBF, BufferSize);
    if (errorIsConsole) std::setvbuf(stderr, errorBuffer_, _IOFBF, BufferSize);
    if (!outputIsConsole && !errorIsConsole) return;
    // The code page belongs to the console, shared with the shell that
    // started the program: hence the restore at the end.
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
