// A spreadsheet as read: each worksheet's cells, their values already in
// the words the converter writes them ("1.25", "TRUE", "#DIV/0!",
// "2000-01-02"), UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zentoro {

struct SheetCell {
    uint32_t row = 0;     // 0 is row 1
    uint32_t column = 0;  // 0 is column A
    std::string text;
};

struct Worksheet {
    std::string name;
    std::vector<SheetCell> cells;  // by row, then column; one per position
};

struct Workbook {
    std::vector<Worksheet> sheets;
    bool encrypted = false;  // a password protects it: nothing is readable
    bool damaged = false;    // cut short or pointing outside itself
};

// Rows 1 to the last used row, columns A to the last used column, blank
// cells as empty strings.
std::vector<std::vector<std::string>> worksheetRows(const Worksheet& sheet);

}  // namespace zentoro
