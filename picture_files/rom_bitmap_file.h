// A ROM or clip-art multi-bitmap file: a count and an offset table up front, then one item per bitmap; one PNG each in file order.
#pragma once

#include <cstddef>

#include "reader/converted_files.h"

namespace zentoro {

// Tells the kind by the file's leading bytes.
bool isRomBitmapFile(const unsigned char* bytes, size_t size);

KindConversion convertRomBitmapFile(const unsigned char* bytes, size_t size, const KindOptions& options);

}  // namespace zentoro
