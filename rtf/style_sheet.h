// The style section: the RTF header, font table, style sheet, colour table
// and document defaults.
#pragma once

#include "rtf/conversion_state.h"

namespace zentoro {

void writeStyleSheet(ConversionState& s);

// Reads a style name (a length byte a, then (a - 2) / 4 characters) into
// `buffer`, zero-terminated. Names have at most 63 characters.
void readStyleName(ConversionState& s, std::array<char, StyleNameCapacity>& buffer);

}  // namespace zentoro
