#include "picture/palettes.h"

#include <array>

namespace zentoro {

namespace {

constexpr std::array<Colour, 16> Palette16 = {{
    {0x00, 0x00, 0x00}, {0x55, 0x55, 0x55}, {0x80, 0x00, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x80, 0x00}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0xFF, 0x00, 0xFF}, {0x00, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0x80, 0x00, 0x80},
    {0x00, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xAA, 0xAA, 0xAA}, {0xFF, 0xFF, 0xFF},
}};

// Indices 108 to 147 hold eight ramps of five levels each; the rest of the
// 256 colours are the 6 x 6 x 6 cube in steps of 0x33.
constexpr uint32_t FirstRamp = 108;
constexpr uint32_t RampColours = 40;

Colour cubeColour(uint32_t j) {
    auto level = [](uint32_t step) { return static_cast<uint8_t>(step * 0x33); };
    return {level(j % 6), level(j / 6 % 6), level(j / 36)};
}

Colour rampColour(uint32_t k) {
    static constexpr uint8_t DarkLevels[5] = {0x11, 0x22, 0x44, 0x55, 0x77};
    static constexpr uint8_t LightLevels[5] = {0x88, 0xAA, 0xBB, 0xDD, 0xEE};
    enum Ramp { Grey, Red, Green, Blue };
    static constexpr Ramp Order[8] = {Grey, Red, Green, Blue, Blue, Green, Red, Grey};
    uint8_t v = k < 20 ? DarkLevels[k % 5] : LightLevels[k % 5];
    switch (Order[k / 5]) {
        case Grey: return {v, v, v};
        case Red: return {v, 0, 0};
        case Green: return {0, v, 0};
        case Blue: return {0, 0, v};
    }
    return Black;
}

}  // namespace

Colour paletteColour16(uint32_t index) { return Palette16[index & 15]; }

Colour paletteColour256(uint32_t index) {
    index &= 255;
    if (index < FirstRamp) return cubeColour(index);
    if (index < FirstRamp + RampColours) return rampColour(index - FirstRamp);
    return cubeColour(index - RampColours);
}

}  // namespace zentoro
