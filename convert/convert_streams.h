// The conversion on streams that are already open.
#pragma once

#include <cstddef>
#include <cstdio>

namespace zentoro {

// Reads the whole input (`sizeHint` bytes expected), checks its header and
// translates it to `output`. A read error part-way through still has what
// was read translated, and makes the conversion fail. Returns 0 or 1.
int convertStreams(std::FILE* input, std::FILE* output, size_t sizeHint);

}  // namespace zentoro
