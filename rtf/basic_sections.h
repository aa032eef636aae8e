// Handlers of the sections that write no formatting: the application
// identifier, the ignored section and the text section.
#pragma once

#include "rtf/conversion_state.h"

namespace zentoro {

void readApplicationIdSection(ConversionState& s);
void readIgnoredSection(ConversionState& s);
void readTextSection(ConversionState& s);

}  // namespace zentoro
