// libFuzzer target for the readers of picture files (Sketch, multi-bitmap,
// ROM multi-bitmap): the input is the whole file. Whatever the bytes, the
// reader must end quickly; a refused file gives no outputs, anything else
// only whole PNG files that read back at a size of their own, named in
// file order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "convert/file_kinds.h"
#include "tests/support/png_pixels.h"

namespace {

void check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentoro;
    const FileKindEntry* kind = kindOf(data, size);
    if (kind == nullptr || kind->family != KindFamily::Picture || kind->convert == nullptr) return 0;
    KindConversion conversion = kind->convert(data, size, KindOptions{});
    Failure failure = conversion.result.failure;
    check(failure == Failure::None || failure == Failure::DocumentDamaged || failure == Failure::LimitReached ||
          failure == Failure::OutOfMemory);
    if (failure == Failure::LimitReached) check(conversion.files.empty());
    for (const ConvertedFile& file : conversion.files) {
        check(file.suffix == ".png" || (file.suffix.front() == '-' && file.suffix.ends_with(".png")));
        testing::PngPixels png = testing::readPng(file.bytes);
        check(!png.rgb.empty() && png.rgb.size() == size_t{png.width} * png.height * 3);
    }
    return 0;
}
