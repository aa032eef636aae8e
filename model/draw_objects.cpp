#include "model/draw_objects.h"

#include <algorithm>

#include "picture/embedded_object.h"
#include "picture/picture_limits.h"

namespace zentoro {

void drawObject(std::span<const unsigned char> bytes, EmbeddedObject& object, uint64_t& pixelsLeft) {
    DecodedObject decoded = decodeEmbeddedObject(bytes, object.sectionPosition, std::min(pixelsLeft, MaxPicturePixels));
    object.kind = decoded.kind;
    object.picture = std::move(decoded.picture);
    object.shownAsIcon = decoded.shownAsIcon;
    if (decoded.kind != ObjectKind::Sketch) return;
    bool budgetSpent = decoded.failure == PictureFailure::TooLarge && pixelsLeft < MaxPicturePixels;
    object.problem = budgetSpent ? "the document's pictures together are too large" : describePictureFailure(decoded.failure);
    pixelsLeft -= static_cast<uint64_t>(object.picture.width) * static_cast<uint64_t>(object.picture.height);
}

}  // namespace zentoro
