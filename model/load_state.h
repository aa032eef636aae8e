// The state that every loader of the model builder shares: the input, the
// document being filled and whether the input has turned out damaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "model/document.h"
#include "reader/input_readers.h"

namespace zentoro {

struct LoadState {
    ReaderState reader;
    Document* document = nullptr;
    bool damaged = false;  // a read ran past the end, or a position lay outside the input
    // The text section's characters, once found.
    std::span<const unsigned char> text;
    bool textFound = false;
};

inline InputStream& input(LoadState& s) { return s.reader.input; }

inline size_t bytesLeft(const LoadState& s) {
    const InputStream& in = s.reader.input;
    return in.pos < in.size ? in.size - in.pos : 0;
}

// True when `count` more bytes lie ahead; otherwise marks the input damaged.
inline bool need(LoadState& s, size_t count) {
    if (bytesLeft(s) >= count) return true;
    s.damaged = true;
    return false;
}

// The checked readers: past the end they mark the input damaged and yield 0.
inline int loadByte(LoadState& s) { return need(s, 1) ? readByte(input(s)) : 0; }
inline uint32_t loadU32(LoadState& s) { return need(s, 4) ? readU32(input(s)) : 0; }
inline int32_t loadI32(LoadState& s) { return static_cast<int32_t>(loadU32(s)); }

// Moves to an absolute position; one outside the input marks it damaged.
inline bool seekTo(LoadState& s, uint32_t position) {
    if (position > input(s).size) {
        s.damaged = true;
        return false;
    }
    seek(s.reader, static_cast<int32_t>(position));
    return true;
}

inline uint32_t position(const LoadState& s) { return static_cast<uint32_t>(s.reader.input.pos); }

// The variable-length count, checked against the end of the input.
uint32_t loadCardinality(LoadState& s);

}  // namespace zentoro
