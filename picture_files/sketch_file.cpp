#include "picture_files/sketch_file.h"

#include <span>

#include "picture/picture_limits.h"
#include "picture/png_encoder.h"
#include "picture/sketch_section.h"
#include "picture_files/bitmap_pngs.h"
#include "reader/store_file.h"
#include "reader/uid_header.h"

namespace zentoro {

namespace {

constexpr uint32_t EpocFileUid = 0x10000037;
constexpr uint32_t DocumentUid = 0x1000006D;
constexpr uint32_t SectionTableAt = 0x10;

}  // namespace

bool isSketchFile(const unsigned char* bytes, size_t size) {
    return hasUids(bytes, size, EpocFileUid, DocumentUid, SketchSectionId);
}

// The Sketch Section, found through the section table (or as the first
// section, when the table is lost), drawn as the device shows it:
// its whole displayed area.
KindConversion convertSketchFile(const unsigned char* bytes, size_t size, const KindOptions&) {
    ObjectBytes in{std::span<const uint8_t>(bytes, size)};
    moveTo(in, SectionTableAt);
    std::optional<uint32_t> section = findListedSection(in, readU32(in), SketchSectionId);
    in.overrun = false;
    Picture picture;
    PictureFailure failure = drawSketchSection(in, section.value_or(FirstSectionAt), MaxPicturePixels, picture);
    if (!section && (failure == PictureFailure::NotASketch || failure == PictureFailure::MissingSection)) {
        return refusedPictureFile(Failure::DocumentDamaged, "its section table lists no sketch");
    }
    if (failure == PictureFailure::TooLarge) return refusedPictureFile(Failure::LimitReached, describePictureFailure(failure));
    if (picture.width == 0) return refusedPictureFile(Failure::DocumentDamaged, describePictureFailure(failure));
    std::vector<uint8_t> png = encodeSmallestPng(picture);
    if (png.empty()) return refusedPictureFile(Failure::OutOfMemory, "the picture cannot be compressed");
    KindConversion conversion;
    conversion.files.push_back({".png", std::string(png.begin(), png.end())});
    // What is left of a damaged sketch is kept, and the damage named.
    std::string damage = section ? "" : "its section table is lost";
    if (failure != PictureFailure::None) damage += std::string(damage.empty() ? "" : "; ") + describePictureFailure(failure);
    if (!damage.empty()) {
        conversion.result.failure = Failure::DocumentDamaged;
        conversion.detail = std::move(damage);
        conversion.summary = "1 picture";
    }
    warnOfChecksum(bytes, size, conversion);
    return conversion;
}

}  // namespace zentoro
