// Opens and writes a file by its path. On Windows the wide name is used,
// since a narrow one goes through the ANSI code page, which may lack the
// name's characters.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace zentoro {

inline std::FILE* openForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
    return ::_wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

// Writes `bytes` as the whole file at `path`, created or emptied first. On
// failure `error` holds the errno value and no part of the file is left.
inline bool writeWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes, int& error) {
    std::FILE* file = openForWriting(path);
    if (file == nullptr) {
        error = errno;
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    error = errno;
    if (std::fclose(file) == 0 && written) return true;
    if (written) error = errno;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
}

}  // namespace zentoro
