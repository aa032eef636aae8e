// The style section: the RTF header, font table, style sheet, colour table
// and document defaults.
#pragma once

#include "reader/conversion_state.h"

namespace zentoro {

void writeStyleSheet(ConversionState& s);

}  // namespace zentoro
