#include "tests/support/png_pixels.h"

#include <zlib.h>

#include <cstdlib>
#include <string>

namespace zentoro::testing {

namespace {

uint32_t bigEndian(std::string_view bytes, size_t at) {
    auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])); };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

uint8_t paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes the row filters in place; `step` is the bytes of one pixel (at least 1).
bool unfilter(std::vector<uint8_t>& data, size_t rowBytes, uint32_t height, size_t step) {
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = data.data() + y * (rowBytes + 1);
        const uint8_t* above = y == 0 ? nullptr : row - (rowBytes + 1);
        uint8_t filter = row[0];
        for (size_t x = 1; x <= rowBytes; ++x) {
            int a = x > step ? row[x - step] : 0;
            int b = above ? above[x] : 0;
            int c = above && x > step ? above[x - step] : 0;
            switch (filter) {
                case 0: break;
                case 1: row[x] = static_cast<uint8_t>(row[x] + a); break;
                case 2: row[x] = static_cast<uint8_t>(row[x] + b); break;
                case 3: row[x] = static_cast<uint8_t>(row[x] + (a + b) / 2); break;
                case 4: row[x] = static_cast<uint8_t>(row[x] + paeth(a, b, c)); break;
                default: return false;
            }
        }
    }
    return true;
}

}  // namespace

PngPixels readPng(std::string_view png) {
    PngPixels picture;
    if (png.size() < 8 || png.substr(0, 8) != std::string_view("\x89PNG\r\n\x1A\n", 8)) return picture;
    std::string compressed;
    std::vector<uint8_t> palette;
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length = bigEndian(png, at);
        if (length > png.size() - at - 12) return picture;
        std::string_view type = png.substr(at + 4, 4), data = png.substr(at + 8, length);
        if (type == "IHDR" && length == 13) {
            picture.width = bigEndian(data, 0);
            picture.height = bigEndian(data, 4);
            picture.bitDepth = static_cast<uint8_t>(data[8]);
            picture.colourType = static_cast<uint8_t>(data[9]);
        }
        if (type == "PLTE") palette.assign(data.begin(), data.end());
        if (type == "IDAT") compressed += data;
        at += 12 + length;
    }
    picture.paletteColours = palette.size() / 3;
    size_t samples = picture.colourType == 2 ? 3 : 1;
    size_t bits = samples * picture.bitDepth;
    size_t rowBytes = (picture.width * bits + 7) / 8;
    std::vector<uint8_t> data((rowBytes + 1) * picture.height);
    uLongf size = static_cast<uLongf>(data.size());
    if (picture.width == 0 || uncompress(data.data(), &size, reinterpret_cast<const Bytef*>(compressed.data()),
                                         static_cast<uLong>(compressed.size())) != Z_OK ||
        size != data.size() || !unfilter(data, rowBytes, picture.height, (bits + 7) / 8)) {
        return picture;
    }
    std::vector<uint8_t> rgb;
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* row = data.data() + y * (rowBytes + 1) + 1;
        for (uint32_t x = 0; x < picture.width; ++x) {
            if (picture.colourType == 2) {
                rgb.insert(rgb.end(), row + 3 * x, row + 3 * x + 3);
                continue;
            }
            size_t bit = x * size_t{picture.bitDepth};
            uint32_t value = (row[bit / 8] >> (8 - picture.bitDepth - bit % 8)) & ((1u << picture.bitDepth) - 1);
            if (picture.colourType == 3) {
                if (value >= picture.paletteColours) return picture;
                rgb.insert(rgb.end(), palette.begin() + 3 * value, palette.begin() + 3 * value + 3);
                continue;
            }
            auto level = static_cast<uint8_t>(value * 255 / ((1u << picture.bitDepth) - 1));
            rgb.insert(rgb.end(), {level, level, level});
        }
    }
    picture.rgb = std::move(rgb);
    return picture;
}

uint64_t pixelHash(const std::vector<PngPixels>& pictures) {
    uint64_t hash = 0xCBF29CE484222325ull;
    auto add = [&hash](uint8_t byte) { hash = (hash ^ byte) * 0x100000001B3ull; };
    for (const PngPixels& picture : pictures) {
        for (uint32_t value : {picture.width, picture.height}) {
            for (int i = 0; i < 4; ++i) add(static_cast<uint8_t>(value >> (8 * i)));
        }
        for (uint8_t byte : picture.rgb) add(byte);
    }
    return hash;
}

}  // namespace zentoro::testing
