// What a conversion of a document through the model would find, without
// writing anything: for a check or a dry run to say "damaged".
#pragma once

#include "reader/failure.h"

namespace zentoro {

// Reads the Word document at `path` as the faithful road reads it, one
// body paragraph at a time. Succeeds for a document read whole; otherwise
// fails as the conversion would, a damaged document with what it holds.
ConversionResult inspectDocument(const char* path);

}  // namespace zentoro
