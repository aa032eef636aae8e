// Writes the document as CommonMark, readable as text and by any notes
// application that speaks Markdown.
#pragma once

#include <cstdio>

#include "model/document.h"
#include "write/byte_sink.h"
#include "write/write_options.h"

namespace zentoro {

// Heading styles as ATX headings ("# "), bold as **, italic as *,
// strikethrough as ~~ (the strikethrough extension of GitHub Flavored
// Markdown; everything else is plain CommonMark), bullets as "- " list
// items, line breaks as a trailing backslash and page breaks as paragraph
// ends. Characters that Markdown would read as syntax are escaped, spaces
// and tabs that start a line kept as character references. Where
// emphasis cannot be written with delimiters (inside a word, next to
// punctuation), that line's emphasis is written as inline HTML instead.
// Pictures are linked as ![Sketch](PREFIX-N.png), their PNG files written
// into pictureFolder, or embedded as data: URIs with picturesAsDataUris;
// with neither, or without a picture, an object shows as "[Sketch]".
// The header and footer come first and last, only with withHeaderFooter.
// False when the output or a picture file could not be written.
bool writeMarkdown(const Document& document, const WriteOptions& options, ByteSink& sink);
bool writeMarkdown(const Document& document, const WriteOptions& options, std::FILE* output);

}  // namespace zentoro
