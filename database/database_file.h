// Databases made by OPL's database keywords, and the Data application's
// files, to one CSV file per table.
#pragma once

#include <cstddef>

#include "reader/converted_files.h"

namespace zentoro {

bool isOplDatabaseFile(const unsigned char* data, size_t size);
bool isDataFile(const unsigned char* data, size_t size);

// "-TABLE.csv" for each table: a header row of the field names, then each
// record in stored order, absent values empty. A Data file whose fields are
// of a kind this reader does not know is refused as not supported.
KindConversion convertOplDatabaseFile(const unsigned char* data, size_t size, const KindOptions& options);
KindConversion convertDataFile(const unsigned char* data, size_t size, const KindOptions& options);

}  // namespace zentoro
