// Reads back the PNG files the converter writes, to 8-bit RGB: grey and
// palette pictures of 1 to 8 bits and 8-bit RGB, any row filter. Enough to
// compare pixels without an outside tool; empty on anything it cannot read.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zentoro::testing {

struct PngPixels {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bitDepth = 0;
    uint8_t colourType = 0;
    size_t paletteColours = 0;
    std::vector<uint8_t> rgb;  // empty when the file could not be read
};

PngPixels readPng(std::string_view png);

// FNV-1a over each picture's width and height (little-endian) and RGB bytes,
// in turn: one number for the pixels of all a file's outputs.
uint64_t pixelHash(const std::vector<PngPixels>& pictures);

}  // namespace zentoro::testing
