// Walks the section dictionary and hands each section to its translator.
#pragma once

#include "rtf/conversion_state.h"

namespace zentoro {

// Runs the handler that a section UID selects; other UIDs select none.
void handleSection(ConversionState& s, uint32_t sectionUid);

// Translates every section that the dictionary lists, in its order. The
// header has been checked already.
void translateSections(ConversionState& s);

}  // namespace zentoro
