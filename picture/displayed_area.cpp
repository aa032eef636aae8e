#include "picture/displayed_area.h"

namespace zentoro {

namespace {

// Twelfths of a displayed-area pixel make one unit of cut.
constexpr int64_t CutUnitsPerPixel = 12;

void putColour(uint8_t* rgb, Colour colour) {
    rgb[0] = colour.red;
    rgb[1] = colour.green;
    rgb[2] = colour.blue;
}

}  // namespace

uint32_t cutPixels(int32_t cut) {
    if (cut <= 0) return 0;
    return static_cast<uint32_t>((int64_t{cut} + CutUnitsPerPixel / 2) / CutUnitsPerPixel);
}

PictureFailure renderDisplayedArea(const DisplayedArea& area, const PaintData& paint, uint64_t maxPixels, Picture& out) {
    uint64_t areaWidth = area.width != 0 ? area.width : paint.width;
    uint64_t areaHeight = area.height != 0 ? area.height : paint.height;
    if (areaWidth * areaHeight > maxPixels) return PictureFailure::TooLarge;
    uint64_t left = cutPixels(area.cuts[LeftCut]);
    uint64_t top = cutPixels(area.cuts[TopCut]);
    uint64_t hiddenX = left + cutPixels(area.cuts[RightCut]);
    uint64_t hiddenY = top + cutPixels(area.cuts[BottomCut]);
    if (hiddenX >= areaWidth || hiddenY >= areaHeight) return PictureFailure::Empty;

    out.width = static_cast<int>(areaWidth - hiddenX);
    out.height = static_cast<int>(areaHeight - hiddenY);
    out.rgb.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height) * 3, 0xFF);
    for (int y = 0; y < out.height; ++y) {
        int64_t bitmapY = static_cast<int64_t>(top) + y - area.bitmapY;
        if (bitmapY < 0 || bitmapY >= paint.height) continue;
        uint8_t* row = out.rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(out.width) * 3;
        for (int x = 0; x < out.width; ++x) {
            int64_t bitmapX = static_cast<int64_t>(left) + x - area.bitmapX;
            if (bitmapX < 0 || bitmapX >= paint.width) continue;
            putColour(row + 3 * x, pixelColour(paint, static_cast<uint32_t>(bitmapX), static_cast<uint32_t>(bitmapY)));
        }
    }
    return PictureFailure::None;
}

}  // namespace zentoro
