// libFuzzer target for the sketch decoder: the first four bytes of the input
// (little-endian) are where the Embedded Object Section lies in the rest,
// which stands for the document. Whatever the bytes, decoding must end
// quickly with a picture of the size it claims, or an empty one and a
// reason; a small picture is also written as PNG and as an RTF picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture/embedded_object.h"
#include "picture/png_encoder.h"
#include "write/rtf_picture.h"

namespace {

// Pictures up to this size are encoded too; larger ones would spend the
// fuzzer's time in zlib rather than in the decoder.
constexpr int64_t MaxEncodedPixels = 256 * 256;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    uint32_t position = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
    std::span<const uint8_t> file(data + 4, size - 4);
    zentoro::DecodedObject object = zentoro::decodeEmbeddedObject(file, position);
    const zentoro::Picture& picture = object.picture;
    bool drawn = object.failure == zentoro::PictureFailure::None;
    if (drawn != !picture.rgb.empty()) std::abort();
    if (picture.rgb.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3) std::abort();
    if (drawn && int64_t{picture.width} * picture.height <= MaxEncodedPixels) {
        if (zentoro::encodePng(picture).empty()) std::abort();
        if (zentoro::rtfPictureGroup(picture, 0, 0).empty()) std::abort();
    }
    return 0;
}
