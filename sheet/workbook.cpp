#include "sheet/workbook.h"

#include <algorithm>

namespace zentoro {

std::vector<std::vector<std::string>> worksheetRows(const Worksheet& sheet) {
    uint32_t rows = 0, columns = 0;
    for (const SheetCell& cell : sheet.cells) {
        rows = std::max(rows, cell.row + 1);
        columns = std::max(columns, cell.column + 1);
    }
    std::vector<std::vector<std::string>> grid(rows, std::vector<std::string>(columns));
    for (const SheetCell& cell : sheet.cells) grid[cell.row][cell.column] = cell.text;
    return grid;
}

}  // namespace zentoro
