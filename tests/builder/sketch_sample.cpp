#include "tests/builder/sketch_sample.h"

#include <cmath>

namespace zentoro::testing {

namespace {

// Grey rings around a black dot on white, 2 bits a pixel, as the device's
// own drawings are.
Sketch rings() {
    Sketch sketch{157, 61, 2, false, ByteRuns};
    for (uint32_t y = 0; y < sketch.height; ++y) {
        for (uint32_t x = 0; x < sketch.width; ++x) {
            double distance = std::hypot(static_cast<double>(x) - 78.0, (static_cast<double>(y) - 30.0) * 1.0);
            uint32_t ring = static_cast<uint32_t>(distance / 6.0);
            sketch.pixels.push_back(distance < 5.0 ? 0 : ring % 4 == 3 ? 3 : ring > 10 ? 3 : ring % 3);
        }
    }
    return sketch;
}

// The 16-colour palette as swatches, shown at 150 %.
Sketch sixteenColours() {
    Sketch sketch{128, 24, 4, true, Uncompressed};
    for (uint32_t y = 0; y < sketch.height; ++y) {
        for (uint32_t x = 0; x < sketch.width; ++x) sketch.pixels.push_back(x / 8);
    }
    sketch.magnificationX = 1500;
    sketch.magnificationY = 1500;
    return sketch;
}

// The 256-colour palette, 16 cells a row.
Sketch twoHundredFiftySixColours() {
    Sketch sketch{96, 96, 8, true, ByteRuns};
    for (uint32_t y = 0; y < sketch.height; ++y) {
        for (uint32_t x = 0; x < sketch.width; ++x) sketch.pixels.push_back((y / 6) * 16 + x / 6);
    }
    return sketch;
}

// A 24-bit gradient inside a larger area, with its edges cut off.
Sketch gradient() {
    Sketch sketch{64, 48, 24, true, TwentyFourBitRuns};
    for (uint32_t y = 0; y < sketch.height; ++y) {
        for (uint32_t x = 0; x < sketch.width; ++x) {
            uint32_t red = x * 255 / 63, green = y * 255 / 47, blue = 255 - red / 2;
            sketch.pixels.push_back(red << 16 | green << 8 | blue);
        }
    }
    sketch.areaWidth = 80;
    sketch.areaHeight = 56;
    sketch.bitmapX = 8;
    sketch.bitmapY = 4;
    sketch.cuts[0] = 48;  // 4 pixels
    sketch.cuts[1] = 48;
    sketch.magnificationX = 1250;
    sketch.magnificationY = 1250;
    return sketch;
}

}  // namespace

std::vector<Sketch> sampleSketches() { return {rings(), sixteenColours(), twoHundredFiftySixColours(), gradient()}; }

DocumentWithObjects sketchSampleDocument() {
    std::vector<EmbeddedObjectBlock> blocks;
    for (const Sketch& sketch : sampleSketches()) blocks.push_back(sketchBlock(sketch));
    blocks.push_back({otherObject(SpreadsheetUid), "Sheet", 3810, 1429});
    return documentWithObjects(blocks);
}

}  // namespace zentoro::testing
