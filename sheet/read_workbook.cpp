#include "sheet/read_workbook.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

#include "model/code_page.h"
#include "model/shortest_decimal.h"
#include "reader/input_readers.h"
#include "reader/store_file.h"

namespace zentoro {

namespace {

constexpr uint32_t WorkbookSectionId = 0x1000011D;
constexpr uint32_t PasswordSectionId = 0x100000CD;
constexpr int FiveOffsets = 4;

// Number format codes that show a number as a date, a time or both.
constexpr int FirstDateFormat = 0x10;
constexpr int LastDateFormat = 0x3C;

enum CellType { Blank, Integer, Boolean, Error, Real, Text };

constexpr int LayoutFollows = 0x10;
constexpr int Calculated = 0x08;
constexpr int ParagraphLayer = 1, CharacterLayer = 2, NumberFormat = 4;

struct Offsets {
    uint32_t worksheetList = 0;
    uint32_t names = 0;
    bool hasNames = false;
};

bool goTo(ReaderState& s, uint32_t offset) {
    if (offset >= s.input.size) {
        s.input.endedEarly = true;
        return false;
    }
    s.input.pos = offset;
    return true;
}

std::string utf8From(std::span<const unsigned char> bytes) {
    std::string out;
    for (unsigned char byte : bytes) appendUtf8(out, cp1252CodePoint(byte));
    return out;
}

Offsets loadWorkbookSection(ReaderState& s) {
    Offsets offsets;
    int form = readByte(s);
    readU32(s.input);  // info section
    readU32(s.input);  // formula list: the values are stored with their cells
    offsets.worksheetList = readU32(s.input);
    readU32(s.input);  // named cells
    if (form == FiveOffsets) {
        offsets.names = readU32(s.input);
        offsets.hasNames = true;
    }
    return offsets;
}

std::string loadSheetName(ReaderState& s, const Offsets& offsets) {
    if (!offsets.hasNames || !goTo(s, offsets.names)) return {};
    readByte(s);
    return utf8From(readCountedString(s));
}

// Returns the number format's code, or -1 when the layout has none.
int loadCellLayout(ReaderState& s) {
    readByte(s);
    int flags = readByte(s);
    if (flags == EndOfFile) return -1;
    for (int layer : {ParagraphLayer, CharacterLayer}) {
        if (flags & layer) skipOver(s, readU32(s.input));
    }
    if (!(flags & NumberFormat)) return -1;
    readByte(s);
    int code = readByte(s);
    readByte(s);  // decimal places: numbers are written at full precision
    return code;
}

std::string numberText(double value) {
    if (!std::isfinite(value)) return "#NUM!";
    return shortestDecimal(value);
}

void appendDigits(std::string& out, int64_t value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
    out += digits;
}

// A day counted from 1 January 1970 as year-month-day in the proleptic
// Gregorian calendar (the civil-from-days algorithm).
void appendCivilDate(std::string& out, int64_t days) {
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t dayOfEra = z - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t shifted = (5 * dayOfYear + 2) / 153;
    int64_t day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    int64_t month = shifted < 10 ? shifted + 3 : shifted - 9;
    int64_t year = yearOfEra + era * 400 + (month <= 2);
    appendDigits(out, year, 4);
    out += '-';
    appendDigits(out, month, 2);
    out += '-';
    appendDigits(out, day, 2);
}

void appendTimeOfDay(std::string& out, int64_t seconds) {
    appendDigits(out, seconds / 3600, 2);
    out += ':';
    appendDigits(out, seconds / 60 % 60, 2);
    out += ':';
    appendDigits(out, seconds % 60, 2);
}

// Dates count days from 31 December 1899 (day 1 is 1 January 1900), the
// fraction being the time of day: ISO 8601, the date alone when there is
// no time, the time alone when there is no date.
std::string dateText(double value) {
    constexpr int64_t DaysBefore1970 = 25568;
    constexpr double MaxDays = 3e6;  // past the year 9999
    if (!std::isfinite(value) || value < 0 || value > MaxDays) return numberText(value);
    int64_t seconds = std::llround(value * 86400);
    int64_t days = seconds / 86400;
    int64_t time = seconds % 86400;
    std::string out;
    if (days == 0 && time != 0) {
        appendTimeOfDay(out, time);
        return out;
    }
    appendCivilDate(out, days - DaysBefore1970);
    if (time != 0) {
        out += 'T';
        appendTimeOfDay(out, time);
    }
    return out;
}

const char* errorText(int code) {
    static constexpr const char* Errors[] = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"};
    return code >= 1 && code <= 7 ? Errors[code - 1] : "#ERR!";
}

double readDouble(ReaderState& s) {
    uint64_t bits = readU32(s.input);
    bits |= uint64_t{readU32(s.input)} << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct CellValue {
    std::string text;
    double number = 0;
    bool isNumber = false;
};

CellValue loadCellValue(ReaderState& s, int type) {
    switch (type) {
        case Integer: {
            double number = static_cast<int32_t>(readU32(s.input));
            return {numberText(number), number, true};
        }
        case Boolean: return {readByte(s) == 1 ? "TRUE" : "FALSE"};
        case Error: {
            int low = readByte(s);
            int high = readByte(s);
            return {errorText(low | high << 8)};
        }
        case Real: {
            double number = readDouble(s);
            return {numberText(number), number, true};
        }
        case Text: return {utf8From(readCountedString(s))};
        default: return {};
    }
}

// Position: bits 2-9 the column, bits 10-23 the row.
void loadCell(ReaderState& s, Worksheet& sheet) {
    uint32_t position = static_cast<uint32_t>(readByte(s) & 0xFF);
    position |= static_cast<uint32_t>(readByte(s) & 0xFF) << 8;
    position |= static_cast<uint32_t>(readByte(s) & 0xFF) << 16;
    int flags = readByte(s);
    if (s.input.endedEarly) return;
    CellValue value = loadCellValue(s, flags >> 5 & 7);
    int format = flags & LayoutFollows ? loadCellLayout(s) : -1;
    if (flags & Calculated) readCardinality(s);  // the formula's number
    if (s.input.endedEarly || (flags >> 5 & 7) == Blank) return;
    if (value.isNumber && format >= FirstDateFormat && format <= LastDateFormat) value.text = dateText(value.number);
    sheet.cells.push_back({position >> 10 & 0x3FFF, position >> 2 & 0xFF, std::move(value.text)});
}

// A cell as the device writes one: its position's and flags' unused low
// bits clear and a type it knows; read through to its end.
bool loadsAsCell(ReaderState& s, bool& holdsValue) {
    int low = readByte(s);
    readByte(s);
    readByte(s);
    int flags = readByte(s);
    if (s.input.endedEarly || (low & 3) != 0 || (flags & 3) != 0 || (flags >> 5 & 7) > Text) return false;
    loadCellValue(s, flags >> 5 & 7);
    if (flags & LayoutFollows) loadCellLayout(s);
    if (flags & Calculated) readCardinality(s);
    holdsValue = holdsValue || (flags >> 5 & 7) != Blank;
    return !s.input.endedEarly;
}

void loadCellList(ReaderState& s, Worksheet& sheet) {
    readByte(s);
    readByte(s);
    int32_t count = readCardinality(s);
    for (int32_t i = 0; i < count && !s.input.endedEarly; ++i) loadCell(s, sheet);
}

// Keeps the first cell stored at each position, in row and column order.
void orderCells(Worksheet& sheet) {
    auto before = [](const SheetCell& a, const SheetCell& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    };
    auto same = [](const SheetCell& a, const SheetCell& b) { return a.row == b.row && a.column == b.column; };
    std::stable_sort(sheet.cells.begin(), sheet.cells.end(), before);
    sheet.cells.erase(std::unique(sheet.cells.begin(), sheet.cells.end(), same), sheet.cells.end());
}

// How a cell list at `at` looks: its two leading bytes and a count, then
// the first few cells (or all, if fewer) plainly cells, with their unused
// bits clear, or cut by the end of the file after the first.
struct CellListLook {
    bool shaped = false;
    bool holdsValue = false;  // one of the cells looked at holds a value
};

CellListLook lookAtCellList(const unsigned char* data, size_t size, uint32_t at) {
    constexpr int CellsLookedAt = 4;
    ReaderState s{{data, size, at}};
    if (readByte(s) != 2 || readByte(s) != 0) return {};
    int32_t count = readCardinality(s);
    if (s.input.endedEarly || count < 0) return {};
    CellListLook look{true, false};
    for (int32_t i = 0; i < std::min(count, CellsLookedAt); ++i) {
        if (!loadsAsCell(s, look.holdsValue)) {
            look.shaped = i > 0 && atEnd(s.input);
            break;
        }
    }
    return look;
}

// A worksheet whose cell list is not where it says (its offset damaged)
// keeps no cells, rather than cells made of other bytes.
Worksheet loadWorksheet(ReaderState& s, uint32_t offset) {
    Worksheet sheet;
    if (!goTo(s, offset)) return sheet;
    readByte(s);
    readByte(s);  // whether zero values show
    loadCellLayout(s);
    readU32(s.input);  // row defaults
    readU32(s.input);  // column defaults
    uint32_t cellList = readU32(s.input);
    if (s.input.endedEarly || !goTo(s, cellList)) return sheet;
    if (lookAtCellList(s.input.data, s.input.size, cellList).shaped) {
        loadCellList(s, sheet);
    } else {
        s.input.endedEarly = true;
    }
    orderCells(sheet);
    return sheet;
}

// Each worksheet's number and offset, as far as the list is whole.
std::vector<std::pair<int, uint32_t>> loadWorksheetList(ReaderState& s) {
    readByte(s);
    int32_t count = readCardinality(s);
    std::vector<std::pair<int, uint32_t>> listed;
    for (int32_t i = 0; i < count && !s.input.endedEarly; ++i) {
        int number = readByte(s);
        uint32_t offset = readU32(s.input);
        if (!s.input.endedEarly) listed.emplace_back(number, offset);
    }
    return listed;
}

// Each worksheet is read whatever became of the one before; the damage
// found on the way is kept in `damaged`.
void loadWorksheets(ReaderState& s, Workbook& book, const std::string& firstName) {
    std::vector<std::pair<int, uint32_t>> listed = loadWorksheetList(s);
    for (auto [number, offset] : listed) {
        book.damaged = book.damaged || s.input.endedEarly;
        s.input.endedEarly = false;
        Worksheet sheet = loadWorksheet(s, offset);
        sheet.name = listed.size() == 1 && !firstName.empty() ? firstName : "Sheet" + std::to_string(number + 1);
        book.sheets.push_back(std::move(sheet));
    }
}

// The device writes the info section first (at FirstSectionAt) and the
// cells soon after.
constexpr uint32_t CellListSearchBytes = 64 * 1024;  // past the formulas stored before the cells
constexpr int WorkbooksTried = 16;

// The workbook section where the section table is lost: the last place
// that reads as one, its info section where the device puts it and its
// worksheet list before it, naming worksheets before it.
std::optional<uint32_t> findWorkbookSection(const unsigned char* data, size_t size) {
    constexpr size_t SectionBytes = 1 + 5 * 4;
    int tried = 0;
    for (size_t at = size >= SectionBytes ? size - SectionBytes : 0; at >= FirstSectionAt && tried < WorkbooksTried; --at) {
        if (data[at] != FiveOffsets || data[at + 1] != FirstSectionAt || data[at + 2] != 0 || data[at + 3] != 0 ||
            data[at + 4] != 0) {
            continue;
        }
        ++tried;
        ReaderState s{{data, size, static_cast<uint32_t>(at)}};
        Offsets offsets = loadWorkbookSection(s);
        if (offsets.worksheetList >= at || !goTo(s, offsets.worksheetList)) continue;
        std::vector<std::pair<int, uint32_t>> listed = loadWorksheetList(s);
        bool before = std::all_of(listed.begin(), listed.end(), [at](const auto& sheet) { return sheet.second < at; });
        if (!listed.empty() && !s.input.endedEarly && before) return static_cast<uint32_t>(at);
    }
    return std::nullopt;
}

// The cells of a file whose workbook or only worksheet is lost: of the
// lists near its start that look like one and hold a value, the one that
// gives the most cells (a few bytes before the real list may look like a
// short one).
std::vector<SheetCell> salvageCellList(const unsigned char* data, size_t size) {
    constexpr int ListsTried = 16;
    uint32_t end = static_cast<uint32_t>(std::min<size_t>(size, FirstSectionAt + CellListSearchBytes));
    std::vector<SheetCell> best;
    int tried = 0;
    for (uint32_t at = FirstSectionAt; at < end && tried < ListsTried; ++at) {
        CellListLook look = lookAtCellList(data, size, at);
        if (!look.shaped || !look.holdsValue) continue;
        ++tried;
        ReaderState s{{data, size, at}};
        Worksheet sheet;
        loadCellList(s, sheet);
        orderCells(sheet);
        if (sheet.cells.size() > best.size()) best = std::move(sheet.cells);
    }
    return best;
}

}  // namespace

Workbook readWorkbook(const unsigned char* data, size_t size, size_t tableAt) {
    Workbook book;
    if (findSection(data, size, PasswordSectionId, tableAt)) {
        book.encrypted = true;
        return book;
    }
    std::optional<uint32_t> workbook = findSection(data, size, WorkbookSectionId, tableAt);
    bool file = tableAt == FileSectionTableAt;
    if (!workbook && file) {
        book.damaged = true;
        workbook = findWorkbookSection(data, size);
    }
    ReaderState s{{data, size}};
    if (workbook && goTo(s, *workbook)) {
        Offsets offsets = loadWorkbookSection(s);
        std::string name = loadSheetName(s, offsets);
        if (goTo(s, offsets.worksheetList)) loadWorksheets(s, book, name);
    }
    book.damaged = book.damaged || !workbook || s.input.endedEarly;
    // Where no worksheet was found, or the only one lost its cells, the
    // cells are looked for near the start, where the device writes them.
    bool noCells = book.sheets.empty() || (book.sheets.size() == 1 && book.sheets[0].cells.empty());
    if (file && book.damaged && noCells) {
        std::vector<SheetCell> cells = salvageCellList(data, size);
        if (!cells.empty()) {
            if (book.sheets.empty()) book.sheets.push_back({"Sheet1", {}});
            book.sheets[0].cells = std::move(cells);
        }
    }
    return book;
}

}  // namespace zentoro
