#include "picture/embedded_object.h"

#include <optional>

#include "picture/displayed_area.h"
#include "picture/object_bytes.h"
#include "picture/paint_data.h"

namespace zentoro {

namespace {

// Ids in the Embedded Object Section and in the object's own section table.
constexpr uint32_t ObjectDataId = 0x10000144;
constexpr uint32_t DisplaySectionId = 0x10000146;
constexpr uint8_t ShownAsIcon = 0;
constexpr uint32_t SketchSectionId = 0x1000007D;
constexpr uint32_t ApplicationIdSectionId = 0x10000089;

constexpr uint32_t SectionEntryBytes = 8;
// The Sketch Section's fields before its Paint Data Section.
constexpr uint32_t SketchFieldsBytes = 0x12;

// A list of (id, position) pairs after a list count, as the Embedded Object
// Section and every section table hold them: the position of `id`, if listed.
std::optional<uint32_t> findSection(ObjectBytes& in, uint64_t listStart, uint32_t id) {
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

ObjectKind kindOf(uint32_t applicationUid) {
    switch (applicationUid) {
        case SketchApplicationUid: return ObjectKind::Sketch;
        case SpreadsheetApplicationUid: return ObjectKind::Spreadsheet;
        default: return ObjectKind::Other;
    }
}

// The object data's start and, from it, the object-relative positions of
// its sections.
struct ObjectSections {
    PictureFailure failure = PictureFailure::None;
    bool shownAsIcon = false;
    uint64_t start = 0;
    std::optional<uint32_t> sketch;
    std::optional<uint32_t> applicationId;
};

ObjectSections failedSections(PictureFailure failure) {
    ObjectSections sections;
    sections.failure = failure;
    return sections;
}

ObjectSections loadObjectSections(ObjectBytes& in, uint32_t sectionPosition) {
    ObjectSections sections;
    std::optional<uint32_t> start = findSection(in, sectionPosition, ObjectDataId);
    if (in.overrun) return failedSections(PictureFailure::OutsideDocument);
    if (!start) return failedSections(PictureFailure::MissingSection);
    sections.start = *start;
    // The display section's first byte says whether the object or its icon
    // is shown; without it, the object is.
    std::optional<uint32_t> display = findSection(in, sectionPosition, DisplaySectionId);
    if (display && *display < in.bytes.size()) sections.shownAsIcon = in.bytes[*display] == ShownAsIcon;
    moveTo(in, sections.start);
    uint64_t table = sections.start + readU32(in);
    sections.sketch = findSection(in, table, SketchSectionId);
    sections.applicationId = findSection(in, table, ApplicationIdSectionId);
    if (in.overrun) return failedSections(PictureFailure::OutsideDocument);
    if (!sections.applicationId) return failedSections(PictureFailure::MissingSection);
    return sections;
}

std::optional<uint32_t> loadApplicationUid(ObjectBytes& in, uint64_t position) {
    moveTo(in, position);
    uint32_t uid = readU32(in);
    if (in.overrun) return std::nullopt;
    return uid;
}

// The Sketch Section: the displayed area, the Paint Data Section, then
// magnification (the document's display size already carries it) and cuts.
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
    moveTo(in, paintStart + paintLength);
    skip(in, 4);  // magnification, x and y
    for (int32_t& cut : area.cuts) cut = static_cast<int32_t>(readU32(in));
    if (in.overrun) return PictureFailure::OutsideDocument;
    return loadPaintData(in, paintStart, maxPixels, paint);
}

DecodedObject failed(ObjectKind kind, PictureFailure failure) {
    DecodedObject object;
    object.kind = kind;
    object.failure = failure;
    return object;
}

DecodedObject decodeSketch(ObjectBytes& in, ObjectKind kind, const ObjectSections& sections, uint64_t maxPixels) {
    if (kind != ObjectKind::Sketch) return failed(kind, PictureFailure::NotASketch);
    if (!sections.sketch) return failed(kind, PictureFailure::MissingSection);
    DisplayedArea area;
    PaintData paint;
    PictureFailure failure = loadSketchSection(in, sections.start + *sections.sketch, maxPixels, area, paint);
    if (failure != PictureFailure::None) return failed(kind, failure);
    DecodedObject object;
    object.kind = kind;
    object.failure = renderDisplayedArea(area, paint, maxPixels, object.picture);
    if (object.failure != PictureFailure::None) object.picture = {};
    return object;
}

}  // namespace

DecodedObject decodeEmbeddedObject(std::span<const uint8_t> file, uint32_t sectionPosition, uint64_t maxPixels) {
    ObjectBytes in{file};
    ObjectSections sections = loadObjectSections(in, sectionPosition);
    if (sections.failure != PictureFailure::None) return failed(ObjectKind::Other, sections.failure);
    std::optional<uint32_t> uid = loadApplicationUid(in, sections.start + *sections.applicationId);
    if (!uid) return failed(ObjectKind::Other, PictureFailure::OutsideDocument);
    DecodedObject object = decodeSketch(in, kindOf(*uid), sections, maxPixels);
    object.shownAsIcon = sections.shownAsIcon;
    object.dataStart = sections.start;
    return object;
}

}  // namespace zentoro
