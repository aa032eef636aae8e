#include "sheet/csv_writer.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace zentoro {

void appendCsvField(std::string& out, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string csvSuffixFor(const std::string& name) {
    std::string suffix = "-";
    for (char c : name) {
        bool refused = static_cast<unsigned char>(c) < 0x20 || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        suffix += refused ? '_' : c;
    }
    suffix += ".csv";
    return suffix;
}

namespace {

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string CsvSuffixes::unused(const std::string& suffix) {
    std::string key = lowerCase(suffix);
    if (taken_.insert(key).second) return suffix;
    std::string stem = suffix.substr(0, suffix.size() - 4);  // without ".csv"
    for (size_t& n = nextNumber_.try_emplace(key, 2).first->second;; ++n) {
        std::string numbered = stem + "-" + std::to_string(n) + ".csv";
        if (taken_.insert(lowerCase(numbered)).second) return numbered;
    }
}

// Cells come in row and column order; the blanks between them are written
// as they are passed, so the grid is never held whole.
std::string worksheetCsv(const Worksheet& sheet, bool crlf) {
    uint32_t columns = 0;
    for (const SheetCell& cell : sheet.cells) columns = std::max(columns, cell.column + 1);
    const char* lineEnd = crlf ? "\r\n" : "\n";
    std::string out;
    uint32_t row = 0, column = 0;
    auto endRow = [&] {
        out.append(columns - 1 - std::min(column, columns - 1), ',');
        out += lineEnd;
        ++row;
        column = 0;
    };
    for (const SheetCell& cell : sheet.cells) {
        while (row < cell.row) endRow();
        out.append(cell.column - column, ',');
        column = cell.column;
        appendCsvField(out, cell.text);
    }
    if (!sheet.cells.empty()) endRow();
    return out;
}

}  // namespace zentoro
