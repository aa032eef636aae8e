// The 16-byte header that starts most of the device's files: three UIDs and
// their checksum (reader/uid_checksum.h), read from the leading bytes of a
// file without a stream.
#pragma once

#include <cstddef>
#include <cstdint>

#include "reader/uid_checksum.h"

namespace zentoro {

inline constexpr size_t UidHeaderBytes = 16;

// The little-endian long at `position`, or 0 past `size`.
inline uint32_t headerLong(const unsigned char* bytes, size_t size, size_t position) {
    if (position > size || size - position < 4) return 0;
    return bytes[position] | uint32_t{bytes[position + 1]} << 8 | uint32_t{bytes[position + 2]} << 16 |
           uint32_t{bytes[position + 3]} << 24;
}

// The file starts with these three UIDs (UID3 0 included).
inline bool hasUids(const unsigned char* bytes, size_t size, uint32_t uid1, uint32_t uid2, uint32_t uid3) {
    return size >= 12 && headerLong(bytes, size, 0) == uid1 && headerLong(bytes, size, 4) == uid2 &&
           headerLong(bytes, size, 8) == uid3;
}

// The fourth UID is the checksum of the three before it.
inline bool uidChecksumHolds(const unsigned char* bytes, size_t size) {
    return size >= UidHeaderBytes && headerLong(bytes, size, 12) == uidChecksum(bytes);
}

}  // namespace zentoro
