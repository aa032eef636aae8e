// The bitmaps of a picture file drawn and written as PNG files, one per
// bitmap in file order: NAME.png for a file of one, NAME-1.png ... NAME-N.png
// for more. What cannot be drawn is left out and marks the file damaged;
// what would pass the limits refuses the whole file.
#pragma once

#include <cstdint>
#include <vector>

#include "picture/object_bytes.h"
#include "reader/converted_files.h"

namespace zentoro {

// Where each bitmap's Paint Data Section starts, and how the file was found.
struct BitmapPlaces {
    std::vector<uint64_t> starts;
    // Bytes between each 40-byte header and its pixel data that the header
    // does not count.
    uint32_t uncountedGap = 0;
    // The file's own list of bitmaps was damaged: these were recovered.
    bool damaged = false;
    const char* damage = "";  // what was damaged, when it was
};

KindConversion bitmapsAsPngs(ObjectBytes& in, const BitmapPlaces& places);

// "1 picture", "12 pictures".
std::string pictureCount(size_t count);

// The conversion of a file refused whole: nothing written, and why.
KindConversion refusedPictureFile(Failure failure, std::string detail);

}  // namespace zentoro
