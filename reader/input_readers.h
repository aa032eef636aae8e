// The primitive readers. Every byte of a document is read through them; at
// the end of the input each byte reads as EndOfFile, which the multi-byte
// readers take into their arithmetic like any other byte value.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "reader/input_stream.h"

namespace zentoro {

inline constexpr int EndOfFile = -1;

inline bool atEnd(const InputStream& in) { return in.pos >= in.size; }

// Every read at or past the end of the input ends here: it is recorded,
// and the byte reads as EndOfFile.
inline int readAtEnd(InputStream& in) {
    in.endedEarly = true;
    return EndOfFile;
}

inline int readByte(InputStream& in) { return atEnd(in) ? readAtEnd(in) : in.data[in.pos++]; }
inline int readByte(ReaderState& s) { return readByte(s.input); }

// The next `count` bytes as one run, or as many as the input still holds;
// the position moves past them, just as `count` readByte calls would move it.
inline std::span<const unsigned char> readBytes(InputStream& in, size_t count) {
    size_t available = atEnd(in) ? 0 : std::min(count, in.size - in.pos);
    if (available < count) readAtEnd(in);
    std::span<const unsigned char> run(in.data + in.pos, available);
    in.pos += available;
    return run;
}

// Asks for the input's cache line at `position` ahead of its reading: the
// document is read in a few interleaved sequential streams (the text, the
// paragraph and phrase lists), whose next lines the processor would
// otherwise fetch only when they are read. A hint, never a read: a position
// past the end of the input is harmless.
inline void prefetchInput(const InputStream& in, size_t position) {
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(in.data) + position));
}

// Little-endian, in 32-bit wrapping arithmetic: an EndOfFile byte adds its
// place value negated, so four of them give 0xFEFEFEFF.
inline uint32_t readU32(InputStream& in) {
    if (in.pos < in.size && in.size - in.pos >= 4) {
        const unsigned char* p = in.data + in.pos;
        in.pos += 4;
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
               static_cast<uint32_t>(p[3]) << 24;
    }
    uint32_t b0 = static_cast<uint32_t>(readByte(in));
    uint32_t b1 = static_cast<uint32_t>(readByte(in));
    uint32_t b2 = static_cast<uint32_t>(readByte(in));
    uint32_t b3 = static_cast<uint32_t>(readByte(in));
    return b0 + (b1 << 8) + (b2 << 16) + (b3 << 24);
}

inline int readCountedByte(ReaderState& s) { s.layerBytesRead += 1; return readByte(s.input); }
inline uint32_t readU32(ReaderState& s) { s.layerBytesRead += 4; return readU32(s.input); }

inline int32_t tell(const ReaderState& s) { return static_cast<int32_t>(s.input.pos); }

// Adds the bytes read since reading last resumed to the input's count; past
// the read limit, cuts the input off so that every later read is EndOfFile.
inline void countBytesRead(InputStream& in) {
    size_t end = in.pos < in.size ? in.pos : in.size;
    if (end > in.readingFrom) in.bytesRead += end - in.readingFrom;
    if (in.readLimit != 0 && in.bytesRead > in.readLimit) {
        in.readLimitExceeded = true;
        in.size = 0;
    }
}

// A negative position (a stored offset of 0x80000000 or more) leaves the
// input at its end, so every read until the next seek yields EndOfFile.
inline void seek(ReaderState& s, int32_t position) {
    countBytesRead(s.input);
    s.input.pos = position < 0 ? s.input.size : static_cast<size_t>(position);
    s.input.readingFrom = s.input.pos;
}

// A position moved on by a count or length read from the file, as a plain
// sum that never wraps and so never steps back: a sum at or past the end of
// the input, like a position that is already negative, is the end.
inline int32_t positionAfter(const ReaderState& s, int32_t position, uint64_t distance) {
    uint64_t end = s.input.size;
    if (position < 0) return static_cast<int32_t>(end);
    uint64_t sum = static_cast<uint64_t>(position) + distance;
    return static_cast<int32_t>(sum < end ? sum : end);
}

// Moves the input on over `count` bytes that are not read. A count that
// runs past the end of the input leaves it at the end, and the document is
// then cut short.
inline void skipOver(ReaderState& s, uint64_t count) {
    if (s.input.pos + count > s.input.size) s.input.endedEarly = true;
    seek(s, positionAfter(s, tell(s), count));
}

// The variable-length count: one, two or four bytes, told apart by the low
// bits of the first. A first byte that fits no form (low bits 111, or the
// end of the input) yields the previous cardinality again.
int32_t readCardinality(ReaderState& s);

}  // namespace zentoro
