// Tells Word documents from other files by their header, without the
// diagnostics that checkWordFile prints, and says why a file is not one or
// could not be read.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace zentoro {

enum class FileKind { WordDocument, OtherFile, Unreadable };

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

// A file descriptor owned: closed when the object goes.
class OpenDescriptor {
public:
    OpenDescriptor() = default;
    explicit OpenDescriptor(int fd) : fd_(fd) {}
    ~OpenDescriptor() { reset(); }
    OpenDescriptor(OpenDescriptor&& other) noexcept : fd_(other.release()) {}
    OpenDescriptor& operator=(OpenDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = other.release();
        }
        return *this;
    }
    OpenDescriptor(const OpenDescriptor&) = delete;
    OpenDescriptor& operator=(const OpenDescriptor&) = delete;

    int get() const { return fd_; }
    void reset();

private:
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    int fd_ = -1;
};

struct ProbedFile {
    FileKind kind = FileKind::OtherFile;
    // Unreadable: why ("cannot open: Permission denied", "not a regular file").
    // OtherFile: what the file is ("it is a spreadsheet file").
    std::string problem;
    // OtherFile: the header check's own message for the first UID that does
    // not match ("This isn't an EPOC file - exiting program.\n").
    const char* headerMessage = nullptr;
    // WordDocument, when asked to keep it: the file itself, open at its
    // start, `size` bytes long, so that its conversion reads the very file
    // that was checked without opening it again. A descriptor where the
    // system has them (a stream would take a call to open), else a stream.
    OpenDescriptor descriptor;
    OpenFile file;
    size_t size = 0;
    // The leading bytes read, for telling the file's kind (convert/file_kinds.h).
    unsigned char header[16] = {};
    size_t headerSize = 0;
};

// Opens the file without blocking and reads only its header. A symbolic
// link is followed only when `followLinks`.
ProbedFile probeWordFile(const std::string& path, bool followLinks = true, bool keepOpen = false);

// The same for a stream already open, such as standard input: reads its
// first twelve bytes.
ProbedFile probeWordStream(std::FILE* stream);

}  // namespace zentoro
