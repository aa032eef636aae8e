// Which styles are headings, by their name in the languages of the device's
// ROMs: "Heading 1" to "Heading 6", "Überschrift 1", "Titre 1", "Kop 1" and
// "Koptekst 1", "Titolo 1", "Título 1" ...
#pragma once

#include <string_view>

#include "model/document.h"

namespace zentoro {

// 1 to 6 for a heading style, 0 for any other.
int headingLevel(std::string_view styleName);

// The level of the paragraph's style; 0 when it has none or it is no heading.
int headingLevel(const Document& document, const Paragraph& paragraph);

// The language (a BCP 47 tag such as "de") whose heading names the
// document's styles use; empty when no style tells.
std::string_view headingLanguage(const Document& document);

}  // namespace zentoro
