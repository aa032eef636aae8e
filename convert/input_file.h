// Opening a document for reading, safely: a FIFO or device put where a
// document was expected never blocks the run, and a symbolic link swapped in
// for a file is not followed unless links are wanted.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdio>

#include "reader/failure.h"

namespace zentoro {

// Opens `path` for reading without blocking and accepts it only when it is
// a regular file; `size` receives its size. Fails as InputUnopenable (with
// the system's reason) or InputNotRegularFile.
ConversionResult openInputFile(const char* path, bool followLinks, std::FILE*& file, size_t& size);

// The reason a read just failed: errno, or EIO where the library set none.
inline int readErrno() { return errno != 0 ? errno : EIO; }

}  // namespace zentoro
