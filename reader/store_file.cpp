#include "reader/store_file.h"

#include "reader/input_readers.h"
#include "reader/uid_header.h"

namespace zentoro {

namespace {


uint32_t u32At(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool startsWithUids(const unsigned char* data, size_t size, uint32_t uid1, uint32_t uid2, uint32_t uid3) {
    return hasUids(data, size, uid1, uid2, uid3) && uidChecksumHolds(data, size);
}

std::optional<uint32_t> findSection(const unsigned char* data, size_t size, uint32_t id, size_t tableAt) {
    if (size < 4 || tableAt > size - 4) return std::nullopt;
    uint32_t table = u32At(data + tableAt);
    if (table >= size) return std::nullopt;
    size_t values = data[table];
    const unsigned char* pair = data + table + 1;
    for (size_t i = 0; i + 1 < values; i += 2, pair += 8) {
        if (static_cast<size_t>(pair - data) + 8 > size) return std::nullopt;
        if (u32At(pair) == id) return u32At(pair + 4);
    }
    return std::nullopt;
}

std::span<const unsigned char> readCountedString(ReaderState& s) {
    int b = readByte(s);
    size_t length = 0;
    if ((b & 3) == 2) {
        length = static_cast<size_t>(b) >> 2;
    } else if ((b & 7) == 5) {
        int high = readByte(s);
        if (high == EndOfFile) return {};
        length = (static_cast<size_t>(b) | static_cast<size_t>(high) << 8) >> 3;
    } else {
        return {};
    }
    return readBytes(s.input, length);
}

}  // namespace zentoro
