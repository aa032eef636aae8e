// A worksheet as comma-separated values (RFC 4180 quoting, UTF-8).
#pragma once

#include <map>
#include <set>
#include <string>

#include "sheet/workbook.h"

namespace zentoro {

// One field, quoted where it holds a comma, a quotation mark or a line end.
void appendCsvField(std::string& out, const std::string& field);

// The ending of the CSV output for one of several worksheets or tables:
// "-NAME.csv", with the characters a file system would take as a separator
// or refuse made "_".
std::string csvSuffixFor(const std::string& name);

// Chooses each output's ending so that no two are the same but for case
// (one file on Windows): a name taken before gets "-2", "-3", ... before
// ".csv".
class CsvSuffixes {
public:
    std::string unused(const std::string& suffix);

private:
    std::set<std::string> taken_;               // lower case
    std::map<std::string, size_t> nextNumber_;  // by lower-case suffix
};

// Rows 1 to the last used row, columns A to the last used column; a field
// holding a comma, a quotation mark or a line end is quoted, its quotation
// marks doubled. Each row ends in "\n", or "\r\n" with `crlf`.
std::string worksheetCsv(const Worksheet& sheet, bool crlf);

}  // namespace zentoro
