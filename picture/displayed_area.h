// What a sketch shows: its displayed area drawn on white, with the bitmap
// placed inside it and the cuts taken off its edges.
#pragma once

#include <cstdint>

#include "model/document.h"
#include "picture/paint_data.h"
#include "picture/picture_failure.h"

namespace zentoro {

enum CutSide { LeftCut, RightCut, TopCut, BottomCut, CutSides };

struct DisplayedArea {
    uint32_t width = 0;   // pixels; 0 stands for the bitmap's own size
    uint32_t height = 0;
    uint32_t bitmapX = 0;  // where the bitmap's top left pixel lies in the area
    uint32_t bitmapY = 0;
    int32_t cuts[CutSides] = {};  // twelfths of a pixel hidden at each edge
};

// Pixels that a cut hides, to the nearest whole pixel; a negative cut hides none.
uint32_t cutPixels(int32_t cut);

// Draws the area into `out` (8-bit RGB, top to bottom). Fails with Empty
// when the cuts leave nothing, TooLarge when the area has more than
// `maxPixels` pixels.
PictureFailure renderDisplayedArea(const DisplayedArea& area, const PaintData& paint, uint64_t maxPixels, Picture& out);

// Draws what loading the bitmap gave: nothing where it gave no rows, else
// the area. `loaded`, the load's failure, stands unless drawing fails.
PictureFailure renderLoaded(const DisplayedArea& area, const PaintData& paint, PictureFailure loaded, uint64_t maxPixels,
                            Picture& out);

}  // namespace zentoro
