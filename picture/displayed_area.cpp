#include "picture/displayed_area.h"

#include <array>

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

    // Up to 8 bits a pixel, each value's colour is worked out once.
    std::array<Colour, 256> palette{};
    bool indexed = paint.bitsPerPixel <= 8;
    if (indexed) {
        for (uint32_t value = 0; value < (1u << paint.bitsPerPixel); ++value) palette[value] = valueColour(paint, value);
    }
    auto colourAt = [&](uint32_t x, uint32_t y) {
        uint32_t value = pixelValue(paint, x, y);
        return indexed ? palette[value] : valueColour(paint, value);
    };

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
            putColour(row + 3 * x, colourAt(static_cast<uint32_t>(bitmapX), static_cast<uint32_t>(bitmapY)));
        }
    }
    return PictureFailure::None;
}

PictureFailure renderLoaded(const DisplayedArea& area, const PaintData& paint, PictureFailure loaded, uint64_t maxPixels,
                            Picture& out) {
    if (paint.rows.empty()) return loaded;
    PictureFailure drawn = renderDisplayedArea(area, paint, maxPixels, out);
    return drawn != PictureFailure::None ? drawn : loaded;
}

}  // namespace zentoro
