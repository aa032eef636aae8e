// An RTF picture group for a decoded sketch: its PNG in hexadecimal, with
// the size in pixels and the size the document shows it at.
#pragma once

#include <cstdint>
#include <string>

#include "model/document.h"

namespace zentoro {

// The size in twips that the device gives one pixel of a sketch at 100 %.
inline constexpr double DeviceTwipsPerPixel = 11.9055;

// "{\pict\pngblip\picwW\pichH\picwgoalGW\pichgoalGH" and the PNG's bytes in
// hexadecimal, 64 to a line, then "}". A goal size of 0 or less stands for
// the picture's own size on the device. Empty when the picture is empty.
std::string rtfPictureGroup(const Picture& picture, int32_t goalWidth, int32_t goalHeight);

}  // namespace zentoro
