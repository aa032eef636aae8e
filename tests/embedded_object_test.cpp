// Sketches embedded in documents, decoded to pixels: a real object's bytes,
// every depth and compression the device writes, the displayed area with its
// offsets and cuts, and objects that are damaged or hostile.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "picture/embedded_object.h"
#include "picture/object_bytes.h"
#include "picture/picture_limits.h"
#include "tests/builder/sketch_builder.h"

namespace zentoro {
namespace {

using namespace testing;

constexpr uint32_t Huge = 0xFFFFFFFF;
constexpr Colour Grey55{0x55, 0x55, 0x55};
constexpr Colour GreyAA{0xAA, 0xAA, 0xAA};

std::string describe(const Picture& picture) {
    return std::to_string(picture.width) + "x" + std::to_string(picture.height);
}

Colour at(const Picture& picture, int x, int y) {
    const uint8_t* p = picture.rgb.data() + (static_cast<size_t>(y) * picture.width + x) * 3;
    return {p[0], p[1], p[2]};
}

void put(std::vector<uint8_t>& file, size_t at, std::initializer_list<int> bytes) {
    for (int b : bytes) file[at++] = static_cast<uint8_t>(b);
}

void putText(std::vector<uint8_t>& file, size_t at, std::string_view text) {
    for (char c : text) file[at++] = static_cast<uint8_t>(c);
}

// The 3 x 3 sketch of a real document, byte for byte at its own positions:
// display and icon sections, object data, Embedded Object Section at 2671.
std::vector<uint8_t> realPlusSign() {
    std::vector<uint8_t> file(2700, 0);
    put(file, 2518, {0x01, 0x24, 0, 0, 0, 0x24, 0, 0, 0, 0, 0, 0, 0});
    put(file, 2531, {0x1A});
    putText(file, 2532, "Sketch");
    put(file, 2538, {0xF4, 0x01, 0, 0, 0xF4, 0x01, 0, 0});
    put(file, 2546, {0x6C, 0, 0, 0});
    put(file, 2550, {0x03, 0, 0x03, 0, 0, 0, 0, 0, 0x09, 0x01, 0x68, 0, 0x14, 0x02, 0xD3, 0, 0, 0});
    put(file, 2568, {0x34, 0, 0, 0, 0x28, 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0,
                     0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    put(file, 2608, {0xF3, 0x49, 0x40, 0, 0xC0, 0x49, 0x40, 0, 0xF3, 0x49, 0x40, 0});
    put(file, 2620, {0xE8, 0x03, 0xE8, 0x03});
    put(file, 2640, {0x7D, 0, 0, 0x10, 0x26});
    putText(file, 2645, "Paint.app");
    put(file, 2654, {0x04, 0x7D, 0, 0, 0x10, 0x04, 0, 0, 0, 0x89, 0, 0, 0x10, 0x5E, 0, 0, 0});
    put(file, 2671, {0x06, 0x46, 0x01, 0, 0x10, 0xD6, 0x09, 0, 0, 0x2A, 0x01, 0, 0x10, 0xE3, 0x09, 0, 0,
                     0x44, 0x01, 0, 0x10, 0xF2, 0x09, 0, 0});
    return file;
}

TEST(EmbeddedObject, RealSketchIsABlackPlusSignOnWhite) {
    DecodedObject object = decodeEmbeddedObject(realPlusSign(), 2671);
    ASSERT_EQ(object.failure, PictureFailure::None) << describePictureFailure(object.failure);
    EXPECT_EQ(object.kind, ObjectKind::Sketch);
    ASSERT_EQ(describe(object.picture), "3x3");
    const char* expected[] = {"W.W", "...", "W.W"};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(at(object.picture, x, y), expected[y][x] == 'W' ? White : Black) << x << "," << y;
        }
    }
}

// Pixel values with the colour each must come out as, written out by hand.
using ColourTable = std::vector<std::pair<uint32_t, Colour>>;

const ColourTable OneBitGrey = {{0, Black}, {1, White}};
const ColourTable TwoBitGrey = {{0, Black}, {1, Grey55}, {2, GreyAA}, {3, White}};
const ColourTable FourBitGrey = {{0, Black}, {1, {0x11, 0x11, 0x11}}, {7, {0x77, 0x77, 0x77}}, {14, {0xEE, 0xEE, 0xEE}}, {15, White}};
const ColourTable EightBitGrey = {{0, Black}, {1, {1, 1, 1}}, {0x80, {0x80, 0x80, 0x80}}, {0xFE, {0xFE, 0xFE, 0xFE}}, {0xFF, White}};
const ColourTable SixteenColours = {
    {0, Black}, {1, Grey55}, {2, {0x80, 0, 0}}, {5, {0xFF, 0, 0}}, {6, {0, 0xFF, 0}}, {9, {0, 0, 0xFF}},
    {12, {0, 0, 0x80}}, {13, {0, 0x80, 0x80}}, {14, GreyAA}, {15, White}};
const ColourTable TwoFiftySixColours = {
    {0, Black}, {1, {0x33, 0, 0}}, {5, {0xFF, 0, 0}}, {6, {0, 0x33, 0}}, {36, {0, 0, 0x33}},
    {107, {0xFF, 0xFF, 0x66}}, {108, {0x11, 0x11, 0x11}}, {113, {0x11, 0, 0}}, {127, {0, 0, 0x77}},
    {128, {0, 0, 0x88}}, {142, {0xEE, 0, 0}}, {147, {0xEE, 0xEE, 0xEE}}, {148, {0, 0, 0x99}}, {255, White}};
const ColourTable TwelveBitColours = {
    {0x000, Black}, {0xF00, {0xFF, 0, 0}}, {0x0F0, {0, 0xFF, 0}}, {0x00F, {0, 0, 0xFF}},
    {0x123, {0x11, 0x22, 0x33}}, {0xFFF, White}};
const ColourTable SixteenBitColours = {
    {0x0000, Black}, {0xF800, {0xFF, 0, 0}}, {0x07E0, {0, 0xFF, 0}}, {0x001F, {0, 0, 0xFF}},
    {0x8410, {0x84, 0x82, 0x84}}, {0xFFFF, White}};
const ColourTable TwentyFourBitColours = {
    {0x000000, Black}, {0xFF0000, {0xFF, 0, 0}}, {0x00FF00, {0, 0xFF, 0}}, {0x0000FF, {0, 0, 0xFF}},
    {0x123456, {0x12, 0x34, 0x56}}, {0xFFFFFF, White}};

// A pattern with runs (for the run-length schemes) and changes within a
// byte (for the packed depths); each pixel picks one entry of the table.
size_t patternEntry(uint32_t x, uint32_t y, size_t entries) { return (x / 3 + 2 * y + (x * y) % 3) % entries; }

Sketch patternSketch(uint32_t width, uint32_t height, uint32_t bits, bool colour, uint32_t compression,
                     const ColourTable& table) {
    Sketch sketch{width, height, bits, colour, compression};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) sketch.pixels.push_back(table[patternEntry(x, y, table.size())].first);
    }
    return sketch;
}

struct DepthCase {
    const char* name;
    uint32_t bits;
    bool colour;
    uint32_t compression;
    uint32_t width;
    const ColourTable* table;
};

class EveryDepthAndCompression : public ::testing::TestWithParam<DepthCase> {};

TEST_P(EveryDepthAndCompression, DecodesToTheDrawnPixels) {
    const DepthCase& c = GetParam();
    constexpr uint32_t Height = 9;
    Sketch sketch = patternSketch(c.width, Height, c.bits, c.colour, c.compression, *c.table);
    DocumentWithObjects document = documentWithObjects({sketchBlock(sketch)});
    DecodedObject object = decodeEmbeddedObject(document.bytes, document.sectionPositions[0]);
    ASSERT_EQ(object.failure, PictureFailure::None) << describePictureFailure(object.failure);
    ASSERT_EQ(describe(object.picture), describe(Picture{static_cast<int>(c.width), static_cast<int>(Height)}));
    for (uint32_t y = 0; y < Height; ++y) {
        for (uint32_t x = 0; x < c.width; ++x) {
            Colour expected = (*c.table)[patternEntry(x, y, c.table->size())].second;
            ASSERT_EQ(at(object.picture, static_cast<int>(x), static_cast<int>(y)), expected) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sketches, EveryDepthAndCompression,
    ::testing::Values(
        DepthCase{"Grey1Uncompressed", 1, false, Uncompressed, 37, &OneBitGrey},
        DepthCase{"Grey1ByteRuns", 1, false, ByteRuns, 45, &OneBitGrey},
        DepthCase{"Grey2Uncompressed", 2, false, Uncompressed, 3, &TwoBitGrey},
        DepthCase{"Grey2ByteRuns", 2, false, ByteRuns, 158, &TwoBitGrey},
        DepthCase{"Grey4Uncompressed", 4, false, Uncompressed, 11, &FourBitGrey},
        DepthCase{"Grey4ByteRuns", 4, false, ByteRuns, 29, &FourBitGrey},
        DepthCase{"Grey8Uncompressed", 8, false, Uncompressed, 7, &EightBitGrey},
        DepthCase{"Grey8ByteRuns", 8, false, ByteRuns, 131, &EightBitGrey},
        DepthCase{"Palette16Uncompressed", 4, true, Uncompressed, 13, &SixteenColours},
        DepthCase{"Palette16ByteRuns", 4, true, ByteRuns, 21, &SixteenColours},
        DepthCase{"Palette256Uncompressed", 8, true, Uncompressed, 15, &TwoFiftySixColours},
        DepthCase{"Palette256ByteRuns", 8, true, ByteRuns, 33, &TwoFiftySixColours},
        DepthCase{"Colour12Uncompressed", 12, true, Uncompressed, 5, &TwelveBitColours},
        DepthCase{"Colour12TwelveBitRuns", 12, true, TwelveBitRuns, 41, &TwelveBitColours},
        DepthCase{"Colour12ByteRuns", 12, true, ByteRuns, 9, &TwelveBitColours},
        DepthCase{"Colour16Uncompressed", 16, true, Uncompressed, 7, &SixteenBitColours},
        DepthCase{"Colour16SixteenBitRuns", 16, true, SixteenBitRuns, 39, &SixteenBitColours},
        DepthCase{"Colour16ByteRuns", 16, true, ByteRuns, 3, &SixteenBitColours},
        DepthCase{"Colour24Uncompressed", 24, true, Uncompressed, 5, &TwentyFourBitColours},
        DepthCase{"Colour24TwentyFourBitRuns", 24, true, TwentyFourBitRuns, 43, &TwentyFourBitColours},
        DepthCase{"Colour24TwentyFourBitRunsOneWide", 24, true, TwentyFourBitRuns, 1, &TwentyFourBitColours},
        DepthCase{"Colour24ByteRuns", 24, true, ByteRuns, 6, &TwentyFourBitColours},
        // Colour with fewer than 4 bits has no palette: grey levels.
        DepthCase{"Colour2IsGrey", 2, true, Uncompressed, 5, &TwoBitGrey}),
    [](const auto& info) { return std::string(info.param.name); });

// The displayed area, from the area's own size, the bitmap's place in it
// and the cuts, computed pixel by pixel: white wherever no bitmap pixel is.
Picture slowDisplayedArea(const Sketch& sketch, const ColourTable& table) {
    auto cut = [](int32_t c) { return c <= 0 ? 0 : (c + 6) / 12; };
    int left = cut(sketch.cuts[0]), right = cut(sketch.cuts[1]), top = cut(sketch.cuts[2]), bottom = cut(sketch.cuts[3]);
    Picture picture{sketch.areaWidth - left - right, sketch.areaHeight - top - bottom};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            int bx = x + left - sketch.bitmapX;
            int by = y + top - sketch.bitmapY;
            Colour colour = White;
            if (bx >= 0 && by >= 0 && bx < static_cast<int>(sketch.width) && by < static_cast<int>(sketch.height)) {
                uint32_t value = sketch.pixels[static_cast<size_t>(by) * sketch.width + static_cast<size_t>(bx)];
                for (const auto& [v, c] : table) {
                    if (v == value) colour = c;
                }
            }
            picture.rgb.insert(picture.rgb.end(), {colour.red, colour.green, colour.blue});
        }
    }
    return picture;
}

struct AreaCase {
    const char* name;
    uint16_t areaWidth, areaHeight, bitmapX, bitmapY;
    int32_t cuts[4];
    uint16_t magnificationX, magnificationY;
};

TEST(EmbeddedObject, DisplayedAreaPlacesTheBitmapAndTakesOffTheCuts) {
    const AreaCase cases[] = {
        {"area equals bitmap", 0, 0, 0, 0, {0, 0, 0, 0}, 1000, 1000},
        {"bitmap inside a larger area", 17, 12, 3, 2, {0, 0, 0, 0}, 1000, 1000},
        {"cuts round to whole pixels", 17, 12, 3, 2, {24, 30, 6, 5}, 1000, 1000},
        {"cuts reach into the bitmap", 11, 7, 0, 0, {36, 12, 24, 12}, 715, 750},
        {"negative cut hides nothing", 11, 7, 0, 0, {-120, 0, 0, 0}, 1167, 1085},
        {"bitmap partly outside the area", 8, 5, 4, 3, {0, 0, 0, 0}, 1000, 1000},
    };
    for (const AreaCase& c : cases) {
        Sketch sketch = patternSketch(11, 7, 2, false, ByteRuns, TwoBitGrey);
        sketch.areaWidth = c.areaWidth != 0 ? c.areaWidth : 11;
        sketch.areaHeight = c.areaHeight != 0 ? c.areaHeight : 7;
        sketch.bitmapX = c.bitmapX;
        sketch.bitmapY = c.bitmapY;
        std::copy(std::begin(c.cuts), std::end(c.cuts), std::begin(sketch.cuts));
        sketch.magnificationX = c.magnificationX;
        sketch.magnificationY = c.magnificationY;
        DocumentWithObjects document = documentWithObjects({sketchBlock(sketch)});
        DecodedObject object = decodeEmbeddedObject(document.bytes, document.sectionPositions[0]);
        ASSERT_EQ(object.failure, PictureFailure::None) << c.name;
        Picture expected = slowDisplayedArea(sketch, TwoBitGrey);
        EXPECT_EQ(describe(object.picture), describe(expected)) << c.name;
        EXPECT_EQ(object.picture.rgb, expected.rgb) << c.name;
    }
}

// An area of 0 x 0 pixels would show nothing of a good bitmap: it stands
// for the bitmap's own size.
TEST(EmbeddedObject, ZeroDisplayedAreaShowsTheBitmap) {
    Sketch sketch = patternSketch(11, 7, 2, false, ByteRuns, TwoBitGrey);
    sketch.zeroArea = true;
    DocumentWithObjects document = documentWithObjects({sketchBlock(sketch)});
    DecodedObject object = decodeEmbeddedObject(document.bytes, document.sectionPositions[0]);
    ASSERT_EQ(object.failure, PictureFailure::None);
    sketch.areaWidth = 11;
    sketch.areaHeight = 7;
    EXPECT_EQ(object.picture.rgb, slowDisplayedArea(sketch, TwoBitGrey).rgb);
}

// A list's count: one, two or four bytes, told apart by the first's low
// bits; a first byte of no known form, or a count cut short, overruns the
// cursor.
TEST(EmbeddedObject, ListCountsTakeOneTwoOrFourBytesByTheirLowBits) {
    struct Case {
        std::vector<uint8_t> bytes;
        uint32_t count;
        size_t read;
        bool overrun;
    };
    const Case cases[] = {
        {{0x0A}, 5, 1, false},
        {{0x05, 0x01}, 0x41, 2, false},
        {{0x0B, 0x00, 0x01, 0x00}, 0x2001, 4, false},
        {{0x07, 0x00, 0x00, 0x00}, 0, 4, true},
        {{0x05}, 0, 1, true},
    };
    for (const Case& c : cases) {
        ObjectBytes in{c.bytes};
        uint32_t count = readListCount(in);
        // What an overrun cursor read is never used.
        if (!c.overrun) {
            EXPECT_EQ(count, c.count) << int{c.bytes[0]};
        }
        EXPECT_EQ(in.pos, c.read) << int{c.bytes[0]};
        EXPECT_EQ(in.overrun, c.overrun) << int{c.bytes[0]};
    }
}

TEST(EmbeddedObject, KindComesFromTheApplicationUid) {
    const std::pair<uint32_t, ObjectKind> cases[] = {
        {SpreadsheetUid, ObjectKind::Spreadsheet}, {0x10000123, ObjectKind::Other}};
    for (const auto& [uid, kind] : cases) {
        DocumentWithObjects document = documentWithObjects({{otherObject(uid), "Sheet", 3810, 1429}});
        DecodedObject object = decodeEmbeddedObject(document.bytes, document.sectionPositions[0]);
        EXPECT_EQ(object.kind, kind) << uid;
        EXPECT_EQ(object.failure, PictureFailure::NotASketch) << uid;
        EXPECT_TRUE(object.picture.rgb.empty()) << uid;
    }
}

// Damaged and hostile objects: each fails with its reason and an empty
// picture, allocating nothing near what it claims; the sanitize preset
// checks that nothing outside the file is read.
struct HostileCase {
    const char* name;
    std::function<DocumentWithObjects()> document;
    ObjectKind kind;
    PictureFailure failure;
};

Sketch smallSketch(uint32_t compression = ByteRuns) { return patternSketch(9, 4, 2, false, compression, TwoBitGrey); }

DocumentWithObjects withSketch(const std::function<void(Sketch&)>& change) {
    Sketch sketch = smallSketch();
    change(sketch);
    return documentWithObjects({sketchBlock(sketch)});
}

// Changes four bytes of the document at the object data's start + `offset`.
DocumentWithObjects patchObject(uint32_t offset, uint32_t value) {
    DocumentWithObjects document = documentWithObjects({sketchBlock(smallSketch())});
    uint32_t section = document.sectionPositions[0];
    const uint8_t* entry = document.bytes.data() + section + 1 + 16 + 4;  // third entry's position
    uint32_t objectStart = entry[0] | entry[1] << 8 | entry[2] << 16 | static_cast<uint32_t>(entry[3]) << 24;
    for (int i = 0; i < 4; ++i) document.bytes[objectStart + offset + i] = static_cast<uint8_t>(value >> (8 * i));
    return document;
}

Bytes repeatRecords(int count, int marker, int value) {
    Bytes bytes;
    for (int i = 0; i < count; ++i) bytes.u8(marker).u8(value);
    return bytes;
}

TEST(EmbeddedObject, HostileObjectsFailSafelyWithAReason) {
    // The 9 x 4 sketch at 2 bpp has rows of 4 bytes: 16 bytes in all.
    const HostileCase cases[] = {
        {"bitmap of 2^32 x 2^32 pixels", [] { return withSketch([](Sketch& s) { s.declaredWidth = Huge; s.declaredHeight = Huge; }); },
         ObjectKind::Sketch, PictureFailure::TooLarge},
        {"bitmap one row over the pixel limit", [] { return withSketch([](Sketch& s) { s.declaredWidth = 2048; s.declaredHeight = 2049; }); },
         ObjectKind::Sketch, PictureFailure::TooLarge},
        {"displayed area of 65535 x 65535", [] { return withSketch([](Sketch& s) { s.areaWidth = 65535; s.areaHeight = 65535; }); },
         ObjectKind::Sketch, PictureFailure::TooLarge},
        {"bitmap at the limit with too little data", [] { return withSketch([](Sketch& s) { s.declaredWidth = 2048; s.declaredHeight = 2048; }); },
         ObjectKind::Sketch, PictureFailure::PixelDataShort},
        {"paint section longer than the file", [] { return withSketch([](Sketch& s) { s.paintLength = 0x7FFFFFF0; }); },
         ObjectKind::Sketch, PictureFailure::OutsideDocument},
        {"paint section shorter than its header", [] { return withSketch([](Sketch& s) { s.paintLength = 12; }); },
         ObjectKind::Sketch, PictureFailure::OutsideDocument},
        {"pixel data offset past the section", [] { return withSketch([](Sketch& s) { s.pixelOffset = Huge; }); },
         ObjectKind::Sketch, PictureFailure::OutsideDocument},
        {"unknown depth", [] { return withSketch([](Sketch& s) { s.bitsPerPixel = 3; }); },
         ObjectKind::Sketch, PictureFailure::UnknownDepth},
        {"unknown compression", [] { return withSketch([](Sketch& s) { s.compression = 5; }); },
         ObjectKind::Sketch, PictureFailure::UnknownCompression},
        {"zero width", [] { return withSketch([](Sketch& s) { s.declaredWidth = 0; }); },
         ObjectKind::Sketch, PictureFailure::Empty},
        {"cuts hide the whole area", [] { return withSketch([](Sketch& s) { s.cuts[0] = 60; s.cuts[1] = 60; }); },
         ObjectKind::Sketch, PictureFailure::Empty},
        {"cuts hide every row, to the pixel", [] { return withSketch([](Sketch& s) { s.cuts[2] = 24; s.cuts[3] = 24; }); },
         ObjectKind::Sketch, PictureFailure::Empty},
        {"cut of 2^31 - 1", [] { return withSketch([](Sketch& s) { s.cuts[3] = 0x7FFFFFFF; }); },
         ObjectKind::Sketch, PictureFailure::Empty},
        {"no pixel data: the data start where the section ends", [] { return withSketch([](Sketch& s) { s.pixelData = Bytes(); }); },
         ObjectKind::Sketch, PictureFailure::PixelDataShort},
        {"uncompressed data one byte short", [] { return withSketch([](Sketch& s) { s.compression = Uncompressed; s.pixelData = Bytes().fill(15, 0); }); },
         ObjectKind::Sketch, PictureFailure::PixelDataShort},
        {"copy record past the data", [] { return withSketch([](Sketch& s) { s.pixelData = Bytes().u8(0x80).fill(15, 0); }); },
         ObjectKind::Sketch, PictureFailure::PixelDataShort},
        {"repeat record without its byte", [] { return withSketch([](Sketch& s) { s.pixelData = Bytes().u8(4).u8(0xFF).u8(7); }); },
         ObjectKind::Sketch, PictureFailure::PixelDataShort},
        {"data end before the last row", [] { return withSketch([](Sketch& s) { s.pixelData = repeatRecords(1, 11, 0); }); },
         ObjectKind::Sketch, PictureFailure::PixelDataShort},
        {"24-bit copy record past the data", [] { return withSketch([](Sketch& s) { s.compression = TwentyFourBitRuns; s.pixelData = Bytes().u8(0xF0).fill(12, 0); }); },
         ObjectKind::Sketch, PictureFailure::PixelDataShort},
        {"12-bit record cut in half", [] { return withSketch([](Sketch& s) { s.compression = TwelveBitRuns; s.pixelData = Bytes().u8(0x01).u8(0x00).u8(0x12); }); },
         ObjectKind::Sketch, PictureFailure::PixelDataShort},
        {"section position past the file", [] {
             DocumentWithObjects d = documentWithObjects({sketchBlock(smallSketch())});
             d.sectionPositions[0] = Huge;
             return d; },
         ObjectKind::Other, PictureFailure::OutsideDocument},
        {"section table offset past the file", [] { return patchObject(0, 0x7FFFFFFF); },
         ObjectKind::Other, PictureFailure::OutsideDocument},
        {"section table offset of nearly 2^32", [] { return patchObject(0, 0xFFFFFFF0); },
         ObjectKind::Other, PictureFailure::OutsideDocument},
    };
    for (const HostileCase& c : cases) {
        DocumentWithObjects document = c.document();
        DecodedObject object = decodeEmbeddedObject(document.bytes, document.sectionPositions[0]);
        EXPECT_EQ(object.kind, c.kind) << c.name;
        EXPECT_EQ(object.failure, c.failure) << c.name << ": " << describePictureFailure(object.failure);
        EXPECT_TRUE(object.picture.rgb.empty()) << c.name;
        EXPECT_EQ(object.picture.width, 0) << c.name;
    }
}

// A display section listed at the document's very end has no byte to say
// how the object is shown: it is shown, as without one.
TEST(EmbeddedObject, DisplaySectionListedAtTheEndShowsTheObject) {
    DocumentWithObjects document = documentWithObjects({sketchBlock(smallSketch())});
    uint8_t* entry = document.bytes.data() + document.sectionPositions[0] + 1;
    auto at = [](const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; };
    while (at(entry) != 0x10000146) entry += 8;  // the display section's entry
    uint32_t end = static_cast<uint32_t>(document.bytes.size());
    for (int i = 0; i < 4; ++i) entry[4 + i] = static_cast<uint8_t>(end >> (8 * i));
    DecodedObject object = decodeEmbeddedObject(document.bytes, document.sectionPositions[0]);
    EXPECT_EQ(object.failure, PictureFailure::None);
    EXPECT_FALSE(object.shownAsIcon);
}

TEST(EmbeddedObject, HugeSectionCountsAreRefusedBeforeTheyAreWalked) {
    DocumentWithObjects whole = documentWithObjects({sketchBlock(smallSketch())});
    // One entry more than the rest of the document could hold.
    uint32_t justTooMany = static_cast<uint32_t>((whole.bytes.size() - whole.sectionPositions[0]) / 8 + 1);
    for (uint32_t count : {0x1FFFFFFFu, 0x3FFFu, justTooMany}) {
        DocumentWithObjects document = whole;
        // The count's wider forms overwrite the start of the first entry.
        Bytes listCount = Bytes().cardinality(count);
        std::copy(listCount.data.begin(), listCount.data.end(), document.bytes.begin() + document.sectionPositions[0]);
        DecodedObject object = decodeEmbeddedObject(document.bytes, document.sectionPositions[0]);
        EXPECT_EQ(object.failure, PictureFailure::OutsideDocument) << count;
    }
}

// A run that crosses a row's end continues on the next row; one that runs
// past the picture's end is cut off there and harms nothing.
TEST(EmbeddedObject, RunsCrossRowsAndStopAtThePicturesEnd) {
    struct RunCase {
        const char* name;
        Bytes data;
        std::vector<uint8_t> rows;  // the 9 x 4 sketch's 16 decoded bytes
    };
    const RunCase cases[] = {
        {"one run over every row", Bytes().u8(15).u8(0xE4), std::vector<uint8_t>(16, 0xE4)},
        {"run across a row end", Bytes().u8(5).u8(0xFF).u8(9).u8(0x00), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"run past the picture's end", Bytes().u8(0x7F).u8(0x55), std::vector<uint8_t>(16, 0x55)},
        {"copy past the picture's end", Bytes().u8(0x80).fill(128, 0xAA), std::vector<uint8_t>(16, 0xAA)},
        {"copy longer than the data that completes the picture", Bytes().u8(0x80).fill(16, 0xAA), std::vector<uint8_t>(16, 0xAA)},
        {"records after the end are ignored", Bytes().u8(15).u8(0).u8(0x80).fill(3, 0xFF), std::vector<uint8_t>(16, 0)},
    };
    for (const RunCase& c : cases) {
        Sketch sketch = smallSketch();
        sketch.pixelData = c.data;
        DocumentWithObjects document = documentWithObjects({sketchBlock(sketch)});
        DecodedObject object = decodeEmbeddedObject(document.bytes, document.sectionPositions[0]);
        ASSERT_EQ(object.failure, PictureFailure::None) << c.name;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 9; ++x) {
                int value = (c.rows[static_cast<size_t>(y * 4 + x / 4)] >> (2 * (x % 4))) & 3;
                EXPECT_EQ(at(object.picture, x, y), TwoBitGrey[static_cast<size_t>(value)].second) << c.name << " " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace zentoro
