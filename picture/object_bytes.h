// A cursor over the bytes of one embedded object. Every read of the picture
// decoder goes through it: a read or a move outside the object's bounds
// leaves the cursor at the end and marks it overrun, and every later read
// yields 0, so the loaders check once, after reading, instead of per byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zentoro {

struct ObjectBytes {
    std::span<const uint8_t> bytes;  // the whole file; positions are absolute
    size_t pos = 0;
    bool overrun = false;
};

inline bool ensure(ObjectBytes& in, uint64_t count) {
    if (in.overrun || count > in.bytes.size() - in.pos) {
        in.overrun = true;
        in.pos = in.bytes.size();
        return false;
    }
    return true;
}

inline uint8_t readU8(ObjectBytes& in) { return ensure(in, 1) ? in.bytes[in.pos++] : 0; }

inline uint16_t readU16(ObjectBytes& in) {
    uint16_t low = readU8(in);
    return static_cast<uint16_t>(low | (readU8(in) << 8));
}

inline uint32_t readU32(ObjectBytes& in) {
    uint32_t low = readU16(in);
    return low | (static_cast<uint32_t>(readU16(in)) << 16);
}

// Moves to an absolute position; one beyond the file marks the cursor overrun.
inline void moveTo(ObjectBytes& in, uint64_t position) {
    if (in.overrun || position > in.bytes.size()) {
        in.overrun = true;
        in.pos = in.bytes.size();
        return;
    }
    in.pos = static_cast<size_t>(position);
}

inline void skip(ObjectBytes& in, uint64_t count) {
    if (ensure(in, count)) in.pos += static_cast<size_t>(count);
}

// The list-length count: one, two or four bytes, told apart by the low bits
// of the first. A first byte of no known form marks the cursor overrun.
inline uint32_t readListCount(ObjectBytes& in) {
    if (!ensure(in, 1)) return 0;
    uint8_t first = in.bytes[in.pos];
    if ((first & 1) == 0) return readU8(in) >> 1;
    if ((first & 3) == 1) return readU16(in) >> 2;
    if ((first & 7) == 3) return readU32(in) >> 3;
    in.overrun = true;
    in.pos = in.bytes.size();
    return 0;
}

}  // namespace zentoro
