// Writes the document as one self-contained HTML5 page.
#pragma once

#include <cstdio>

#include "model/document.h"
#include "write/byte_sink.h"
#include "write/write_options.h"

namespace zentoro {

// UTF-8 HTML5 in the language the style names tell (lang="und" where
// none does), titled by the first heading or the first paragraph's words,
// with a style sheet of one class per document style; each paragraph a <p>,
// an <h1>-<h6> when its style is a heading style, or an <li> of a <ul>
// marked with the document's own bullet when it has one; character
// formatting as <strong>, <em>, <u>, <s>, <sup>, <sub> and one span for
// each stretch of runs whose font, size and colour differ alike from the
// paragraph's style; tabs kept; the header and footer as <header> and
// <footer> where they show anything; pictures as <img> with their PNG in a
// data: URI and an id that names them as their PNG files are named.
// False when the output could not be written.
bool writeHtml(const Document& document, const WriteOptions& options, ByteSink& sink);
bool writeHtml(const Document& document, const WriteOptions& options, std::FILE* output);

}  // namespace zentoro
