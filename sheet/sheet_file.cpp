#include "sheet/sheet_file.h"

#include "reader/store_file.h"
#include "sheet/csv_writer.h"
#include "sheet/read_workbook.h"

namespace zentoro {

namespace {

constexpr uint32_t SheetUid = 0x10000088;

}  // namespace

bool isSheetFile(const unsigned char* data, size_t size) {
    return startsWithUids(data, size, SectionedFileUid, ApplicationDocumentUid, SheetUid);
}

KindConversion convertSheetFile(const unsigned char* data, size_t size, const KindOptions& options) {
    KindConversion conversion;
    if (!isSheetFile(data, size)) {
        conversion.result.failure = Failure::NotWordDocument;
        conversion.detail = "not a spreadsheet";
        return conversion;
    }
    Workbook book = readWorkbook(data, size);
    if (book.encrypted) {
        conversion.result.failure = Failure::NotSupported;
        conversion.detail = "password-protected spreadsheet";
        return conversion;
    }
    CsvSuffixes suffixes;
    for (const Worksheet& sheet : book.sheets) {
        std::string suffix = book.sheets.size() == 1 ? ".csv" : suffixes.unused(csvSuffixFor(sheet.name));
        conversion.files.push_back({std::move(suffix), worksheetCsv(sheet, options.crlfLineEnds)});
    }
    size_t count = conversion.files.size();
    conversion.summary = std::to_string(count) + (count == 1 ? " worksheet" : " worksheets");
    if (book.damaged) {
        conversion.result.failure = Failure::DocumentDamaged;
        conversion.detail = "spreadsheet cut short";
    }
    return conversion;
}

}  // namespace zentoro
