// The text layout section: the document's paragraphs, and the closing brace
// of the RTF document.
#pragma once

#include "reader/conversion_state.h"

namespace zentoro {

void writeTextLayout(ConversionState& s);

// The body of a document that has text but no text layout section.
void writeUnformattedBody(ConversionState& s);

}  // namespace zentoro
