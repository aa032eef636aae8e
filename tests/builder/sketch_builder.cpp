#include "tests/builder/sketch_builder.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace zentoro::testing {

namespace {

constexpr uint32_t SketchSectionId = 0x1000007D;
constexpr uint32_t ApplicationIdSectionId = 0x10000089;
constexpr uint32_t DisplaySectionId = 0x10000146;
constexpr uint32_t IconSectionId = 0x1000012A;
constexpr uint32_t ObjectDataId = 0x10000144;
constexpr double TwipsPerPixel = 11.9055;

uint32_t storedBits(uint32_t bitsPerPixel) {
    if (bitsPerPixel == 12) return 16;
    return bitsPerPixel;
}

// A string: its length in the one-byte form, then its characters.
Bytes string(std::string_view text) { return Bytes().u8(static_cast<int>(text.size() << 2 | 2)).text(text); }

uint32_t cutPixels(int32_t cut) { return cut <= 0 ? 0 : static_cast<uint32_t>((int64_t{cut} + 6) / 12); }

}  // namespace

Bytes paddedRows(const Sketch& sketch) {
    uint32_t bits = storedBits(sketch.bitsPerPixel);
    size_t rowBytes = (sketch.width * bits + 31) / 32 * 4;
    Bytes out;
    for (uint32_t y = 0; y < sketch.height; ++y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (uint32_t x = 0; x < sketch.width; ++x) {
            uint32_t value = sketch.pixels[y * sketch.width + x];
            if (bits < 8) {
                row[x * bits / 8] |= static_cast<uint8_t>(value << (x * bits % 8));
            } else {
                for (uint32_t b = 0; b < bits / 8; ++b) row[x * bits / 8 + b] = static_cast<uint8_t>(value >> (8 * b));
            }
        }
        // Padding carries arbitrary values; set its bits so that a reader
        // that takes it for pixels shows it. 12-bit padding stays 12-bit.
        uint32_t usedBits = sketch.width * bits;
        for (uint32_t bit = usedBits; bit < rowBytes * 8; ++bit) row[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
        if (sketch.bitsPerPixel == 12 && sketch.width % 2 == 1) row[rowBytes - 1] = 0x0F;
        out.data.insert(out.data.end(), row.begin(), row.end());
    }
    return out;
}

Bytes markerRuns(const std::vector<uint8_t>& stream, size_t unitBytes) {
    std::vector<uint8_t> padded = stream;
    padded.resize((stream.size() + unitBytes - 1) / unitBytes * unitBytes, 0);
    size_t units = padded.size() / unitBytes;
    auto same = [&](size_t a, size_t b) {
        return std::equal(padded.begin() + static_cast<std::ptrdiff_t>(a * unitBytes),
                          padded.begin() + static_cast<std::ptrdiff_t>((a + 1) * unitBytes),
                          padded.begin() + static_cast<std::ptrdiff_t>(b * unitBytes));
    };
    auto unit = [&](size_t i) {
        return Bytes{std::vector<uint8_t>(padded.begin() + static_cast<std::ptrdiff_t>(i * unitBytes),
                                          padded.begin() + static_cast<std::ptrdiff_t>((i + 1) * unitBytes))};
    };
    Bytes out;
    size_t i = 0;
    while (i < units) {
        size_t run = 1;
        while (i + run < units && run < 128 && same(i, i + run)) ++run;
        if (run >= 2) {
            out.u8(static_cast<int>(run - 1)).append(unit(i));
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < units && literal < 128 && !(i + literal + 1 < units && same(i + literal, i + literal + 1))) {
            ++literal;
        }
        out.u8(static_cast<int>(256 - literal));
        for (size_t k = 0; k < literal; ++k) out.append(unit(i + k));
        i += literal;
    }
    return out;
}

Bytes twelveBitRuns(const std::vector<uint8_t>& stream) {
    Bytes out;
    size_t words = stream.size() / 2;
    auto word = [&](size_t i) { return static_cast<uint32_t>(stream[2 * i] | (stream[2 * i + 1] << 8)); };
    size_t i = 0;
    while (i < words) {
        size_t run = 1;
        while (i + run < words && run < 16 && word(i + run) == word(i)) ++run;
        uint32_t record = static_cast<uint32_t>((run - 1) << 12) | (word(i) & 0x0FFF);
        out.u8(static_cast<int>(record & 0xFF)).u8(static_cast<int>(record >> 8));
        i += run;
    }
    return out;
}

Bytes encodedPixelData(const Sketch& sketch) {
    if (sketch.pixelData) return *sketch.pixelData;
    std::vector<uint8_t> rows = paddedRows(sketch).data;
    switch (sketch.compression) {
        case ByteRuns: return markerRuns(rows, 1);
        case TwelveBitRuns: return twelveBitRuns(rows);
        case SixteenBitRuns: return markerRuns(rows, 2);
        case TwentyFourBitRuns: return markerRuns(rows, 3);
        default: return Bytes{rows};
    }
}

Bytes sketchObject(const Sketch& sketch) {
    Bytes pixels = encodedPixelData(sketch);
    uint32_t paintLength = static_cast<uint32_t>(40 + pixels.size());
    Bytes paint;
    paint.u32(sketch.paintLength.value_or(paintLength)).u32(sketch.pixelOffset.value_or(40));
    paint.u32(sketch.declaredWidth.value_or(sketch.width)).u32(sketch.declaredHeight.value_or(sketch.height));
    paint.u32(0).u32(0).u32(sketch.bitsPerPixel).u32(sketch.colour ? 1 : 0).u32(0).u32(sketch.compression);
    paint.append(pixels);

    Bytes section;
    auto word = [&section](uint32_t value) { section.u8(static_cast<int>(value & 0xFF)).u8(static_cast<int>(value >> 8)); };
    word(sketch.zeroArea ? 0 : sketch.areaWidth != 0 ? sketch.areaWidth : sketch.width);
    word(sketch.zeroArea ? 0 : sketch.areaHeight != 0 ? sketch.areaHeight : sketch.height);
    word(sketch.bitmapX);
    word(sketch.bitmapY);
    for (uint32_t form : {202u, 79u, 532u, 211u, 0u}) word(form);
    section.append(paint);
    word(sketch.magnificationX);
    word(sketch.magnificationY);
    for (int32_t cut : sketch.cuts) section.u32(static_cast<uint32_t>(cut));

    constexpr uint32_t SketchSectionOffset = 4;
    uint32_t applicationIdOffset = SketchSectionOffset + static_cast<uint32_t>(section.size());
    Bytes applicationId = Bytes().u32(sketch.applicationUid).append(string("Paint.app"));
    uint32_t tableOffset = applicationIdOffset + static_cast<uint32_t>(applicationId.size());
    Bytes object;
    object.u32(tableOffset).append(section).append(applicationId);
    object.cardinality(2).u32(SketchSectionId).u32(SketchSectionOffset).u32(ApplicationIdSectionId).u32(applicationIdOffset);
    return object;
}

Bytes otherObject(uint32_t applicationUid) {
    Bytes applicationId = Bytes().u32(applicationUid).append(string("sheet.app"));
    Bytes object;
    object.u32(static_cast<uint32_t>(4 + applicationId.size())).append(applicationId);
    return object.cardinality(1).u32(ApplicationIdSectionId).u32(4);
}

int32_t displayTwips(uint32_t pixels, uint16_t magnification) {
    return static_cast<int32_t>(std::lround(pixels * magnification / 1000.0 * TwipsPerPixel));
}

ObjectReference sketchDisplaySize(const Sketch& sketch) {
    uint32_t width = sketch.areaWidth != 0 ? sketch.areaWidth : sketch.width;
    uint32_t height = sketch.areaHeight != 0 ? sketch.areaHeight : sketch.height;
    width -= std::min(width, cutPixels(sketch.cuts[0]) + cutPixels(sketch.cuts[1]));
    height -= std::min(height, cutPixels(sketch.cuts[2]) + cutPixels(sketch.cuts[3]));
    return {0, displayTwips(width, sketch.magnificationX), displayTwips(height, sketch.magnificationY)};
}

EmbeddedObjectBlock sketchBlock(const Sketch& sketch) {
    ObjectReference size = sketchDisplaySize(sketch);
    return {sketchObject(sketch), "Sketch", size.displayWidth, size.displayHeight};
}

PlacedBlock placeObjectBlock(const EmbeddedObjectBlock& block, uint32_t blockStart) {
    Bytes out;
    uint32_t display = blockStart;
    out.u8(block.shownAsIcon ? 0 : 1).u32(static_cast<uint32_t>(block.displayWidth)).u32(static_cast<uint32_t>(block.displayHeight)).u32(0);
    uint32_t icon = blockStart + static_cast<uint32_t>(out.size());
    out.append(string(block.iconName)).u32(500).u32(500);
    uint32_t data = blockStart + static_cast<uint32_t>(out.size());
    out.append(block.data);
    uint32_t section = blockStart + static_cast<uint32_t>(out.size());
    out.cardinality(3).u32(DisplaySectionId).u32(display).u32(IconSectionId).u32(icon).u32(ObjectDataId).u32(data);
    return {out, section};
}

DocumentWithObjects documentWithObjects(const std::vector<EmbeddedObjectBlock>& objects) {
    auto positions = std::make_shared<std::vector<uint32_t>>(objects.size(), 0);
    std::string text;
    TextLayoutSection layout;
    for (size_t i = 0; i < objects.size(); ++i) {
        std::string label = "Object " + std::to_string(i + 1) + ": ";
        text += label + "\x0E" + ParagraphEnd;
        Paragraph paragraph{static_cast<uint32_t>(label.size() + 2)};
        paragraph.phrases = {Phrase{static_cast<uint32_t>(label.size())}, Phrase{1}, Phrase{1}};
        layout.paragraphs.push_back(paragraph);
    }
    const std::string last = "The end.";
    text += last + ParagraphEnd;
    layout.paragraphs.push_back(Paragraph{static_cast<uint32_t>(last.size() + 1), 0, Layer(), 0,
                                          {Phrase{static_cast<uint32_t>(last.size() + 1)}}});

    WordDocument document;
    document.applicationId().styles(StyleSection{}).text(text);
    for (size_t i = 0; i < objects.size(); ++i) {
        document.unlisted([positions, i, block = objects[i]](uint32_t start) {
            PlacedBlock placed = placeObjectBlock(block, start);
            (*positions)[i] = placed.sectionPosition;
            return placed.bytes;
        });
    }
    document.section(0x10000143, [positions, layout, objects](uint32_t) mutable {
        for (size_t i = 0; i < objects.size(); ++i) {
            layout.paragraphs[i].phrases[1].object =
                ObjectReference{(*positions)[i], objects[i].displayWidth, objects[i].displayHeight};
        }
        return layout.bytes();
    });
    std::vector<uint8_t> bytes = document.build();
    return {bytes, *positions};
}

}  // namespace zentoro::testing
