// Gives an embedded object its kind and, for a sketch, its picture, decoded
// from the document's bytes as its object phrase is read.
#pragma once

#include <cstdint>
#include <span>

#include "model/document.h"

namespace zentoro {

// Decodes `object` (its sectionPosition read) from `bytes`, the whole file.
// The pictures of one document share `pixelsLeft`, which starts at
// MaxDocumentPicturePixels and shrinks by each picture drawn; a sketch that
// cannot be drawn keeps an empty picture and says why in `problem`.
void drawObject(std::span<const unsigned char> bytes, EmbeddedObject& object, uint64_t& pixelsLeft);

}  // namespace zentoro
