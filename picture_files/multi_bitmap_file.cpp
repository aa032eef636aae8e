#include "picture_files/multi_bitmap_file.h"

#include <algorithm>
#include <optional>
#include <span>

#include "picture/paint_data.h"
#include "picture_files/bitmap_pngs.h"
#include "picture_files/picture_file_limits.h"
#include "reader/uid_header.h"

namespace zentoro {

namespace {

constexpr uint32_t EpocFileUid = 0x10000037;
constexpr uint32_t MultiBitmapUid = 0x10000042;
constexpr uint32_t ExportedMultiBitmapUid = 0x1000008A;
constexpr uint32_t TrailerPositionAt = 0x10;
constexpr uint32_t FirstBitmapAt = 0x14;

// The trailer: a count, then each bitmap's position. Nothing when it does
// not lie whole inside the file.
std::optional<std::vector<uint64_t>> loadTrailer(ObjectBytes& in) {
    moveTo(in, TrailerPositionAt);
    moveTo(in, readU32(in));
    uint32_t count = readU32(in);
    if (in.overrun || !ensure(in, uint64_t{count} * 4)) return std::nullopt;
    std::vector<uint64_t> starts;
    if (count > MaxBitmapsPerFile) {
        starts.resize(uint64_t{MaxBitmapsPerFile} + 1);  // refused by its count
        return starts;
    }
    starts.reserve(count);
    for (uint32_t i = 0; i < count; ++i) starts.push_back(readU32(in));
    return starts;
}

// The length of a list left by an earlier save at `position`: the count of
// the bitmaps found so far, then their positions; 0 where there is none.
uint64_t staleListAt(ObjectBytes& in, uint64_t position, const std::vector<uint64_t>& starts) {
    moveTo(in, position);
    uint32_t count = readU32(in);
    if (in.overrun || count == 0 || count > starts.size()) return 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (readU32(in) != starts[i] || in.overrun) return 0;
    }
    return 4 + uint64_t{count} * 4;
}

// Without a trailer: the bitmaps from the first on, each section's length
// leading to the next, past the lists earlier saves left between them, as
// long as each lies whole inside the file (and before the trailer, where
// that is inside it); the file's end may cut the last.
std::vector<uint64_t> walkBitmaps(ObjectBytes& in) {
    moveTo(in, TrailerPositionAt);
    uint64_t trailer = readU32(in);
    uint64_t end = trailer > FirstBitmapAt && trailer < in.bytes.size() ? trailer : in.bytes.size();
    std::vector<uint64_t> starts;
    uint64_t position = FirstBitmapAt;
    while (starts.size() <= MaxBitmapsPerFile) {
        if (!starts.empty()) position += staleListAt(in, position, starts);
        in.overrun = false;
        moveTo(in, position);
        uint32_t length = readU32(in);
        if (in.overrun || position >= end || length < PaintHeaderSize) break;
        if (length > end - position) {
            // The last bitmap, cut by the file's end: what is left of it is read.
            if (end == in.bytes.size() && end - position >= PaintHeaderSize) starts.push_back(position);
            break;
        }
        starts.push_back(position);
        position += length;
    }
    in.overrun = false;
    return starts;
}

}  // namespace

bool isMultiBitmapFile(const unsigned char* bytes, size_t size) {
    return hasUids(bytes, size, EpocFileUid, MultiBitmapUid, 0) ||
           hasUids(bytes, size, EpocFileUid, ExportedMultiBitmapUid, 0);
}

KindConversion convertMultiBitmapFile(const unsigned char* bytes, size_t size, const KindOptions&) {
    ObjectBytes in{std::span<const uint8_t>(bytes, size)};
    BitmapPlaces places;
    if (std::optional<std::vector<uint64_t>> trailer = loadTrailer(in)) {
        places.starts = std::move(*trailer);
    } else {
        in.overrun = false;
        places.starts = walkBitmaps(in);
        places.damaged = true;
        places.damage = "the list of bitmaps at its end is cut off";
    }
    KindConversion conversion = bitmapsAsPngs(in, places);
    warnOfChecksum(bytes, size, conversion);
    return conversion;
}

}  // namespace zentoro
