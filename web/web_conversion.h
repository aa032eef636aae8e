// One file given to the web page, converted in memory: its bytes and name
// in, the files it makes and how it went out, in the shape every kind's
// conversion returns, so that the page shows every kind's outcome alike.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "convert/output_format.h"
#include "reader/converted_files.h"

namespace zentoro {

// The page's names of the outputs: "rtf-faithful", "rtf-original", "html",
// "markdown" and "text", and any other name outputFormatNamed knows.
std::optional<OutputFormat> webFormatNamed(std::string_view name);

// Converts the document `bytes`, whose file is called `name` (a path's last
// part is taken), to `format`. The outputs are named as the command line
// names them beside the input: the document's suffix (".rtf") and, for
// Markdown, one file per picture ("-1.png"), written for a moment in
// `scratchFolder`, an empty folder that is left empty. A document that ends
// early still gives what the streaming RTF translation made of it.
KindConversion convertNamedFile(std::span<const unsigned char> bytes, std::string_view name, OutputFormat format,
                                const std::string& scratchFolder);

}  // namespace zentoro
