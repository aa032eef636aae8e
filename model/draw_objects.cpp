#include "model/draw_objects.h"

#include <algorithm>

#include "picture/embedded_object.h"
#include "picture/picture_limits.h"
#include "sheet/read_workbook.h"

namespace zentoro {

namespace {

// Larger spreadsheets keep their placeholder: a table of more cells would
// not fit a page, and a few damaged bytes could claim millions.
constexpr size_t MaxTableCells = 65536;

// The first worksheet of a spreadsheet, whose store starts at `start`.
std::vector<std::vector<std::string>> spreadsheetTable(std::span<const unsigned char> bytes, uint64_t start) {
    if (start >= bytes.size()) return {};
    Workbook book = readWorkbook(bytes.data() + start, bytes.size() - start, ObjectSectionTableAt);
    if (book.sheets.empty() || book.sheets[0].cells.empty()) return {};
    const Worksheet& sheet = book.sheets[0];
    uint64_t rows = sheet.cells.back().row + 1, columns = 0;
    for (const SheetCell& cell : sheet.cells) columns = std::max<uint64_t>(columns, cell.column + 1);
    if (rows * columns > MaxTableCells) return {};
    return worksheetRows(sheet);
}

}  // namespace

void drawObject(std::span<const unsigned char> bytes, EmbeddedObject& object, uint64_t& pixelsLeft) {
    DecodedObject decoded = decodeEmbeddedObject(bytes, object.sectionPosition, std::min(pixelsLeft, MaxPicturePixels));
    object.kind = decoded.kind;
    object.picture = std::move(decoded.picture);
    object.shownAsIcon = decoded.shownAsIcon;
    if (decoded.kind == ObjectKind::Spreadsheet && !decoded.shownAsIcon) {
        object.table = spreadsheetTable(bytes, decoded.dataStart);
    }
    if (decoded.kind != ObjectKind::Sketch) return;
    bool budgetSpent = decoded.failure == PictureFailure::TooLarge && pixelsLeft < MaxPicturePixels;
    object.problem = budgetSpent ? "the document's pictures together are too large" : describePictureFailure(decoded.failure);
    pixelsLeft -= static_cast<uint64_t>(object.picture.width) * static_cast<uint64_t>(object.picture.height);
}

}  // namespace zentoro
