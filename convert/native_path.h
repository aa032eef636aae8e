// Paths reach the library and the programs as narrow strings in the
// system's own encoding: UTF-8 on POSIX systems, and on Windows the ANSI
// code page, which the programs' manifest makes UTF-8. std::filesystem on
// MinGW reads a narrow string byte by byte as if it were Latin-1 and writes
// one back as UTF-8 whatever the code page, so every path that crosses
// between the two forms goes through these instead.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zentoro {

std::filesystem::path pathFromNative(std::string_view text);

// On Windows, a character the ANSI code page lacks becomes '?', which no
// file name holds: the path then names nothing rather than some other file.
std::string nativeFromPath(const std::filesystem::path& path);

#ifdef _WIN32
// The wide form that the "W" calls take past 260 characters: the full path
// as the plain calls would resolve it (relative to the current folder, with
// "." and ".." collapsed and "/" read as "\\"), then marked extended-length
// ("\\?\C:\..." or "\\?\UNC\server\share\..."). Device names such as
// "NUL" and paths already in a "\\?\" or "\\.\" form are kept as they are.
std::wstring extendedLengthPath(std::string_view text);
#endif

}  // namespace zentoro
