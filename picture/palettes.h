// The device's fixed colour palettes: 16 colours for 4-bit pixels, 256 for
// 8-bit pixels.
#pragma once

#include <cstdint>

#include "model/document.h"

namespace zentoro {

Colour paletteColour16(uint32_t index);   // index 0 to 15
Colour paletteColour256(uint32_t index);  // index 0 to 255

}  // namespace zentoro
