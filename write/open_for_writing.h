// Opens a file for writing by its path. On Windows the wide name is used,
// since a narrow one goes through the ANSI code page, which may lack the
// name's characters.
#pragma once

#include <cstdio>
#include <filesystem>

namespace zentoro {

inline std::FILE* openForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
    return ::_wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

}  // namespace zentoro
