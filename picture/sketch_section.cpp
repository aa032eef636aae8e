#include "picture/sketch_section.h"

#include "picture/displayed_area.h"
#include "picture/paint_data.h"

namespace zentoro {

namespace {

constexpr uint32_t SectionEntryBytes = 8;
// The Sketch Section's fields before its Paint Data Section.
constexpr uint32_t SketchFieldsBytes = 0x12;

// The displayed area, the Paint Data Section, then magnification (the
// document's display size already carries it) and cuts. A section cut
// short loses its cuts first: the bitmap is then shown whole, as far as its
// data go, and the section reported damaged.
PictureFailure loadSketchSection(ObjectBytes& in, uint64_t position, uint64_t maxPixels, DisplayedArea& area,
                                 PaintData& paint) {
    moveTo(in, position);
    area.width = readU16(in);
    area.height = readU16(in);
    area.bitmapX = readU16(in);
    area.bitmapY = readU16(in);
    skip(in, 10);  // the form the area lies on, and a word of unknown use
    uint64_t paintStart = position + SketchFieldsBytes;
    moveTo(in, paintStart);
    uint32_t paintLength = readU32(in);
    if (in.overrun) return PictureFailure::OutsideDocument;
    moveTo(in, paintStart + paintLength);
    skip(in, 4);  // magnification, x and y
    for (int32_t& cut : area.cuts) cut = static_cast<int32_t>(readU32(in));
    bool cutsLost = in.overrun;
    if (cutsLost) {
        for (int32_t& cut : area.cuts) cut = 0;
        in.overrun = false;
    }
    PictureFailure failure = loadPaintData(in, paintStart, maxPixels, paint);
    if (failure == PictureFailure::None && cutsLost) return PictureFailure::OutsideDocument;
    return failure;
}

}  // namespace

std::optional<uint32_t> findListedSection(ObjectBytes& in, uint64_t listStart, uint32_t id) {
    moveTo(in, listStart);
    uint32_t count = readListCount(in);
    if (!ensure(in, uint64_t{count} * SectionEntryBytes)) return std::nullopt;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t entryId = readU32(in);
        uint32_t position = readU32(in);
        if (entryId == id) return position;
    }
    return std::nullopt;
}

PictureFailure drawSketchSection(ObjectBytes& in, uint64_t position, uint64_t maxPixels, Picture& out) {
    DisplayedArea area;
    PaintData paint;
    PictureFailure loaded = loadSketchSection(in, position, maxPixels, area, paint);
    return renderLoaded(area, paint, loaded, maxPixels, out);
}

}  // namespace zentoro
