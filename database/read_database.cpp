#include "database/read_database.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <span>

#include "model/code_page.h"
#include "model/shortest_decimal.h"
#include "reader/input_readers.h"
#include "reader/store_file.h"

namespace zentoro {

namespace {

constexpr size_t FirstPageMarker = 0x4020;
constexpr size_t PageSize = 0x4000;
constexpr size_t MarkerSize = 2;

constexpr uint32_t TableDefinitionsUid = 0x10000069;
constexpr uint32_t TableDefinitionsEntry = 2;
constexpr uint32_t TocEntrySize = 5;
constexpr uint32_t SectionBase = 0x20;

// A record of many fields takes a bit of a byte for each, and its length
// may be 0: the values a store may give are bounded by its size, so that a
// few bytes never make millions of empty cells.
constexpr uint64_t ValuesPerInputByte = 16;
constexpr uint64_t ValuesFloor = 65536;

enum FieldType {
    BooleanField, Int8Field, Uint8Field, Int16Field, Uint16Field, Int32Field, Uint32Field, Int64Field,
    Float32Field, Float64Field, DateTimeField, TextField,
};

struct Field {
    std::string name;
    int type = 0;
};

struct TableLayout {
    std::string name;
    std::vector<Field> fields;
    uint32_t firstDataEntry = 0;
};

struct Toc {
    std::vector<uint32_t> offsets;  // by entry number - 1
};

uint32_t u32At(const unsigned char* data, size_t size, size_t at) {
    if (at > size || size - at < 4) return 0;
    return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
           static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

std::string utf8From(std::span<const unsigned char> bytes) {
    std::string out;
    for (unsigned char byte : bytes) appendUtf8(out, cp1252CodePoint(byte));
    return out;
}

// Where the table of contents lies: counted back from the end of the file
// by the handle, or after the reference. Where the reference points past
// the end, the file lost its last save's table: the one after half the
// backup is an earlier save's, read instead, and the file is damaged.
struct TocPlace {
    size_t at = 0;
    bool earlierSave = false;
};

TocPlace tocPosition(const unsigned char* data, size_t size) {
    uint32_t backup = u32At(data, size, 0x10);
    uint32_t handle = u32At(data, size, 0x14);
    uint32_t ref = u32At(data, size, 0x18);
    if (handle != 0) {
        uint64_t back = 12 + uint64_t{TocEntrySize} * handle;
        return {static_cast<size_t>(back <= size ? size - back : size)};
    }
    uint64_t after = uint64_t{ref} + 20;
    if (after < size) return {static_cast<size_t>(after)};
    return {static_cast<size_t>((backup >> 1) + uint64_t{20} < size ? (backup >> 1) + 20 : size), true};
}

Toc loadToc(ReaderState& s) {
    Toc toc;
    readU32(s.input);  // root index
    readU32(s.input);
    uint32_t count = readU32(s.input);
    for (uint32_t i = 0; i < count && !s.input.endedEarly; ++i) {
        readByte(s);  // flags
        uint32_t offset = readU32(s.input);
        if (!s.input.endedEarly) toc.offsets.push_back(offset);
    }
    return toc;
}

bool goToEntry(ReaderState& s, const Toc& toc, uint32_t entry) {
    if (entry == 0 || entry > toc.offsets.size() || uint64_t{toc.offsets[entry - 1]} + SectionBase >= s.input.size) {
        s.input.endedEarly = true;
        return false;
    }
    s.input.pos = toc.offsets[entry - 1] + SectionBase;
    return true;
}

TableLayout loadTableLayout(ReaderState& s, Database& db) {
    TableLayout table;
    table.name = utf8From(readCountedString(s));
    int32_t count = readCardinality(s);
    for (int32_t i = 0; i < count && !s.input.endedEarly; ++i) {
        Field field{utf8From(readCountedString(s)), readByte(s)};
        readByte(s);
        if (field.type == TextField) readByte(s);  // the longest text the field takes
        if (field.type < 0 || field.type > TextField) db.unsupportedType = field.type;
        table.fields.push_back(std::move(field));
    }
    readByte(s);
    uint32_t dataIndex = readU32(s.input);
    table.firstDataEntry = dataIndex != 0 ? dataIndex - 1 : 0;
    readByte(s);
    return table;
}

std::vector<TableLayout> loadTableDefinitions(ReaderState& s, Database& db) {
    std::vector<TableLayout> tables;
    if (readU32(s.input) != TableDefinitionsUid) {
        s.input.endedEarly = true;
        return tables;
    }
    readByte(s);
    readU32(s.input);
    int32_t count = readCardinality(s);
    for (int32_t i = 0; i < count && !s.input.endedEarly; ++i) tables.push_back(loadTableLayout(s, db));
    return tables;
}

std::string numberText(double value) {
    return shortestDecimal(value);
}

uint64_t readU64(InputStream& in) {
    uint64_t low = readU32(in);
    return low | uint64_t{readU32(in)} << 32;
}

void appendDigits(std::string& out, int64_t value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
    out += digits;
}

// Microseconds since 1 January of year 0 as ISO 8601, by the
// civil-from-days algorithm; the fraction of a second only when there is one.
std::string dateTimeText(int64_t micros) {
    constexpr int64_t MicrosPerDay = 86400LL * 1000000;
    constexpr int64_t DaysBefore1970 = 719540;
    int64_t days = micros / MicrosPerDay - (micros % MicrosPerDay < 0);
    int64_t rest = micros - days * MicrosPerDay;
    int64_t z = days - DaysBefore1970 + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t dayOfEra = z - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t shifted = (5 * dayOfYear + 2) / 153;
    int64_t month = shifted < 10 ? shifted + 3 : shifted - 9;
    std::string out;
    appendDigits(out, yearOfEra + era * 400 + (month <= 2), 4);
    out += '-';
    appendDigits(out, month, 2);
    out += '-';
    appendDigits(out, dayOfYear - (153 * shifted + 2) / 5 + 1, 2);
    int64_t seconds = rest / 1000000;
    out += 'T';
    appendDigits(out, seconds / 3600, 2);
    out += ':';
    appendDigits(out, seconds / 60 % 60, 2);
    out += ':';
    appendDigits(out, seconds % 60, 2);
    if (rest % 1000000 != 0) {
        out += '.';
        appendDigits(out, rest % 1000000, 6);
    }
    return out;
}

std::string loadValue(ReaderState& s, int type) {
    switch (type) {
        case Int8Field: return std::to_string(static_cast<int8_t>(readByte(s)));
        case Uint8Field: return std::to_string(readByte(s) & 0xFF);
        case Int16Field:
        case Uint16Field: {
            int low = readByte(s) & 0xFF;
            int value = low | (readByte(s) & 0xFF) << 8;
            return std::to_string(type == Int16Field ? static_cast<int16_t>(value) : value);
        }
        case Int32Field: return std::to_string(static_cast<int32_t>(readU32(s.input)));
        case Uint32Field: return std::to_string(readU32(s.input));
        case Int64Field: return std::to_string(static_cast<int64_t>(readU64(s.input)));
        case Float32Field: {
            uint32_t bits = readU32(s.input);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return numberText(value);
        }
        case Float64Field: {
            uint64_t bits = readU64(s.input);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return numberText(value);
        }
        case DateTimeField: return dateTimeText(static_cast<int64_t>(readU64(s.input)));
        case TextField: return utf8From(readBytes(s.input, static_cast<size_t>(readByte(s) & 0xFF)));
        default: return {};
    }
}

// The bits of the presence bytes, taken one at a time; a new byte is read
// where the last one's eight bits are used up.
struct PresenceBits {
    int byte = 0;
    int used = 8;
    bool next(ReaderState& s) {
        if (used == 8) {
            byte = readByte(s);
            used = 0;
        }
        return byte >> used++ & 1;
    }
};

std::vector<std::string> loadRecord(ReaderState& s, const TableLayout& table) {
    std::vector<std::string> values(table.fields.size());
    PresenceBits bits;
    for (size_t i = 0; i < table.fields.size() && !s.input.endedEarly; ++i) {
        if (!bits.next(s)) continue;
        if (table.fields[i].type == BooleanField) {
            values[i] = bits.next(s) ? "TRUE" : "FALSE";
        } else {
            values[i] = loadValue(s, table.fields[i].type);
        }
    }
    return values;
}

// Each record is read within the length stored for it: a record that
// claims more than its length is cut short there.
void loadDataSection(ReaderState& s, const TableLayout& table, DatabaseTable& out, Database& db) {
    int low = readByte(s) & 0xFF;
    unsigned mask = static_cast<unsigned>(low | (readByte(s) & 0xFF) << 8);
    std::vector<uint32_t> lengths;
    for (int slot = 0; slot < 16; ++slot) {
        if (mask >> slot & 1) lengths.push_back(static_cast<uint32_t>(readCardinality(s)));
    }
    for (uint32_t length : lengths) {
        if (s.input.endedEarly) return;
        if (db.valuesLeft < table.fields.size()) {
            db.limitReached = true;
            return;
        }
        db.valuesLeft -= table.fields.size();
        size_t end = std::min<uint64_t>(s.input.pos + uint64_t{length}, s.input.size);
        ReaderState record{{s.input.data, end, s.input.pos}};
        out.records.push_back(loadRecord(record, table));
        if (record.input.endedEarly || end - s.input.pos < length) s.input.endedEarly = true;
        s.input.pos = end;
    }
}

DatabaseTable loadTable(ReaderState& s, const Toc& toc, const TableLayout& layout, Database& db) {
    DatabaseTable table{layout.name, {}, {}};
    for (const Field& field : layout.fields) table.fields.push_back(field.name);
    std::vector<bool> visited(toc.offsets.size() + 1);
    for (uint32_t entry = layout.firstDataEntry; entry != 0 && !db.limitReached;) {
        if (entry >= visited.size() || visited[entry]) {
            s.input.endedEarly = true;
            break;
        }
        visited[entry] = true;
        if (!goToEntry(s, toc, entry)) break;
        uint32_t next = readU32(s.input);
        loadDataSection(s, layout, table, db);
        entry = next;
    }
    return table;
}

}  // namespace

std::string withoutPageMarkers(const unsigned char* data, size_t size) {
    std::string out;
    out.reserve(size);
    size_t at = 0;
    for (size_t marker = FirstPageMarker; marker < size; marker += PageSize + MarkerSize) {
        out.append(reinterpret_cast<const char*>(data + at), marker - at);
        at = std::min(size, marker + MarkerSize);
    }
    out.append(reinterpret_cast<const char*>(data + at), size - at);
    return out;
}

Database readDatabase(const unsigned char* data, size_t size) {
    Database db;
    db.valuesLeft = ValuesPerInputByte * size + ValuesFloor;
    TocPlace place = tocPosition(data, size);
    ReaderState s{{data, size, place.at}};
    Toc toc = loadToc(s);
    std::vector<TableLayout> layouts;
    if (goToEntry(s, toc, TableDefinitionsEntry)) layouts = loadTableDefinitions(s, db);
    db.damaged = s.input.endedEarly || place.earlierSave;
    if (db.unsupportedType >= 0) return db;
    for (const TableLayout& layout : layouts) {
        s.input.endedEarly = false;
        db.tables.push_back(loadTable(s, toc, layout, db));
        db.damaged = db.damaged || s.input.endedEarly;
    }
    return db;
}

}  // namespace zentoro
