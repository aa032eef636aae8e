// How much a picture file may ask for before it is refused. Real files hold
// 1 to 200 bitmaps of at most 957 x 27 or 640 x 240 pixels.
#pragma once

#include <cstdint>

#include "picture/picture_limits.h"

namespace zentoro {

// Twenty times the most bitmaps any real file holds.
inline constexpr uint32_t MaxBitmapsPerFile = 4096;

// The pixels of all the bitmaps of one file together: eight bitmaps at the
// limit of one (picture/picture_limits.h), 96 MiB as RGB drawn one at a time.
// An offset table may name one large bitmap many times; this bounds the work.
inline constexpr uint64_t MaxFilePicturePixels = 8 * MaxPicturePixels;

}  // namespace zentoro
