#include "tests/builder/picture_file_builder.h"

#include "reader/uid_checksum.h"

namespace zentoro::testing {

namespace {

constexpr uint32_t EpocFileUid = 0x10000037;
constexpr uint32_t DocumentUid = 0x1000006D;
constexpr uint32_t RomBitmapFileUid = 0x10000041;
constexpr uint32_t RomItemUid = 0x10000040;
constexpr uint32_t HeaderBytes = 16;

uint32_t longAt(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 | uint32_t{bytes[at + 3]} << 24;
}

void putLong(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

Bytes bitmapSection(const Sketch& bitmap) {
    Bytes pixels = encodedPixelData(bitmap);
    Bytes section;
    section.u32(bitmap.paintLength.value_or(static_cast<uint32_t>(40 + pixels.size())));
    section.u32(bitmap.pixelOffset.value_or(40));
    section.u32(bitmap.declaredWidth.value_or(bitmap.width)).u32(bitmap.declaredHeight.value_or(bitmap.height));
    section.u32(0).u32(0).u32(bitmap.bitsPerPixel).u32(bitmap.colour ? 1 : 0).u32(0).u32(bitmap.compression);
    return section.append(pixels);
}

Bytes uidHeader(uint32_t uid1, uint32_t uid2, uint32_t uid3) {
    Bytes header;
    header.u32(uid1).u32(uid2).u32(uid3);
    return header.u32(uidChecksum(header.data.data()));
}

std::vector<uint8_t> multiBitmapFile(const MultiBitmapFile& file) {
    Bytes bytes = uidHeader(EpocFileUid, file.uid2, 0);
    bytes.u32(0);  // the trailer's position, set below
    std::vector<uint32_t> starts;
    for (const Sketch& bitmap : file.bitmaps) {
        starts.push_back(static_cast<uint32_t>(bytes.size()));
        bytes.append(bitmapSection(bitmap)).fill(file.gapBetween, 0xA5);
        if (file.staleLists && starts.size() < file.bitmaps.size()) {
            bytes.u32(static_cast<uint32_t>(starts.size()));
            for (uint32_t start : starts) bytes.u32(start);
        }
    }
    uint32_t trailer = static_cast<uint32_t>(bytes.size());
    bytes.u32(file.trailerCount.value_or(static_cast<uint32_t>(starts.size())));
    for (uint32_t start : starts) bytes.u32(start);
    bytes.fill(file.bytesAfter, 0x5A);
    putLong(bytes.data, HeaderBytes, file.trailerPosition.value_or(trailer));
    return bytes.data;
}

std::vector<uint8_t> romBitmapFile(const std::vector<Sketch>& bitmaps) {
    Bytes items;
    std::vector<uint32_t> starts;
    uint32_t first = 8 + 4 * static_cast<uint32_t>(bitmaps.size());
    for (const Sketch& bitmap : bitmaps) {
        starts.push_back(first + static_cast<uint32_t>(items.size()));
        Bytes section = bitmapSection(bitmap);
        uint32_t rowBytes = (bitmap.width * bitmap.bitsPerPixel + 31) / 32 * 4;
        items.u32(RomItemUid).u32(2).u32(0).u32(0).u32(rowBytes);
        // The header, then the two longs it does not count, then the pixels.
        items.append(Bytes{std::vector<uint8_t>(section.data.begin(), section.data.begin() + 40)});
        items.u32(0xFFFFFFFF).u32(0x44);
        items.append(Bytes{std::vector<uint8_t>(section.data.begin() + 40, section.data.end())});
    }
    Bytes bytes;
    bytes.u32(RomBitmapFileUid).u32(static_cast<uint32_t>(bitmaps.size()));
    for (uint32_t start : starts) bytes.u32(start);
    return bytes.append(items).data;
}

std::vector<uint8_t> sketchFile(const Sketch& sketch) {
    std::vector<uint8_t> bytes = uidHeader(EpocFileUid, DocumentUid, SketchUid).append(sketchObject(sketch)).data;
    // The object's offsets count from its start; the file's from its own.
    uint32_t table = longAt(bytes, HeaderBytes) + HeaderBytes;
    putLong(bytes, HeaderBytes, table);
    uint32_t entries = bytes[table] >> 1;
    for (uint32_t i = 0; i < entries; ++i) {
        size_t at = table + 1 + 8 * i + 4;
        putLong(bytes, at, longAt(bytes, at) + HeaderBytes);
    }
    return bytes;
}

}  // namespace zentoro::testing
