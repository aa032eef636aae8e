// The three UIDs at the start of a Word document.
#pragma once

#include <cstddef>

#include "reader/input_stream.h"

namespace zentoro {

// Number of header bytes the check reads.
inline constexpr size_t WordHeaderCheckSize = 12;

// Reads the three UIDs from the stream's position and tests each as soon as
// it is read; at the first mismatch writes its message to standard output
// and returns false.
bool checkHeaderUids(InputStream& in);

// The same test, without a word: the message of the first UID that does not
// match, or null when all three do.
const char* headerMismatchMessage(InputStream& in);

// The same test without a word on standard output: true when the three UIDs
// read from the stream's position are those of a Word document.
bool hasWordHeaderUids(InputStream& in);

}  // namespace zentoro
