// Writes the document as one self-contained HTML5 page.
#pragma once

#include <cstdio>

#include "model/document.h"
#include "write/byte_sink.h"
#include "write/write_options.h"

namespace zentoro {

// UTF-8 HTML5 with a style sheet of one class per document style; each
// paragraph a <p>, an <h1>-<h6> when its style is a heading style, or an
// <li> of a <ul> when it has a bullet; character formatting as <strong>,
// <em>, <u>, <s>, <sup>, <sub> and spans for the font, size and colour that
// differ from the paragraph's style; tabs kept; the header and footer as
// <header> and <footer>; pictures as <img> with their PNG in a data: URI.
// False when the output could not be written.
bool writeHtml(const Document& document, const WriteOptions& options, ByteSink& sink);
bool writeHtml(const Document& document, const WriteOptions& options, std::FILE* output);

}  // namespace zentoro
