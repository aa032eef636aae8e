// Writes stand-alone picture files as the device stores them: Sketch files,
// multi-bitmap files (with their trailer) and ROM multi-bitmap files, from
// the bitmaps of tests/builder/sketch_builder.h.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tests/builder/sketch_builder.h"

namespace zentoro::testing {

inline constexpr uint32_t MultiBitmapUid = 0x10000042;
inline constexpr uint32_t ExportedMultiBitmapUid = 0x1000008A;

// The bitmap's Paint Data Section: its 40-byte header and pixel data.
Bytes bitmapSection(const Sketch& bitmap);

// Three UIDs and their checksum.
Bytes uidHeader(uint32_t uid1, uint32_t uid2, uint32_t uid3);

struct MultiBitmapFile {
    std::vector<Sketch> bitmaps;
    uint32_t uid2 = MultiBitmapUid;
    // Bytes put between the bitmaps (stale trailers) and after the trailer.
    size_t gapBetween = 0;
    size_t bytesAfter = 0;
    // What the trailer claims instead of the truth, for damaged files.
    std::optional<uint32_t> trailerPosition;
    std::optional<uint32_t> trailerCount;
    // After each bitmap but the last, the list of the bitmaps so far, as
    // the device leaves one each time it saves a growing file.
    bool staleLists = false;
};
std::vector<uint8_t> multiBitmapFile(const MultiBitmapFile& file);

// A ROM multi-bitmap file: count, offset table, then one item per bitmap.
std::vector<uint8_t> romBitmapFile(const std::vector<Sketch>& bitmaps);

// A Sketch file: the sketch's object data behind the 16-byte header, with
// its offsets made absolute.
std::vector<uint8_t> sketchFile(const Sketch& sketch);

}  // namespace zentoro::testing
