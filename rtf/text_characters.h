// The character table through which every text byte is written.
#pragma once

#include <string_view>

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

// A name from the document (a style's, a bullet font's, a hot key) as RTF
// text: backslashes and braces escaped, so that no name can open or close a
// group or start a control word. Every other byte is written as it is.
void writeNameText(RtfOutput& out, std::string_view name);

}  // namespace zentoro
