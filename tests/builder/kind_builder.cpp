#include "tests/builder/kind_builder.h"

#include <cstring>

#include "reader/uid_checksum.h"

namespace zentoro::testing {

namespace {

constexpr uint32_t SectionedUid = 0x10000037;
constexpr uint32_t DocumentUid = 0x1000006D;
constexpr uint32_t RecordUid = 0x1000007E;
constexpr uint32_t TextEdUid = 0x10000085;
constexpr uint32_t SheetUid = 0x10000088;
constexpr uint32_t ApplicationIdSection = 0x10000089;

Bytes uidHeader(uint32_t uid3) {
    Bytes header;
    header.u32(SectionedUid).u32(DocumentUid).u32(uid3);
    return header.u32(uidChecksum(header.data.data()));
}

uint32_t byteSwapped(uint32_t v) { return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24); }

Bytes countedString(std::string_view text) {
    Bytes out;
    if (text.size() < 64) return out.u8(static_cast<int>(text.size() << 2 | 2)).text(text);
    uint32_t prefix = static_cast<uint32_t>(text.size() << 3 | 5);
    return out.u8(static_cast<int>(prefix & 0xFF)).u8(static_cast<int>(prefix >> 8)).text(text);
}

// A store: `base` (the header or nothing), the offset of the section table,
// the sections laid out by `sections` from the given start, then the
// table listing (id, offset) pairs.
struct Section {
    uint32_t id;
    Bytes content;
};

Bytes store(Bytes head, const std::vector<Section>& sections, uint32_t origin, bool tableFirst = false) {
    uint32_t at = static_cast<uint32_t>(head.size()) + 4 - origin;
    if (tableFirst) {
        // The table right after its offset, as the device writes recordings.
        uint32_t tableSize = 1 + 8 * static_cast<uint32_t>(sections.size());
        Bytes table;
        table.u8(static_cast<int>(sections.size() * 2));
        uint32_t offset = at + tableSize;
        for (const Section& section : sections) {
            table.u32(section.id).u32(offset);
            offset += static_cast<uint32_t>(section.content.size());
        }
        head.u32(at).append(table);
        for (const Section& section : sections) head.append(section.content);
        return head;
    }
    Bytes body;
    std::vector<std::pair<uint32_t, uint32_t>> table;
    for (const Section& section : sections) {
        table.emplace_back(section.id, at + static_cast<uint32_t>(body.size()));
        body.append(section.content);
    }
    head.u32(at + static_cast<uint32_t>(body.size())).append(body);
    head.u8(static_cast<int>(table.size() * 2));
    for (auto [id, offset] : table) head.u32(id).u32(offset);
    return head;
}

Bytes applicationId(uint32_t uid, std::string_view name) { return Bytes().u32(uid).append(countedString(name)); }

Bytes cellBytes(const BuiltCell& cell) {
    Bytes out;
    uint32_t position = cell.column << 2 | cell.row << 10;
    out.u8(position & 0xFF).u8(position >> 8 & 0xFF).u8(position >> 16 & 0xFF);
    out.u8(cell.type << 5 | (cell.numberFormat ? 0x10 : 0));
    switch (cell.type) {
        case 1: out.u32(static_cast<uint32_t>(static_cast<int32_t>(cell.number))); break;
        case 2: out.u8(cell.number != 0); break;
        case 3: out.u8(static_cast<int>(cell.number)).u8(0); break;
        case 4: {
            uint64_t bits;
            std::memcpy(&bits, &cell.number, sizeof bits);
            out.u32(static_cast<uint32_t>(bits)).u32(static_cast<uint32_t>(bits >> 32));
            break;
        }
        case 5: out.append(countedString(cell.text)); break;
    }
    if (cell.numberFormat) out.u8(2).u8(4).u8(2).u8(*cell.numberFormat).u8(4);
    return out;
}

// The workbook's parts, with offsets counted from `origin` (the store's
// first byte, or the embedded object's).
Bytes workbookSections(const BuiltWorkbook& workbook, uint32_t start) {
    Bytes parts;
    auto here = [&] { return start + static_cast<uint32_t>(parts.size()); };
    std::vector<std::pair<uint8_t, uint32_t>> sheets;
    uint32_t info = here();  // first, as the device writes it
    parts.u8(2).u8(0).u8(3);
    for (const BuiltWorksheet& sheet : workbook.sheets) {
        uint32_t cellList = here();
        parts.u8(2).u8(0).cardinality(static_cast<uint32_t>(sheet.cells.size()));
        for (const BuiltCell& cell : sheet.cells) parts.append(cellBytes(cell));
        sheets.emplace_back(sheet.number, here());
        parts.u8(4).u8(1).u8(2).u8(0).u32(0).u32(0).u32(cellList).u32(0).u32(0);
    }
    uint32_t list = here();
    parts.u8(2).cardinality(static_cast<uint32_t>(sheets.size()));
    for (auto [number, offset] : sheets) parts.u8(number).u32(offset);
    uint32_t names = here();
    parts.u8(2).append(countedString(workbook.name));
    uint32_t variables = here();
    parts.u8(2).u8(0);
    uint32_t formulas = here();
    parts.u8(2).u8(0);
    uint32_t workbookSection = here();
    parts.u8(4).u32(info).u32(formulas).u32(list).u32(variables).u32(names);
    // The workbook section's own offset, for the section table, is the last
    // four bytes of the parts.
    parts.u32(workbookSection);
    return parts;
}

Bytes sheetStore(const BuiltWorkbook& workbook, Bytes head, uint32_t origin) {
    uint32_t start = static_cast<uint32_t>(head.size()) + 4 - origin;
    Bytes parts = workbookSections(workbook, start);
    size_t end = parts.size() - 4;
    uint32_t workbookSection;
    std::memcpy(&workbookSection, parts.data.data() + end, 4);
    parts.data.resize(end);
    uint32_t application = start + static_cast<uint32_t>(parts.size());
    parts.append(applicationId(SheetUid, "Sheet.app"));
    uint32_t tableAt = start + static_cast<uint32_t>(parts.size());
    head.u32(tableAt).append(parts);
    std::vector<std::pair<uint32_t, uint32_t>> table = {{0x1000011D, workbookSection}, {ApplicationIdSection, application}};
    if (workbook.protectedByPassword) table.emplace_back(0x100000CD, workbookSection);
    head.u8(static_cast<int>(table.size() * 2));
    for (auto [id, offset] : table) head.u32(id).u32(offset);
    return head;
}

}  // namespace

Bytes recordFile(const Recording& recording) {
    uint32_t length = recording.dataLength.value_or(static_cast<uint32_t>(recording.samples.size()));
    uint32_t stored = recording.bigEndianLengths ? byteSwapped(length) : length;
    Bytes record;
    record.u32(stored).u32(recording.compression);
    record.u8(recording.repeats & 0xFF).u8(recording.repeats >> 8).u8(4).u8(0);
    record.u32(recording.pauseMicroseconds).u32(stored);
    for (uint8_t sample : recording.samples) record.u8(sample);
    return store(uidHeader(RecordUid), {{ApplicationIdSection, applicationId(0x1000007E, "RECORD.APP")}, {0x10000052, record}}, 0, true);
}

Bytes textEdFile(std::string_view text) {
    Bytes section;
    section.u32(0x1000005C).u32(0x10000063).u32(0).u32(0x10000064);
    section.cardinality(static_cast<uint32_t>(text.size())).text(text);
    return store(uidHeader(TextEdUid), {{0x10000085, section}, {ApplicationIdSection, applicationId(TextEdUid, "TextEd.app")}}, 0);
}

Bytes sheetFile(const BuiltWorkbook& workbook) { return sheetStore(workbook, uidHeader(SheetUid), 0); }

Bytes sheetObject(const BuiltWorkbook& workbook) { return sheetStore(workbook, Bytes(), 0); }

BuiltWorkbook exampleWorkbook() {
    static constexpr int Currency = 6, Date = 0x14;
    auto text = [](uint32_t row, uint32_t column, std::string value) {
        return BuiltCell{row, column, 5, std::move(value)};
    };
    auto real = [](uint32_t row, uint32_t column, double value) {
        return BuiltCell{row, column, 4, std::string(), value, Currency};
    };
    auto integer = [](uint32_t row, uint32_t column, double value) { return BuiltCell{row, column, 1, std::string(), value}; };
    auto boolean = [](uint32_t row, uint32_t column, bool value) { return BuiltCell{row, column, 2, std::string(), value ? 1.0 : 0.0}; };
    BuiltWorksheet sheet;
    sheet.cells = {text(0, 0, "Item"), text(0, 1, "Price"), text(0, 2, "Count"), text(0, 3, "Total"), text(0, 4, "Paid"),
                   text(1, 0, "Pens"), real(1, 1, 1.25), integer(1, 2, 4), real(1, 3, 5), boolean(1, 4, true),
                   text(2, 0, "Paper, A4"), real(2, 1, 4.99), integer(2, 2, 2), real(2, 3, 9.98), boolean(2, 4, false),
                   text(3, 0, "Caf\xE9 \x80"), real(3, 1, 2), integer(3, 2, 1), real(3, 3, 2), boolean(3, 4, true),
                   text(5, 0, "Date"), BuiltCell{5, 1, 1, std::string(), 36526, Date}, BuiltCell{5, 3, 3, std::string(), 2}};
    return {"Sheet1", {sheet}};
}

}  // namespace zentoro::testing
