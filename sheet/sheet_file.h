// Spreadsheets, to one CSV file per worksheet.
#pragma once

#include <cstddef>

#include "reader/converted_files.h"

namespace zentoro {

bool isSheetFile(const unsigned char* data, size_t size);

// ".csv" for a single worksheet, "-NAME.csv" for each of several. Dates
// are written in ISO 8601, booleans TRUE/FALSE, errors as the device
// shows them, other numbers at full precision. A password-protected file
// is refused as not supported.
KindConversion convertSheetFile(const unsigned char* data, size_t size, const KindOptions& options);

}  // namespace zentoro
