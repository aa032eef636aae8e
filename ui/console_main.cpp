#include "ui/console_front_end.h"

#ifdef _WIN32
#include "ui/win32/console_streams.h"
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    zentoro::ConsoleStreams streams;
#endif
    return zentoro::runConsole(argc, argv);
}
