// The text layout section: the document's paragraphs, and the closing brace
// of the RTF document.
#pragma once

#include "rtf/conversion_state.h"

namespace zentoro {

void writeTextLayout(ConversionState& s);

// Reads the paragraph count at the input position, then walks `count`
// paragraph elements: 0 is the counting pass (walks them all, writes
// nothing), any other count the output pass.
void writeParagraphs(ConversionState& s, uint32_t count);

// Format reference 0 passes over the whole shared format list, indexing it;
// k writes the layers and style of shared format k.
void writeSharedFormat(ConversionState& s, int ref);

// Writes one own-format paragraph from the next `count` phrases.
void writePhrases(ConversionState& s, uint32_t count);

// The body of a document that has text but no text layout section.
void writeUnformattedBody(ConversionState& s);

}  // namespace zentoro
