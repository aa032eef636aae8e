// Plain-text documents of the program editor (program sources among them),
// to UTF-8 text.
#pragma once

#include <cstddef>
#include <string_view>

#include "reader/converted_files.h"

namespace zentoro {

bool isTextEdFile(const unsigned char* data, size_t size);

// Whether converted text reads as an OPL program or header: some line
// opens with one of the language's declarations (PROC, INCLUDE, CONST,
// DECLARE, EXTERNAL, APP).
bool looksLikeOplSource(std::string_view text);

// One file: ".opl" for a program source, ".txt" otherwise. Paragraph ends
// and line breaks end lines ("\n", or "\r\n" with options.crlfLineEnds);
// the hard space is a plain space, as program source means it.
KindConversion convertTextEdFile(const unsigned char* data, size_t size, const KindOptions& options);

}  // namespace zentoro
