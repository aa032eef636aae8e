#include "reader/large_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <sys/mman.h>
#define ZENTORO_HUGE_PAGES 1
#endif

namespace zentoro {

namespace {

struct Block {
    unsigned char* data = nullptr;
    size_t mappedBytes = 0;
};

#ifdef ZENTORO_HUGE_PAGES

constexpr size_t HugePage = 2 * 1024 * 1024;

// Maps `size` bytes (rounded up to whole huge pages) starting on a huge-page
// boundary: more is mapped and the ends cut off, since a mapping's start is
// only page-aligned.
Block mapHuge(size_t size) {
    size_t bytes = (size + HugePage - 1) / HugePage * HugePage;
    size_t span = bytes + HugePage;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return {};
    auto start = reinterpret_cast<uintptr_t>(mapped);
    uintptr_t aligned = (start + HugePage - 1) / HugePage * HugePage;
    if (aligned > start) munmap(mapped, aligned - start);
    size_t tail = start + span - (aligned + bytes);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, bytes, MADV_HUGEPAGE);
    return {static_cast<unsigned char*>(block), bytes};
}

#endif

Block allocate(size_t size) {
#ifdef ZENTORO_HUGE_PAGES
    if (size >= HugePage) {
        Block block = mapHuge(size);
        if (block.data != nullptr) return block;
    }
#endif
    return {static_cast<unsigned char*>(std::malloc(size == 0 ? 1 : size)), 0};
}

void freeBlock(unsigned char* data, size_t mappedBytes) {
#ifdef ZENTORO_HUGE_PAGES
    if (mappedBytes != 0) {
        munmap(data, mappedBytes);
        return;
    }
#endif
    (void)mappedBytes;
    std::free(data);
}

}  // namespace

LargeBuffer::~LargeBuffer() { release(); }

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      mappedBytes_(std::exchange(other.mappedBytes_, 0)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        mappedBytes_ = std::exchange(other.mappedBytes_, 0);
    }
    return *this;
}

void LargeBuffer::release() {
    if (data_ != nullptr) freeBlock(data_, mappedBytes_);
    data_ = nullptr;
    size_ = capacity_ = mappedBytes_ = 0;
}

void LargeBuffer::reserve(size_t capacity) {
    if (capacity <= capacity_) return;
    if (capacity > SIZE_MAX / 4) throw std::bad_alloc();
    Block block = allocate(capacity);
    if (block.data == nullptr) throw std::bad_alloc();
    if (size_ > 0) std::memcpy(block.data, data_, size_);
    size_t size = size_;
    release();
    data_ = block.data;
    size_ = size;
    capacity_ = block.mappedBytes != 0 ? block.mappedBytes : capacity;
    mappedBytes_ = block.mappedBytes;
}

void LargeBuffer::resize(size_t size) {
    if (size > capacity_) reserve(size > 2 * capacity_ ? size : 2 * capacity_);
    size_ = size;
}

void LargeBuffer::append(const void* bytes, size_t count) {
    if (count == 0) return;
    size_t at = size_;
    resize(size_ + count);
    std::memcpy(data_ + at, bytes, count);
}

}  // namespace zentoro
