// The RTF output stream: a fixed buffer in front of a C file, with write
// errors remembered rather than ignored.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace zentoro {

struct RtfOutput {
    std::FILE* file = nullptr;  // null: the output is counted and discarded
    bool failed = false;        // a write failed, or the size limit was passed
    int systemError = 0;        // errno of the write that failed, 0 for the limit
    uint64_t bytesWritten = 0;  // bytes accepted so far, buffered or not
    uint64_t sizeLimit = 0;     // 0: no limit
    size_t used = 0;
    // Only its first `used` bytes are ever read: left as it comes, so that
    // a small document's conversion does not clear 64 KiB it never fills.
    std::array<char, 64 * 1024> buffer;
};

void flushOutput(RtfOutput& out);

inline void writeByte(RtfOutput& out, int byte) {
    if (out.used == out.buffer.size()) flushOutput(out);
    out.buffer[out.used++] = static_cast<char>(byte);
}

// Fills the buffer, flushing it each time it is full, as many writeByte
// calls would.
void writeAcrossFlushes(RtfOutput& out, const char* data, size_t size);

// Inline, so that a literal's known length makes its copy a few moves.
inline void writeLiteral(RtfOutput& out, std::string_view text) {
    if (text.size() <= out.buffer.size() - out.used) {
        std::memcpy(out.buffer.data() + out.used, text.data(), text.size());
        out.used += text.size();
        return;
    }
    writeAcrossFlushes(out, text.data(), text.size());
}

inline void writeBytes(RtfOutput& out, const unsigned char* data, size_t size) {
    writeLiteral(out, std::string_view(reinterpret_cast<const char*>(data), size));
}

// Writes a value in signed decimal ("%ld" of a 32-bit value, "%d").
void writeNumber(RtfOutput& out, int64_t value);

// Writes out everything buffered and flushes the file; false when anything
// written so far was lost.
bool finishOutput(RtfOutput& out);

}  // namespace zentoro
