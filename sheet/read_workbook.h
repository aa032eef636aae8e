// Reads a spreadsheet's store: its worksheets and their cells' values.
#pragma once

#include <cstddef>

#include "reader/store_file.h"
#include "sheet/workbook.h"

namespace zentoro {

// `data` is the whole store, a file from its UID header or an embedded
// object; offsets inside it count from its first byte, and `tableAt` is
// where it keeps its section table's offset. What a damaged store still
// holds is read, and the workbook marked damaged.
Workbook readWorkbook(const unsigned char* data, size_t size, size_t tableAt = FileSectionTableAt);

}  // namespace zentoro
