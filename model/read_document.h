// Reads a Word document into the document model, following the file format
// itself: every attribute with its real size, styles and header and footer
// blocks as the device stores them.
#pragma once

#include <functional>
#include <span>

#include "model/document.h"
#include "reader/conversion_limits.h"
#include "reader/failure.h"

namespace zentoro {

// Fills `document` from the bytes of a whole Word document. Fails with
// NotWordDocument when the header is not that of a Word document, and with
// LimitReached when it would take reading without end. A damaged document
// (cut short, its section table lost or wrong, sections running past the
// end or holding what cannot be read) is read as far as it goes: sections
// the table cannot place are found by their structure, paragraphs are kept
// up to the damage and the rest of the text follows as plain paragraphs,
// and the result is DocumentDamaged with what was recovered. Never throws;
// what was read until a failure stays in `document`. The read limit is that
// of `limits` for the input's size.
ConversionResult readDocument(std::span<const unsigned char> bytes, Document& document,
                              const ConversionLimits& limits = {});

// Receives the body's paragraphs one at a time, in order.
using BodyParagraphSink = std::function<void(Paragraph&)>;

// Reads the document as readDocument does, except that each body paragraph
// goes to `bodyParagraph` as soon as it is read instead of into
// document.body, which stays empty: a writer can then write a long document
// without holding all of it. Everything else (styles, fonts, page set-up,
// header, footer, objects) is in `document` before the first paragraph
// arrives. The paragraph handed over is only valid during the call; the
// sink may take its runs and leave others in their place, whose storage the
// reader then reuses.
ConversionResult readDocumentStreaming(std::span<const unsigned char> bytes, Document& document,
                                       const BodyParagraphSink& bodyParagraph, const ConversionLimits& limits = {});

}  // namespace zentoro
