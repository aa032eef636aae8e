// Decodes an object embedded in a Word document, starting from its Embedded
// Object Section: tells a sketch from a spreadsheet or anything else and,
// for a sketch, draws its pixels.
#pragma once

#include <cstdint>
#include <span>

#include "model/document.h"
#include "picture/picture_failure.h"
#include "picture/picture_limits.h"

namespace zentoro {

// Application UIDs that say what an embedded object is.
inline constexpr uint32_t SketchApplicationUid = 0x1000007D;
inline constexpr uint32_t SpreadsheetApplicationUid = 0x10000088;

struct DecodedObject {
    ObjectKind kind = ObjectKind::Other;
    Picture picture;  // empty unless the object is a sketch that could be drawn
    PictureFailure failure = PictureFailure::None;
    bool shownAsIcon = false;  // the document shows the application's icon, not the object
    uint64_t dataStart = 0;    // where the object's own data (its store) starts in the file
};

// `file` is the whole document; `sectionPosition` is where the object
// phrase says its Embedded Object Section lies. Never reads outside `file`;
// a damaged object yields its kind (Other when even that is unreadable), an
// empty picture and the reason. Bitmap and picture may each hold at most
// `maxPixels` pixels (TooLarge beyond).
DecodedObject decodeEmbeddedObject(std::span<const uint8_t> file, uint32_t sectionPosition,
                                   uint64_t maxPixels = MaxPicturePixels);

}  // namespace zentoro
