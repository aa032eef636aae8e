// Where a writer's bytes go: a fixed buffer in front of a C file or a
// string, with write failures and an optional size limit remembered.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "reader/large_buffer.h"

namespace zentoro {

struct ByteSink {
    std::FILE* file = nullptr;      // the destination, or
    std::string* memory = nullptr;  // this string, or
    LargeBuffer* block = nullptr;   // this block; with none, bytes are counted and dropped
    bool failed = false;            // a write failed, or the size limit was passed
    bool limitReached = false;      // the size limit was passed
    uint64_t bytesWritten = 0;      // bytes accepted so far, buffered or not
    uint64_t sizeLimit = 0;         // 0: no limit
    size_t used = 0;
    std::array<char, 64 * 1024> buffer{};
};

void flushSink(ByteSink& sink);

inline void put(ByteSink& sink, char byte) {
    if (sink.used == sink.buffer.size()) flushSink(sink);
    sink.buffer[sink.used++] = byte;
}

inline void put(ByteSink& sink, std::string_view text) {
    if (text.size() <= sink.buffer.size() - sink.used) {
        // An empty view may hold no pointer at all, which memcpy may not be given.
        if (text.empty()) return;
        std::memcpy(sink.buffer.data() + sink.used, text.data(), text.size());
        sink.used += text.size();
        return;
    }
    for (char c : text) put(sink, c);
}

// A literal: its length is known where it is written, so that the copy
// compiles to a few moves rather than a call.
template <size_t N>
inline void put(ByteSink& sink, const char (&literal)[N]) {
    put(sink, std::string_view(literal, N - 1));
}

// A block of any size, written past the buffer when it is large.
void putBlock(ByteSink& sink, std::string_view block);

// A number in signed decimal.
void putNumber(ByteSink& sink, int64_t value);

// Writes out what is buffered and flushes the file; false when anything
// written so far was lost or the size limit was passed.
bool finishSink(ByteSink& sink);

}  // namespace zentoro
