// The character table through which every text byte is written.
#pragma once

#include "rtf/conversion_state.h"

namespace zentoro {

// The body writes paragraph, line and page breaks without a trailing space;
// header and footer text writes line and page breaks with one, and
// paragraph ends too when they fall inside a phrase.
enum class CharacterTable { Body, HeaderPhrase, HeaderSharedFormat };

void writeTextChar(ConversionState& s, int ch, CharacterTable table = CharacterTable::Body);

// Writes `count` text bytes from `position` through the table; stops early
// at the end of the input.
void writeTextRun(ConversionState& s, int32_t position, uint32_t count, CharacterTable table);

}  // namespace zentoro
