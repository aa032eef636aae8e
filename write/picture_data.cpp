#include "write/picture_data.h"

#include "picture/png_encoder.h"

namespace zentoro {

std::string_view objectLabel(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::Sketch: return "Sketch";
        case ObjectKind::Spreadsheet: return "Spreadsheet";
        case ObjectKind::Other: break;
    }
    return "Object";
}

std::vector<uint8_t> picturePng(const EmbeddedObject& object) {
    if (object.picture.width <= 0 || object.picture.height <= 0) return {};
    return encodePng(object.picture);
}

std::string pngDataUri(const std::vector<uint8_t>& png) {
    static constexpr char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string uri = "data:image/png;base64,";
    uri.reserve(uri.size() + (png.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= png.size(); i += 3) {
        uint32_t group = (uint32_t{png[i]} << 16) | (uint32_t{png[i + 1]} << 8) | png[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) uri += Digits[(group >> shift) & 0x3F];
    }
    size_t left = png.size() - i;
    if (left > 0) {
        uint32_t group = uint32_t{png[i]} << 16;
        if (left == 2) group |= uint32_t{png[i + 1]} << 8;
        uri += Digits[(group >> 18) & 0x3F];
        uri += Digits[(group >> 12) & 0x3F];
        uri += left == 2 ? Digits[(group >> 6) & 0x3F] : '=';
        uri += '=';
    }
    return uri;
}

std::string pictureId(int objectIndex) { return "object" + std::to_string(objectIndex + 1); }

std::string pngFileName(std::string_view prefix, int objectIndex) {
    std::string name{prefix};
    return name.append("-").append(pictureId(objectIndex)).append(".png");
}

}  // namespace zentoro
