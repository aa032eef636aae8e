#include "picture_files/rom_bitmap_file.h"

#include <span>

#include "picture_files/bitmap_pngs.h"
#include "picture_files/picture_file_limits.h"
#include "reader/uid_header.h"

namespace zentoro {

namespace {

constexpr uint32_t RomBitmapFileUid = 0x10000041;
constexpr uint32_t CountAt = 4;
// An item: its own UID, a display mode, two zero longs and the row length,
// then the bitmap's 40-byte header; two longs more lie between that header
// and the pixel data, counted by neither.
constexpr uint32_t ItemHeaderAt = 0x14;
constexpr uint32_t UncountedLongs = 8;

}  // namespace

bool isRomBitmapFile(const unsigned char* bytes, size_t size) { return headerLong(bytes, size, 0) == RomBitmapFileUid; }

KindConversion convertRomBitmapFile(const unsigned char* bytes, size_t size, const KindOptions&) {
    ObjectBytes in{std::span<const uint8_t>(bytes, size)};
    moveTo(in, CountAt);
    uint32_t count = readU32(in);
    if (in.overrun) return refusedPictureFile(Failure::DocumentDamaged, "the file ends before its bitmap count");
    if (count > MaxBitmapsPerFile) return refusedPictureFile(Failure::LimitReached, "more bitmaps than any picture file holds");
    BitmapPlaces places;
    places.uncountedGap = UncountedLongs;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t item = readU32(in);
        if (in.overrun) {
            places.damaged = true;
            places.damage = "the list of bitmaps is cut off";
            break;
        }
        places.starts.push_back(uint64_t{item} + ItemHeaderAt);
    }
    return bitmapsAsPngs(in, places);
}

}  // namespace zentoro
