#include "ui/console_front_end.h"

#ifdef _WIN32
#include <string>
#include <vector>

#include "ui/win32/console_arguments.h"
#include "ui/win32/console_streams.h"

int main(int argc, char** argv) {
    zentoro::ConsoleStreams streams;
    std::vector<std::string> arguments = zentoro::commandLineArguments();
    if (arguments.empty()) return zentoro::runConsole(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return zentoro::runConsole(static_cast<int>(arguments.size()), pointers.data());
}
#else
int main(int argc, char** argv) { return zentoro::runConsole(argc, argv); }
#endif
