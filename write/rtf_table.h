// A table in RTF: a spreadsheet embedded in a document, shown as the rows
// and cells it holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "write/byte_sink.h"

namespace zentoro {

// Writes each row as \trowd ... \row, its cells of equal width sharing
// `width` twips (a default width each when it is 0). Leaves the paragraph
// state reset, as after \pard.
void writeRtfTable(ByteSink& sink, const std::vector<std::vector<std::string>>& rows, int32_t width, int codePage);

}  // namespace zentoro
