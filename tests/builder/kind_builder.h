// Writes recordings, program editor texts and spreadsheets as the device
// stores them, each with its UID header and section table, for the tests
// of the further kinds' readers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/builder/document_builder.h"

namespace zentoro::testing {

struct Recording {
    std::vector<uint8_t> samples;  // A-law bytes
    uint32_t compression = 0;
    uint16_t repeats = 0;  // times played, minus one
    uint32_t pauseMicroseconds = 0;
    bool bigEndianLengths = false;       // as tools other than the device write them
    std::optional<uint32_t> dataLength;  // what the file claims instead of the truth
};

Bytes recordFile(const Recording& recording);

// TextEd text bytes (the device's codes: 0x06 ends a paragraph).
Bytes textEdFile(std::string_view text);

// A cell as stored: its type (1 integer, 2 boolean, 3 error, 4 real,
// 5 text) and value, and the number format its layout gives, if any.
struct BuiltCell {
    uint32_t row = 0;
    uint32_t column = 0;
    int type = 5;
    std::string text;  // type 5, CP1252
    double number = 0; // types 1 (whole), 2 (0 or 1), 3 (error code), 4
    std::optional<int> numberFormat;
};

struct BuiltWorksheet {
    uint8_t number = 0;
    std::vector<BuiltCell> cells;
};

// One worksheet named `name`, or several; `protectedByPassword` adds the
// section that marks an encrypted file.
struct BuiltWorkbook {
    std::string name = "Sheet1";
    std::vector<BuiltWorksheet> sheets;
    bool protectedByPassword = false;
};

Bytes sheetFile(const BuiltWorkbook& workbook);
// The same store without its UID header, as a document embeds it: the
// section table's offset first, every offset counted from there.
Bytes sheetObject(const BuiltWorkbook& workbook);

// The synthetic spreadsheet of the samples: items, prices, counts, totals,
// paid flags, a blank row, a date and a #DIV/0! error.
BuiltWorkbook exampleWorkbook();

}  // namespace zentoro::testing
