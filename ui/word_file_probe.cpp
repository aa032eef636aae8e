#include "ui/word_file_probe.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "convert/input_file.h"
#include "reader/header_check.h"
#include "reader/input_readers.h"
#include "reader/word_uids.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zentoro {

namespace {

// Application UIDs of the other EPOC documents a backup holds.
struct KnownApplication {
    uint32_t uid;
    const char* what;
};

constexpr KnownApplication KnownApplications[] = {
    {0x10000088, "it is a spreadsheet file"},
    {0x1000007D, "it is a sketch"},
};

// What a file that is not a Word document is, from its header.
std::string whatTheFileIs(const unsigned char* header, size_t size) {
    if (size == 0) return "it is empty";
    InputStream in{header, size, 0};
    if (size < WordHeaderCheckSize) return "it is too short to be one";
    if (readU32(in) != EpocFileUid) return "it is not an EPOC file";
    if (readU32(in) != StandardDocumentUid) return "it is an EPOC file but not a document";
    uint32_t application = readU32(in);
    for (const KnownApplication& known : KnownApplications) {
        if (application == known.uid) return known.what;
    }
    char text[64];
    std::snprintf(text, sizeof text, "it is a document of another application (0x%08X)",
                  static_cast<unsigned>(application));
    return text;
}

ProbedFile unreadable(std::string problem) {
    ProbedFile probe;
    probe.kind = FileKind::Unreadable;
    probe.problem = std::move(problem);
    return probe;
}

ProbedFile unopenable(int error, bool followLinks) {
    if (!followLinks && error == ELOOP) {
        return unreadable("cannot open: it has become a symbolic link since the folder was listed");
    }
    return unreadable(std::string("cannot open: ") + std::strerror(error));
}

ProbedFile probeHeader(const unsigned char* header, size_t got) {
    InputStream in{header, got, 0};
    const char* mismatch = headerMismatchMessage(in);
    ProbedFile probe;
    probe.kind = mismatch == nullptr ? FileKind::WordDocument : FileKind::OtherFile;
    if (mismatch != nullptr) probe.problem = whatTheFileIs(header, got);
    probe.headerMessage = mismatch;
    probe.headerSize = std::min(got, sizeof probe.header);
    std::memcpy(probe.header, header, probe.headerSize);
    return probe;
}

}  // namespace

void OpenDescriptor::reset() {
#ifndef _WIN32
    if (fd_ >= 0) ::close(fd_);
#endif
    fd_ = -1;
}

ProbedFile probeWordFile(const std::string& path, bool followLinks, bool keepOpen) {
#ifndef _WIN32
    // The header alone is read, straight into place: no stream buffer.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) return unopenable(errno, followLinks);
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        int error = errno;
        ::close(fd);
        return unopenable(error, followLinks);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return unreadable("not a regular file");
    }
    // Read where it lies, leaving the file at its start for a conversion.
    unsigned char header[sizeof ProbedFile::header];
    size_t got = 0;
    int readError = 0;
    while (got < sizeof header) {
        ssize_t n = ::pread(fd, header + got, sizeof header - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) readError = errno;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    if (readError != 0) {
        ::close(fd);
        return unreadable(std::string("cannot read: ") + std::strerror(readError));
    }
    ProbedFile probe = probeHeader(header, got);
    if (probe.kind != FileKind::WordDocument || !keepOpen) {
        ::close(fd);
        return probe;
    }
    probe.descriptor = OpenDescriptor(fd);
    probe.size = static_cast<size_t>(status.st_size);
    return probe;
#else
    std::FILE* file = nullptr;
    size_t size = 0;
    ConversionResult opened = openInputFile(path.c_str(), followLinks, file, size);
    if (opened.failure == Failure::InputNotRegularFile) return unreadable("not a regular file");
    if (!opened.succeeded()) return unopenable(opened.systemError, followLinks);
    ProbedFile probe = probeWordStream(file);
    if (probe.kind == FileKind::WordDocument && keepOpen && std::fseek(file, 0, SEEK_SET) == 0) {
        probe.file.reset(file);
        probe.size = size;
        return probe;
    }
    std::fclose(file);
    return probe;
#endif
}

ProbedFile probeWordStream(std::FILE* stream) {
    unsigned char header[sizeof ProbedFile::header];
    errno = 0;
    size_t got = std::fread(header, 1, sizeof header, stream);
    int readError = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
    if (readError != 0) return unreadable(std::string("cannot read: ") + std::strerror(readError));
    return probeHeader(header, got);
}

}  // namespace zentoro
