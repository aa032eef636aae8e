#include "write/rtf_picture.h"

#include <cmath>
#include <vector>

#include "picture/png_encoder.h"

namespace zentoro {

namespace {

constexpr size_t BytesPerLine = 64;

int32_t deviceTwips(int pixels) { return static_cast<int32_t>(std::lround(pixels * DeviceTwipsPerPixel)); }

}  // namespace

std::string rtfPictureGroup(const Picture& picture, int32_t goalWidth, int32_t goalHeight) {
    std::vector<uint8_t> png = encodePng(picture);
    if (png.empty()) return {};
    if (goalWidth <= 0) goalWidth = deviceTwips(picture.width);
    if (goalHeight <= 0) goalHeight = deviceTwips(picture.height);
    std::string out = "{\\pict\\pngblip\\picw" + std::to_string(picture.width) + "\\pich" +
                      std::to_string(picture.height) + "\\picwgoal" + std::to_string(goalWidth) + "\\pichgoal" +
                      std::to_string(goalHeight) + "\n";
    static constexpr char Hex[] = "0123456789abcdef";
    out.reserve(out.size() + png.size() * 2 + png.size() / BytesPerLine + 2);
    for (size_t i = 0; i < png.size(); ++i) {
        out += Hex[png[i] >> 4];
        out += Hex[png[i] & 15];
        if ((i + 1) % BytesPerLine == 0) out += '\n';
    }
    out += "}";
    return out;
}

}  // namespace zentoro
