// Reads a spreadsheet's store: its worksheets and their cells' values.
#pragma once

#include <cstddef>

#include "sheet/workbook.h"

namespace zentoro {

// `data` is the whole store, from its UID header; offsets inside it count
// from its first byte. What a damaged store still holds is read, and the
// workbook marked damaged.
Workbook readWorkbook(const unsigned char* data, size_t size);

}  // namespace zentoro
