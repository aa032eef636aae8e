#include "picture/png_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace zentoro {

namespace {

constexpr uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t GreyColourType = 0;
constexpr uint8_t RgbColourType = 2;
constexpr uint8_t PaletteColourType = 3;
constexpr size_t MaxPaletteColours = 256;
constexpr uint8_t BitDepth = 8;
constexpr uint8_t NoFilter = 0;

void putU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Length, type, data, and the CRC of type and data.
void putChunk(std::vector<uint8_t>& out, std::string_view type, const std::vector<uint8_t>& data) {
    putU32(out, static_cast<uint32_t>(data.size()));
    size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + typeStart, static_cast<uInt>(out.size() - typeStart));
    putU32(out, static_cast<uint32_t>(crc));
}

bool allGrey(const Picture& picture) {
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        if (picture.rgb[i] != picture.rgb[i + 1] || picture.rgb[i] != picture.rgb[i + 2]) return false;
    }
    return true;
}

// Each row behind its filter byte, with one sample a pixel when grey.
std::vector<uint8_t> filteredRows(const Picture& picture, bool grey) {
    size_t width = static_cast<size_t>(picture.width);
    size_t samples = grey ? width : 3 * width;
    std::vector<uint8_t> rows;
    rows.reserve((samples + 1) * static_cast<size_t>(picture.height));
    for (size_t y = 0; y < static_cast<size_t>(picture.height); ++y) {
        const uint8_t* row = picture.rgb.data() + y * 3 * width;
        rows.push_back(NoFilter);
        if (!grey) {
            rows.insert(rows.end(), row, row + samples);
            continue;
        }
        for (size_t x = 0; x < width; ++x) rows.push_back(row[3 * x]);
    }
    return rows;
}

std::vector<uint8_t> deflated(const std::vector<uint8_t>& bytes, int level = Z_DEFAULT_COMPRESSION) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), level) != Z_OK) {
        return {};
    }
    out.resize(size);
    return out;
}

uint32_t packed(const uint8_t* rgb) { return uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2]; }

// The picture's colours, sorted, packed as 0xRRGGBB; stops once there are
// more than a palette holds.
std::vector<uint32_t> coloursOf(const Picture& picture) {
    std::vector<uint32_t> colours;
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        uint32_t colour = packed(&picture.rgb[i]);
        auto at = std::lower_bound(colours.begin(), colours.end(), colour);
        if (at != colours.end() && *at == colour) continue;
        if (colours.size() == MaxPaletteColours) return {};
        colours.insert(at, colour);
    }
    return colours;
}

bool isGrey(uint32_t colour) { return (colour >> 16) == (colour & 0xFF) && ((colour >> 8) & 0xFF) == (colour & 0xFF); }

// The fewest bits of grey that hold every colour exactly (a level v of d
// bits stands for v * 255 / (2^d - 1)); 0 when the colours are not all grey.
uint8_t greyBits(const std::vector<uint32_t>& colours) {
    uint8_t bits = 1;
    for (uint32_t colour : colours) {
        if (!isGrey(colour)) return 0;
        while (bits < 8 && (colour & 0xFF) % (255 / ((1u << bits) - 1)) != 0) bits = static_cast<uint8_t>(bits * 2);
    }
    return bits;
}

uint8_t paletteBits(size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 4) return 2;
    if (colours <= 16) return 4;
    return 8;
}

// Rows of `bits`-bit samples behind their filter bytes, the leftmost sample
// in the highest bits of its byte, as PNG packs them.
std::vector<uint8_t> packedRows(const Picture& picture, uint8_t bits, auto sampleOf) {
    size_t width = static_cast<size_t>(picture.width);
    size_t rowBytes = (width * bits + 7) / 8;
    std::vector<uint8_t> rows((rowBytes + 1) * static_cast<size_t>(picture.height), 0);
    for (size_t y = 0; y < static_cast<size_t>(picture.height); ++y) {
        uint8_t* row = rows.data() + y * (rowBytes + 1) + 1;
        const uint8_t* rgb = picture.rgb.data() + y * 3 * width;
        for (size_t x = 0; x < width; ++x) {
            size_t bit = x * bits;
            row[bit / 8] = static_cast<uint8_t>(row[bit / 8] | sampleOf(rgb + 3 * x) << (8 - bits - bit % 8));
        }
    }
    return rows;
}

std::vector<uint8_t> pngFile(const Picture& picture, uint8_t bits, uint8_t colourType,
                             const std::vector<uint8_t>& palette, const std::vector<uint8_t>& image) {
    if (image.empty()) return {};
    std::vector<uint8_t> header;
    putU32(header, static_cast<uint32_t>(picture.width));
    putU32(header, static_cast<uint32_t>(picture.height));
    header.insert(header.end(), {bits, colourType, 0, 0, 0});
    std::vector<uint8_t> png(std::begin(PngSignature), std::end(PngSignature));
    putChunk(png, "IHDR", header);
    if (!palette.empty()) putChunk(png, "PLTE", palette);
    putChunk(png, "IDAT", image);
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace

std::vector<uint8_t> encodeSmallestPng(const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3) {
        return {};
    }
    std::vector<uint32_t> colours = coloursOf(picture);
    if (colours.empty()) {
        return pngFile(picture, BitDepth, RgbColourType, {}, deflated(filteredRows(picture, false), Z_BEST_COMPRESSION));
    }
    if (uint8_t bits = greyBits(colours); bits != 0) {
        uint32_t step = 255 / ((1u << bits) - 1);
        auto level = [step](const uint8_t* rgb) { return static_cast<uint8_t>(rgb[0] / step); };
        return pngFile(picture, bits, GreyColourType, {}, deflated(packedRows(picture, bits, level), Z_BEST_COMPRESSION));
    }
    std::vector<uint8_t> palette;
    for (uint32_t colour : colours) {
        palette.insert(palette.end(), {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                                       static_cast<uint8_t>(colour)});
    }
    auto index = [&colours](const uint8_t* rgb) {
        return static_cast<uint8_t>(std::lower_bound(colours.begin(), colours.end(), packed(rgb)) - colours.begin());
    };
    uint8_t bits = paletteBits(colours.size());
    return pngFile(picture, bits, PaletteColourType, palette, deflated(packedRows(picture, bits, index), Z_BEST_COMPRESSION));
}

std::vector<uint8_t> encodePng(const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3) {
        return {};
    }
    bool grey = allGrey(picture);
    std::vector<uint8_t> image = deflated(filteredRows(picture, grey));
    if (image.empty()) return {};

    std::vector<uint8_t> header;
    putU32(header, static_cast<uint32_t>(picture.width));
    putU32(header, static_cast<uint32_t>(picture.height));
    header.insert(header.end(), {BitDepth, grey ? GreyColourType : RgbColourType, 0, 0, 0});

    std::vector<uint8_t> png(std::begin(PngSignature), std::end(PngSignature));
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", image);
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace zentoro
