// A growable block of bytes for whole documents and whole outputs: its new
// bytes are not cleared, and on Linux a large block is mapped on huge-page
// boundaries and marked for huge pages, so that tens of megabytes cost a
// few dozen page faults rather than thousands. Refused memory throws
// std::bad_alloc, as a vector's growth does.
#pragma once

#include <cstddef>

namespace zentoro {

class LargeBuffer {
public:
    LargeBuffer() = default;
    ~LargeBuffer();
    LargeBuffer(LargeBuffer&& other) noexcept;
    LargeBuffer& operator=(LargeBuffer&& other) noexcept;
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    unsigned char* data() { return data_; }
    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }

    // Room for `capacity` bytes, the bytes held kept.
    void reserve(size_t capacity);
    // Holds `size` bytes: those past the old size are not cleared. Growing
    // past the room at least doubles it.
    void resize(size_t size);
    void append(const void* bytes, size_t count);
    void clear() { size_ = 0; }

private:
    void release();

    unsigned char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    size_t mappedBytes_ = 0;  // 0: the block came from malloc
};

}  // namespace zentoro
