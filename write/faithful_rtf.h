// Writes the document model as RTF that shows the document as its author
// saw it: every paragraph with its whole effective formatting, the
// document's fonts and colours, bullets as list labels, real fields.
#pragma once

#include "model/document.h"
#include "write/byte_sink.h"

namespace zentoro {

// Writes `document` to `sink`; false when the sink failed.
bool writeFaithfulRtf(const Document& document, ByteSink& sink);

}  // namespace zentoro
