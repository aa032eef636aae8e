// Writes the document as CommonMark, readable as text and by any notes
// application that speaks Markdown.
#pragma once

#include <cstdio>
#include <filesystem>
#include <vector>

#include "model/document.h"
#include "write/byte_sink.h"
#include "write/write_options.h"

namespace zentoro {

// Heading styles as ATX headings ("# "), bold as **, italic as *,
// strikethrough as ~~ (the strikethrough extension of GitHub Flavored
// Markdown), superscript and subscript as <sup> and <sub>, bullets as "- "
// list items (the tab after the device's bullet dropped), runs of two or
// more paragraphs with the same number of tabs as pipe tables, line breaks
// as a trailing backslash and page breaks as paragraph ends. Emphasis is
// always written with delimiters, moved off the whitespace and, where it
// must be, the punctuation at its edges; where it still could not be read
// as meant, that line is written without it. Only characters that a
// renderer would read as syntax where they stand are escaped; spaces and
// tabs that start a line are kept as character references.
// Pictures are linked as ![Sketch](PREFIX-objectN.png), their PNG files
// written into pictureFolder, or embedded as data: URIs with
// picturesAsDataUris; with neither, or without a picture, an object shows
// as "[Sketch]". The header and footer come first and last, only with
// withHeaderFooter. False when the output or a picture file could not be
// written.
bool writeMarkdown(const Document& document, const WriteOptions& options, ByteSink& sink);
bool writeMarkdown(const Document& document, const WriteOptions& options, std::FILE* output);

// The picture files writeMarkdown writes with these options, in the order it
// writes them, found by the same walk over the document; nothing is written.
std::vector<std::filesystem::path> markdownPictureFiles(const Document& document, const WriteOptions& options);

}  // namespace zentoro
