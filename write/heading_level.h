// Which styles are headings, by their name: "Heading 1" to "Heading 6", and
// the names that the device's Dutch ROM gives them ("Koptekst 1" ...).
#pragma once

#include <string_view>

#include "model/document.h"

namespace zentoro {

// 1 to 6 for a heading style, 0 for any other.
int headingLevel(std::string_view styleName);

// The level of the paragraph's style; 0 when it has none or it is no heading.
int headingLevel(const Document& document, const Paragraph& paragraph);

}  // namespace zentoro
