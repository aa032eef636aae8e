// The fourth UID of a file header: a checksum of the three UIDs before it.
// CRC-16 (polynomial 0x1021, start 0, most significant bit first) over the
// even bytes of the twelve gives its low half, over the odd bytes its high
// half.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zentoro {

inline uint16_t uidCrc16(const unsigned char* uids, size_t first) {
    uint16_t crc = 0;
    for (size_t i = first; i < 12; i += 2) {
        crc ^= static_cast<uint16_t>(uids[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

// The checksum that belongs after the twelve bytes of UID1..UID3.
inline uint32_t uidChecksum(const unsigned char* uids) {
    return static_cast<uint32_t>(uidCrc16(uids, 0)) | static_cast<uint32_t>(uidCrc16(uids, 1)) << 16;
}

}  // namespace zentoro
