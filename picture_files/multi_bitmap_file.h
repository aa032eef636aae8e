// A multi-bitmap file (and its exported variant): bitmaps found through the trailer's offset table, one PNG each in file order (NAME-1.png ...; NAME.png for one).
#pragma once

#include <cstddef>

#include "reader/converted_files.h"

namespace zentoro {

// Tells the kind by the file's leading bytes.
bool isMultiBitmapFile(const unsigned char* bytes, size_t size);

KindConversion convertMultiBitmapFile(const unsigned char* bytes, size_t size, const KindOptions& options);

}  // namespace zentoro
