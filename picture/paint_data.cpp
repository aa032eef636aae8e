#include "picture/paint_data.h"

#include <algorithm>
#include <span>

#include "picture/palettes.h"

namespace zentoro {

namespace {

// A run-length record's marker below this repeats one unit (marker + 1
// times); from it on, the record copies 256 - marker units.
constexpr uint8_t FirstCopyMarker = 0x80;

// The decoded rows being filled; writes past their end are dropped, so a run
// that overshoots the last row cannot reach beyond the buffer.
struct RowWriter {
    std::vector<uint8_t>& rows;
    size_t pos = 0;

    bool full() const { return pos >= rows.size(); }
    void put(std::span<const uint8_t> unit) {
        size_t count = std::min(unit.size(), rows.size() - pos);
        std::copy_n(unit.begin(), count, rows.begin() + static_cast<std::ptrdiff_t>(pos));
        pos += count;
    }
};

// The pixel data's bytes, consumed front to back.
struct DataReader {
    std::span<const uint8_t> data;
    size_t pos = 0;

    bool has(size_t count) const { return count <= data.size() - pos; }
    std::span<const uint8_t> take(size_t count) {
        auto run = data.subspan(pos, count);
        pos += count;
        return run;
    }
};

// Records of a marker byte and units of `unitBytes`: byte runs (1) and the
// 16- and 24-bit pixel runs (2, 3).
PictureFailure decodeMarkerRuns(DataReader data, size_t unitBytes, RowWriter& out) {
    while (!out.full()) {
        if (!data.has(1)) return PictureFailure::PixelDataShort;
        uint8_t marker = data.take(1)[0];
        if (marker < FirstCopyMarker) {
            if (!data.has(unitBytes)) return PictureFailure::PixelDataShort;
            auto unit = data.take(unitBytes);
            for (int i = 0; i <= marker && !out.full(); ++i) out.put(unit);
        } else {
            // A copy that claims more than the data hold is still good if
            // what they hold completes the picture.
            size_t bytes = std::min((256u - marker) * unitBytes, data.data.size() - data.pos);
            out.put(data.take(bytes));
        }
    }
    return PictureFailure::None;
}

// 16-bit little-endian records: the top four bits are the repeat count less
// one, the low twelve the pixel, stored as a 16-bit word.
PictureFailure decodeTwelveBitRuns(DataReader data, RowWriter& out) {
    while (!out.full()) {
        if (!data.has(2)) return PictureFailure::PixelDataShort;
        auto record = data.take(2);
        uint8_t pixel[2] = {record[0], static_cast<uint8_t>(record[1] & 0x0F)};
        int repeats = (record[1] >> 4) + 1;
        for (int i = 0; i < repeats && !out.full(); ++i) out.put(pixel);
    }
    return PictureFailure::None;
}

PictureFailure decodePixelData(std::span<const uint8_t> data, uint32_t compression, RowWriter& out) {
    switch (static_cast<PaintCompression>(compression)) {
        case PaintCompression::None:
            out.put(data);
            return out.full() ? PictureFailure::None : PictureFailure::PixelDataShort;
        case PaintCompression::ByteRuns: return decodeMarkerRuns({data}, 1, out);
        case PaintCompression::TwelveBitRuns: return decodeTwelveBitRuns({data}, out);
        case PaintCompression::SixteenBitRuns: return decodeMarkerRuns({data}, 2, out);
        case PaintCompression::TwentyFourBitRuns: return decodeMarkerRuns({data}, 3, out);
    }
    return PictureFailure::UnknownCompression;
}

// Keeps the whole rows that short data gave, or none.
void keepWholeRows(size_t bytesDecoded, PaintData& paint) {
    auto whole = static_cast<uint32_t>(bytesDecoded / paint.rowBytes);
    paint.lostRows = paint.height - whole;
    paint.height = whole;
    paint.rows.resize(size_t{whole} * paint.rowBytes);
}

uint8_t greyLevel(uint32_t value, uint32_t bits) {
    uint32_t maximum = (1u << bits) - 1;
    return static_cast<uint8_t>(value * 255 / maximum);
}

// Widens a field of `bits` bits to 8 by repeating its top bits below it.
uint8_t widen(uint32_t value, uint32_t bits) {
    uint32_t wide = value << (8 - bits);
    return static_cast<uint8_t>(wide | (wide >> bits));
}

}  // namespace

uint32_t storedPixelBits(uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1: case 2: case 4: case 8: return bitsPerPixel;
        case 12: case 16: return 16;
        case 24: return 24;
        case 32: return 32;
        default: return 0;
    }
}

PaintHeader loadPaintHeader(ObjectBytes& in, uint64_t sectionStart) {
    moveTo(in, sectionStart);
    PaintHeader header;
    header.sectionLength = readU32(in);
    header.pixelOffset = readU32(in);
    header.width = readU32(in);
    header.height = readU32(in);
    skip(in, 8);  // size in twips: the document gives the size shown
    header.bitsPerPixel = readU32(in);
    header.colour = readU32(in) != 0;
    skip(in, 4);  // palette entries: the palettes are fixed
    header.compression = readU32(in);
    return header;
}

PictureFailure loadPaintData(ObjectBytes& in, uint64_t sectionStart, uint64_t maxPixels, PaintData& out,
                             uint32_t uncountedGap) {
    PaintHeader header = loadPaintHeader(in, sectionStart);
    if (in.overrun) return PictureFailure::OutsideDocument;
    if (header.sectionLength < PaintHeaderSize) return PictureFailure::OutsideDocument;
    if (header.pixelOffset < PaintHeaderSize || header.pixelOffset > header.sectionLength) {
        return PictureFailure::OutsideDocument;
    }
    // A file cut inside the section keeps the pixel data before the cut.
    uint64_t dataStart = sectionStart + uncountedGap + header.pixelOffset;
    uint64_t dataEnd = std::min<uint64_t>(sectionStart + uncountedGap + header.sectionLength, in.bytes.size());
    if (dataStart > dataEnd) return PictureFailure::OutsideDocument;
    uint32_t bits = storedPixelBits(header.bitsPerPixel);
    if (bits == 0) return PictureFailure::UnknownDepth;
    if (header.compression > static_cast<uint32_t>(PaintCompression::TwentyFourBitRuns)) {
        return PictureFailure::UnknownCompression;
    }
    if (header.width == 0 || header.height == 0) return PictureFailure::Empty;
    if (uint64_t{header.width} * header.height > maxPixels) return PictureFailure::TooLarge;

    out.width = header.width;
    out.height = header.height;
    out.bitsPerPixel = header.bitsPerPixel;
    out.colour = header.colour;
    out.rowBytes = static_cast<size_t>((uint64_t{header.width} * bits + 31) / 32 * 4);
    out.rows.assign(out.rowBytes * header.height, 0);
    auto data = in.bytes.subspan(static_cast<size_t>(dataStart), static_cast<size_t>(dataEnd - dataStart));
    RowWriter writer{out.rows};
    PictureFailure failure = decodePixelData(data, header.compression, writer);
    if (failure == PictureFailure::PixelDataShort) keepWholeRows(writer.pos, out);
    return failure;
}

uint32_t pixelValue(const PaintData& paint, uint32_t x, uint32_t y) {
    const uint8_t* row = paint.rows.data() + y * paint.rowBytes;
    uint32_t bits = paint.bitsPerPixel;
    if (bits <= 8) {
        // The leftmost pixel is in the lowest bits of its byte.
        uint32_t bit = x * bits;
        return (row[bit / 8] >> (bit % 8)) & ((1u << bits) - 1);
    }
    if (bits == 24) return row[3 * x] | uint32_t{row[3 * x + 1]} << 8 | uint32_t{row[3 * x + 2]} << 16;
    if (bits == 32) return row[4 * x] | uint32_t{row[4 * x + 1]} << 8 | uint32_t{row[4 * x + 2]} << 16;
    return row[2 * x] | uint32_t{row[2 * x + 1]} << 8;
}

Colour valueColour(const PaintData& paint, uint32_t value) {
    uint32_t bits = paint.bitsPerPixel;
    if (bits <= 8) {
        if (paint.colour && bits == 4) return paletteColour16(value);
        if (paint.colour && bits == 8) return paletteColour256(value);
        uint8_t level = greyLevel(value, bits);
        return {level, level, level};
    }
    if (bits == 24 || bits == 32) {
        return {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    }
    if (bits == 12) {
        return {widen((value >> 8) & 0xF, 4), widen((value >> 4) & 0xF, 4), widen(value & 0xF, 4)};
    }
    return {widen(value >> 11, 5), widen((value >> 5) & 0x3F, 6), widen(value & 0x1F, 5)};
}

}  // namespace zentoro
