// The bitmap of a sketch: the Paint Data Section's 40-byte header and its
// pixel data, uncompressed or in one of four run-length schemes, decoded to
// rows of pixels as the device stores them uncompressed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/document.h"
#include "picture/object_bytes.h"
#include "picture/picture_failure.h"

namespace zentoro {

inline constexpr uint32_t PaintHeaderSize = 40;

enum class PaintCompression : uint32_t { None, ByteRuns, TwelveBitRuns, SixteenBitRuns, TwentyFourBitRuns };

struct PaintHeader {
    uint32_t sectionLength = 0;  // header included
    uint32_t pixelOffset = 0;    // from the section's start
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    bool colour = false;
    uint32_t compression = 0;
};

struct PaintData {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    bool colour = false;
    size_t rowBytes = 0;         // a row's bytes, padded to a whole number of 4-byte units
    std::vector<uint8_t> rows;   // height rows, top to bottom
    uint32_t lostRows = 0;       // rows below these that the data no longer hold
};

// Reads the header of the section that starts at `sectionStart`.
PaintHeader loadPaintHeader(ObjectBytes& in, uint64_t sectionStart);

// Decodes the section's pixel data after checking its header: depth,
// compression, that it has at most `maxPixels` pixels, and that the data lie
// inside the section. A section that runs past the end of the file is read
// as far as it goes. Where the data end early (PixelDataShort), `out` keeps
// the whole rows they still give, its height cut to them, or none.
// `uncountedGap` bytes lie between the header and the pixel data that
// neither the section length nor the pixel offset counts (as in a ROM bitmap
// file's items).
PictureFailure loadPaintData(ObjectBytes& in, uint64_t sectionStart, uint64_t maxPixels, PaintData& out,
                             uint32_t uncountedGap = 0);

// The value stored for one pixel (x < width, y < height).
uint32_t pixelValue(const PaintData& paint, uint32_t x, uint32_t y);

// The colour a pixel value stands for: grey levels spread evenly from black
// to white, the device's 16- and 256-colour palettes, or direct colour of
// 12, 16 or 24 bits (32-bit pixels: 24 bits of colour and an unused byte).
Colour valueColour(const PaintData& paint, uint32_t value);

// Bits that one pixel takes in a decoded row: 12-bit pixels take 16. 0 for
// an unknown depth.
uint32_t storedPixelBits(uint32_t bitsPerPixel);

}  // namespace zentoro
