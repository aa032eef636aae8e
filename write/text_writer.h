// Writes the document as plain UTF-8 text: what grep and a phone can read.
#pragma once

#include <cstdio>

#include "model/document.h"
#include "write/byte_sink.h"
#include "write/write_options.h"

namespace zentoro {

// One line per paragraph; tabs, hard spaces (U+00A0) and hard hyphens
// (U+2011) kept, soft hyphens dropped, line breaks as line feeds, page
// breaks as form feeds, objects as "[Sketch]" and the like. The header's
// lines come first and the footer's last, only with withHeaderFooter.
// False when the output could not be written.
bool writeText(const Document& document, const WriteOptions& options, ByteSink& sink);
bool writeText(const Document& document, const WriteOptions& options, std::FILE* output);

}  // namespace zentoro
