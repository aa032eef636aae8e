#include "ui/word_file_probe.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "reader/header_check.h"

namespace zentoro {

ProbedFile probeWordFile(const std::string& path) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {FileKind::Unreadable, std::strerror(errno)};
    unsigned char header[WordHeaderCheckSize];
    size_t got = std::fread(header, 1, sizeof header, file);
    int readError = std::ferror(file) != 0 ? errno : 0;
    std::fclose(file);
    if (readError != 0) return {FileKind::Unreadable, std::strerror(readError)};
    InputStream in{header, got, 0};
    return {hasWordHeaderUids(in) ? FileKind::WordDocument : FileKind::OtherFile, {}};
}

}  // namespace zentoro
