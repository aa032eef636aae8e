// Gives each embedded object of a document its kind and, for a sketch, its
// picture, decoded from the document's bytes.
#pragma once

#include <span>

#include "model/document.h"

namespace zentoro {

// Decodes every object in document.objects from `bytes`, the whole file.
// All pictures together stay within MaxDocumentPicturePixels; a sketch
// that cannot be drawn keeps an empty picture and says why in `problem`.
void drawObjects(std::span<const unsigned char> bytes, Document& document);

}  // namespace zentoro
