// The document's bytes as the readers see them: the file mapped read-only
// where the system allows it, otherwise read into memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <span>

#include "reader/large_buffer.h"

namespace zentoro {

// Files smaller than this are read rather than mapped: for a few pages one
// read costs less than setting up and tearing down a mapping.
inline constexpr size_t SmallestMappedFile = 64 * 1024;

// Positions in a document are signed 32-bit, so nothing past this is ever
// mapped or read.
inline constexpr size_t MaxDocumentBytes = 0x7FFFFFFF;

// Owns either a read-only mapping of a whole file or a buffer of bytes read
// from a stream. Move-only; the mapping goes with the object.
class DocumentBytes {
public:
    DocumentBytes() = default;
    ~DocumentBytes();
    DocumentBytes(DocumentBytes&& other) noexcept;
    DocumentBytes& operator=(DocumentBytes&& other) noexcept;
    DocumentBytes(const DocumentBytes&) = delete;
    DocumentBytes& operator=(const DocumentBytes&) = delete;

    // Maps the whole file behind `stream` when it is a regular file of at
    // least SmallestMappedFile bytes (at most MaxDocumentBytes are mapped) and
    // the system grants the mapping. The size is taken once, here. False,
    // leaving the object as it was, for anything else: a pipe, a terminal,
    // a small or empty file, a filesystem that refuses mappings.
    bool map(std::FILE* stream);
#ifndef _WIN32
    // The same for the regular file open as `fd`.
    bool map(int fd);
#endif

    // Appends up to `count` bytes read from the stream's position. `sizeHint`
    // is the size the whole input is expected to have, so that the buffer is
    // allocated once. A read error ends the reading and is remembered.
    void read(std::FILE* stream, size_t count, size_t sizeHint = 0);
#ifndef _WIN32
    // Appends the regular file open as `fd`, from its position to its end.
    // `size` is what the file was found to hold: that and a byte more are
    // asked for in one read, and a read that comes back with exactly `size`
    // has found the end; a file that has grown or shrunk since, or a short
    // read, is read on until a read finds nothing. Returns 0, or the errno
    // value of a read that failed, what was read before it kept.
    int read(int fd, size_t size);
#endif

    bool mapped() const { return mapping_ != nullptr; }
    // False once a read from the stream failed part-way.
    bool readWhole() const { return readWhole_; }
    std::span<const unsigned char> bytes() const;
    // The room taken for bytes read, used or not.
    size_t reserved() const { return buffer_.capacity(); }

private:
    void unmap();
    // Holds `view` (null: the mapping failed) in place of what was held.
    bool hold(const unsigned char* view, size_t size);

    const unsigned char* mapping_ = nullptr;
    size_t mappedSize_ = 0;
    LargeBuffer buffer_;
    bool readWhole_ = true;
};

// Calls `work(context)` and returns true. When `file` is mapped and a read
// from the mapping faults because the file shrank after it was mapped (or
// its medium failed), the fault ends `work` where it stands and this returns
// false instead of the process being killed. Frames that `work` leaves that
// way are not unwound, so it must hold nothing that needs a destructor.
bool readGuarded(const DocumentBytes& file, void (*work)(void* context), void* context);

}  // namespace zentoro
