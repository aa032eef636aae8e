#include "write/rtf_table.h"

#include <algorithm>

#include "write/rtf_text.h"

namespace zentoro {

namespace {

constexpr int32_t DefaultCellWidth = 1440;  // an inch
constexpr int32_t NarrowestCell = 360;
constexpr int32_t CellMargin = 108;

void writeRowDefinition(ByteSink& sink, size_t columns, int32_t cellWidth) {
    put(sink, "\\trowd\\trgaph");
    putNumber(sink, CellMargin);
    for (size_t column = 1; column <= columns; ++column) {
        put(sink, "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx");
        putNumber(sink, static_cast<int64_t>(cellWidth) * static_cast<int64_t>(column));
    }
    put(sink, '\n');
}

// A cell's text on one line: a line end it holds separates words, as a space.
void writeCellText(ByteSink& sink, std::string_view text, int codePage) {
    size_t end;
    while ((end = text.find_first_of("\r\n")) != std::string_view::npos) {
        writeRtfText(sink, text.substr(0, end), codePage);
        put(sink, ' ');
        text.remove_prefix(end + 1);
    }
    writeRtfText(sink, text, codePage);
}

}  // namespace

void writeRtfTable(ByteSink& sink, const std::vector<std::vector<std::string>>& rows, int32_t width, int codePage) {
    size_t columns = rows.empty() ? 0 : rows[0].size();
    if (columns == 0) return;
    int32_t cellWidth = width > 0 ? std::max(NarrowestCell, static_cast<int32_t>(width / static_cast<int64_t>(columns)))
                                  : DefaultCellWidth;
    for (const std::vector<std::string>& row : rows) {
        writeRowDefinition(sink, columns, cellWidth);
        put(sink, "\\pard\\plain\\intbl ");
        for (const std::string& cell : row) {
            writeCellText(sink, cell, codePage);
            put(sink, "\\cell ");
        }
        put(sink, "\\row\n");
    }
    put(sink, "\\pard\\plain ");
}

}  // namespace zentoro
