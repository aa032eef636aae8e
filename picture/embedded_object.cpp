#include "picture/embedded_object.h"

#include <optional>

#include "picture/object_bytes.h"
#include "picture/sketch_section.h"

namespace zentoro {

namespace {

// Ids in the Embedded Object Section.
constexpr uint32_t ObjectDataId = 0x10000144;
constexpr uint32_t DisplaySectionId = 0x10000146;
constexpr uint8_t ShownAsIcon = 0;

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
    std::optional<uint32_t> start = findListedSection(in, sectionPosition, ObjectDataId);
    if (in.overrun) return failedSections(PictureFailure::OutsideDocument);
    if (!start) return failedSections(PictureFailure::MissingSection);
    sections.start = *start;
    // The display section's first byte says whether the object or its icon
    // is shown; without it, the object is.
    std::optional<uint32_t> display = findListedSection(in, sectionPosition, DisplaySectionId);
    if (display && *display < in.bytes.size()) sections.shownAsIcon = in.bytes[*display] == ShownAsIcon;
    moveTo(in, sections.start);
    uint64_t table = sections.start + readU32(in);
    sections.sketch = findListedSection(in, table, SketchSectionId);
    sections.applicationId = findListedSection(in, table, ApplicationIdSectionId);
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

DecodedObject failed(ObjectKind kind, PictureFailure failure) {
    DecodedObject object;
    object.kind = kind;
    object.failure = failure;
    return object;
}

DecodedObject decodeSketch(ObjectBytes& in, ObjectKind kind, const ObjectSections& sections, uint64_t maxPixels) {
    if (kind != ObjectKind::Sketch) return failed(kind, PictureFailure::NotASketch);
    if (!sections.sketch) return failed(kind, PictureFailure::MissingSection);
    DecodedObject object;
    object.kind = kind;
    object.failure = drawSketchSection(in, sections.start + *sections.sketch, maxPixels, object.picture);
    // A damaged sketch stands in the document as a placeholder that says why.
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
