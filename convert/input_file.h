// Opening a document for reading, safely: a FIFO or device put where a
// document was expected never blocks the run, and a symbolic link swapped in
// for a file is not followed unless links are wanted.
#pragma once

#include <cstddef>
#include <cstdio>

#include "reader/failure.h"

namespace zentoro {

// Opens `path` for reading without blocking and accepts it only when it is
// a regular file; `size` receives its size. Fails as InputUnopenable (with
// the system's reason) or InputNotRegularFile.
ConversionResult openInputFile(const char* path, bool followLinks, std::FILE*& file, size_t& size);

}  // namespace zentoro
