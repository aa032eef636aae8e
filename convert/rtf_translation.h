// The default RTF translation of a document whose header has passed the
// check: the sections translated one by one, straight to the output.
#pragma once

#include <cstdio>

#include "convert/document_bytes.h"
#include "reader/failure.h"

namespace zentoro {

// Translates the whole document to `output` as it reads it. What could be
// translated stays in the output whatever the result. A file that shrinks
// under its mapping ends the translation where the fault fell, as a read
// error.
ConversionResult translateToRtf(const DocumentBytes& document, std::FILE* output, std::FILE* diagnostics);

}  // namespace zentoro
