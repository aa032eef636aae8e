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

// Pictures are named by their object's place among the document's objects
// (counting from 1, every kind of object counted): "object2" for the
// second, in an HTML page's id, and "letter.wrd-object2.png" for its PNG
// file beside a Markdown output or among the extracted pictures.
std::string pictureId(int objectIndex);
std::string pngFileName(std::string_view prefix, int objectIndex);

// "data:image/png;base64,..." for the PNG bytes.
std::string pngDataUri(const std::vector<uint8_t>& png);

}  // namespace zentoro
