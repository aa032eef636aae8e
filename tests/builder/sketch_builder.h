// Writes sketches as the drawing application stores them, embeds them (or
// other objects) in Word documents as object phrases, and encodes pixel rows
// in each of the device's run-length schemes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/builder/document_builder.h"

namespace zentoro::testing {

inline constexpr uint32_t SketchUid = 0x1000007D;
inline constexpr uint32_t SpreadsheetUid = 0x10000088;

enum SketchCompression : uint32_t { Uncompressed, ByteRuns, TwelveBitRuns, SixteenBitRuns, TwentyFourBitRuns };

struct Sketch {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 2;
    bool colour = false;
    uint32_t compression = Uncompressed;
    std::vector<uint32_t> pixels;  // width * height values, rows top to bottom
    uint16_t areaWidth = 0;        // 0: the bitmap's width
    uint16_t areaHeight = 0;       // 0: the bitmap's height
    uint16_t bitmapX = 0;
    uint16_t bitmapY = 0;
    uint16_t magnificationX = 1000;
    uint16_t magnificationY = 1000;
    int32_t cuts[4] = {};  // left, right, top, bottom, in twelfths of a pixel
    uint32_t applicationUid = SketchUid;
    // For damaged sketches: what the Paint Data Section claims instead of the truth.
    std::optional<Bytes> pixelData;
    std::optional<uint32_t> paintLength;
    std::optional<uint32_t> pixelOffset;
    std::optional<uint32_t> declaredWidth;
    std::optional<uint32_t> declaredHeight;
    bool zeroArea = false;  // area words of 0, whatever areaWidth and areaHeight say
};

// The pixel rows uncompressed: each padded to whole 4-byte units, the
// leftmost pixel in the lowest bits, padding bits set.
Bytes paddedRows(const Sketch& sketch);
// The rows in the sketch's compression.
Bytes encodedPixelData(const Sketch& sketch);

// Run-length encodings of a byte stream: marker records over units of 1, 2
// or 3 bytes, or the 12-bit scheme over 16-bit words (each below 0x1000).
Bytes markerRuns(const std::vector<uint8_t>& stream, size_t unitBytes);
Bytes twelveBitRuns(const std::vector<uint8_t>& stream);

// The embedded object's data: section table offset, Sketch Section,
// Application ID Section and section table, offsets relative to its start.
Bytes sketchObject(const Sketch& sketch);
// An object of another application, with a section table and Application ID only.
Bytes otherObject(uint32_t applicationUid);

// The size in twips at which the device shows `pixels` at `magnification`.
int32_t displayTwips(uint32_t pixels, uint16_t magnification);
// The size the device shows a sketch at: its area less the cuts, magnified.
ObjectReference sketchDisplaySize(const Sketch& sketch);

struct EmbeddedObjectBlock {
    Bytes data;                // sketchObject() or otherObject()
    std::string iconName = "Sketch";
    int32_t displayWidth = 0;  // twips
    int32_t displayHeight = 0;
    bool shownAsIcon = false;
};

// The display and icon sections, the object data and the Embedded Object
// Section, back to back from `blockStart`, as a document stores them.
struct PlacedBlock {
    Bytes bytes;
    uint32_t sectionPosition = 0;  // absolute position of the Embedded Object Section
};
PlacedBlock placeObjectBlock(const EmbeddedObjectBlock& block, uint32_t blockStart);

struct DocumentWithObjects {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> sectionPositions;  // one per object, in order
};

// A Word document with a paragraph "Object N: " + the object character per
// object, and a last paragraph of text.
DocumentWithObjects documentWithObjects(const std::vector<EmbeddedObjectBlock>& objects);

// The block of a sketch with the display size the device would give it.
EmbeddedObjectBlock sketchBlock(const Sketch& sketch);

}  // namespace zentoro::testing
