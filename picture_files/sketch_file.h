// A Sketch file: one drawing, written as NAME.png showing its whole displayed area as the device shows it.
#pragma once

#include <cstddef>

#include "reader/converted_files.h"

namespace zentoro {

// Tells the kind by the file's leading bytes.
bool isSketchFile(const unsigned char* bytes, size_t size);

KindConversion convertSketchFile(const unsigned char* bytes, size_t size, const KindOptions& options);

}  // namespace zentoro
