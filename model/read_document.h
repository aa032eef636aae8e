// Reads a Word document into the document model, following the file format
// itself: every attribute with its real size, styles and header and footer
// blocks as the device stores them.
#pragma once

#include <span>

#include "model/document.h"
#include "reader/failure.h"

namespace zentoro {

// Fills `document` from the bytes of a whole Word document. Fails with
// NotWordDocument when the header is not that of a Word document, with
// DocumentDamaged when the document ends early or points outside itself,
// and with LimitReached when it would take reading without end. Never
// throws; what was read until a failure stays in `document`.
ConversionResult readDocument(std::span<const unsigned char> bytes, Document& document);

}  // namespace zentoro
