#include "ui/win32/console_arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "convert/native_path.h"

namespace zentoro {

std::vector<std::string> commandLineArguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return {};
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) arguments.push_back(nativeFromPath(std::filesystem::path(wide[i])));
    LocalFree(wide);
    return arguments;
}

}  // namespace zentoro
