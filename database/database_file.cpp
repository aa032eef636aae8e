#include "database/database_file.h"

#include <string>

#include "database/read_database.h"
#include "reader/store_file.h"
#include "sheet/csv_writer.h"

namespace zentoro {

namespace {

constexpr uint32_t DatabaseUid = 0x10000050;
constexpr uint32_t OplDatabaseUid = 0x1000008A;
constexpr uint32_t DataUid = 0x10000086;

void appendCsvRow(std::string& out, const std::vector<std::string>& values, const char* lineEnd) {
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += ',';
        appendCsvField(out, values[i]);
    }
    out += lineEnd;
}

std::string tableCsv(const DatabaseTable& table, bool crlf) {
    const char* lineEnd = crlf ? "\r\n" : "\n";
    std::string out;
    appendCsvRow(out, table.fields, lineEnd);
    for (const std::vector<std::string>& record : table.records) appendCsvRow(out, record, lineEnd);
    return out;
}

KindConversion failed(Failure failure, std::string detail) {
    KindConversion conversion;
    conversion.result.failure = failure;
    conversion.detail = std::move(detail);
    return conversion;
}

KindConversion convertDatabase(const unsigned char* data, size_t size, const KindOptions& options) {
    std::string store = withoutPageMarkers(data, size);
    Database db = readDatabase(reinterpret_cast<const unsigned char*>(store.data()), store.size());
    if (db.unsupportedType >= 0) {
        return failed(Failure::NotSupported, "database field of type " + std::to_string(db.unsupportedType));
    }
    if (db.limitReached) return failed(Failure::LimitReached, "more records than the file can hold");
    KindConversion conversion;
    CsvSuffixes suffixes;
    for (const DatabaseTable& table : db.tables) {
        conversion.files.push_back({suffixes.unused(csvSuffixFor(table.name)), tableCsv(table, options.crlfLineEnds)});
    }
    size_t count = conversion.files.size();
    conversion.summary = std::to_string(count) + (count == 1 ? " table" : " tables");
    if (db.damaged) {
        conversion.result.failure = Failure::DocumentDamaged;
        conversion.detail = "database cut short";
    }
    return conversion;
}

}  // namespace

bool isOplDatabaseFile(const unsigned char* data, size_t size) {
    return startsWithUids(data, size, DatabaseUid, OplDatabaseUid, 0);
}

// Data files are recognised with either first UID; only those of the
// database store are read.
bool isDataFile(const unsigned char* data, size_t size) {
    return startsWithUids(data, size, DatabaseUid, ApplicationDocumentUid, DataUid) ||
           startsWithUids(data, size, SectionedFileUid, ApplicationDocumentUid, DataUid);
}

KindConversion convertOplDatabaseFile(const unsigned char* data, size_t size, const KindOptions& options) {
    if (!isOplDatabaseFile(data, size)) return failed(Failure::NotWordDocument, "not a database");
    return convertDatabase(data, size, options);
}

KindConversion convertDataFile(const unsigned char* data, size_t size, const KindOptions& options) {
    if (!isDataFile(data, size)) return failed(Failure::NotWordDocument, "not a Data file");
    if (!startsWithUids(data, size, DatabaseUid, ApplicationDocumentUid, DataUid)) {
        return failed(Failure::NotSupported, "Data file of another store");
    }
    return convertDatabase(data, size, options);
}

}  // namespace zentoro
