// Text in RTF: UTF-8 written in the document's code page with \'hh escapes,
// \uN for what the code page lacks, and the control words of the model's
// special characters.
#pragma once

#include <string_view>

#include "write/byte_sink.h"

namespace zentoro {

void writeRtfText(ByteSink& sink, std::string_view utf8, int codePage);

// One character, as in writeRtfText.
void writeRtfCharacter(ByteSink& sink, char32_t c, int codePage);

}  // namespace zentoro
