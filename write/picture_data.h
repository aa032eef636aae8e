// What the writers put where a document shows an embedded object: a label
// for the reader, and the picture as PNG bytes or a data: URI.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"

namespace zentoro {

// "Sketch", "Spreadsheet" or "Object".
std::string_view objectLabel(ObjectKind kind);

// The object's picture as a PNG file; empty when there is no picture.
std::vector<uint8_t> picturePng(const EmbeddedObject& object);

// "data:image/png;base64,..." for the PNG bytes.
std::string pngDataUri(const std::vector<uint8_t>& png);

}  // namespace zentoro
