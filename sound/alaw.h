// G.711 A-law: one byte per sample to 16-bit linear.
#pragma once

#include <cstdint>

namespace zentoro {

// The even bits are inverted in storage (XOR 0x55); then the top bit is the
// sign (set: positive), three bits the segment and four the step inside it.
constexpr int16_t alawSample(unsigned char byte) {
    int x = byte ^ 0x55;
    int segment = (x >> 4) & 7;
    int step = x & 15;
    int magnitude = segment == 0 ? (step << 4) + 8 : ((step << 4) + 0x108) << (segment - 1);
    return static_cast<int16_t>((x & 0x80) ? magnitude : -magnitude);
}

}  // namespace zentoro
