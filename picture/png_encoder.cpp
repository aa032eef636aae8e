#include "picture/png_encoder.h"

#include <zlib.h>

#include <cstddef>
#include <string_view>

namespace zentoro {

namespace {

constexpr uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t GreyColourType = 0;
constexpr uint8_t RgbColourType = 2;
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

std::vector<uint8_t> deflated(const std::vector<uint8_t>& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
        return {};
    }
    out.resize(size);
    return out;
}

}  // namespace

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
