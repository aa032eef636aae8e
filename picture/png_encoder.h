// Writes a picture as a PNG file: 8-bit grey when every pixel is grey (as in
// every sketch of grey levels), 8-bit RGB otherwise; deflated by zlib.
#pragma once

#include <cstdint>
#include <vector>

#include "model/document.h"

namespace zentoro {

// The PNG file's bytes; empty for an empty picture, or when zlib fails.
std::vector<uint8_t> encodePng(const Picture& picture);

// The same picture as small as zlib's best level makes it: grey of 1, 2 or
// 4 bits when every level is one of theirs, a palette when the picture has
// at most 256 colours, RGB otherwise.
std::vector<uint8_t> encodeSmallestPng(const Picture& picture);

}  // namespace zentoro
