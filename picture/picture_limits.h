// How large a picture the decoder accepts.
#pragma once

#include <cstdint>

namespace zentoro {

// The most pixels of a sketch's bitmap and of its displayed area: 2048 x 2048.
// The device's screen is 640 x 240 pixels and a sketch's page is drawn on it,
// a few screens at most; this is 27 whole screens. A picture at the limit
// takes 12 MiB as RGB, so a hostile object that claims 65535 x 65535 pixels
// (or 2^32 x 2^32 in the bitmap's own fields) is refused instead of making the
// decoder allocate gigabytes.
inline constexpr uint64_t MaxPicturePixels = 2048ull * 2048ull;

// The most pixels of all the pictures of one document together: four
// pictures at the limit, 48 MiB as RGB. Many object phrases may name one
// large sketch; each is drawn, and this keeps their sum bounded.
inline constexpr uint64_t MaxDocumentPicturePixels = 4 * MaxPicturePixels;

}  // namespace zentoro
