// The tally of a run over folders, by kind of file, printed at its end.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "convert/file_kinds.h"
#include "ui/console_options.h"

namespace zentoro {

class BatchSummary {
public:
    void addSucceeded(const FileKindEntry& kind) { ++count(succeeded_, &kind); }
    // `kind` null: a file of no known kind.
    void addPassedOver(const FileKindEntry* kind) { ++count(passedOver_, kind); }
    void addEarlierOutput() { ++earlierOutputs_; }
    void addSpecialFile() { ++specialFiles_; }
    void addKept() { ++kept_; }
    // `shownPath` as report lines show it (escaped).
    void addFailure(const std::string& shownPath, const std::string& reason);
    // A damaged document of which something was recovered: a failure
    // counted on its own.
    void addDamaged(const std::string& shownPath, const std::string& reason);
    bool anyFailed() const { return !failures_.empty(); }

    // "Summary: 23 converted: 20 Word documents, 3 sketches; 5 passed over:
    // 1 spreadsheet, 4 other; 1 failed\n", kinds in the table's order, with
    // "4 earlier outputs", "2 links and special files" and "2 kept (output
    // exists)" before the failures where there were any, then one line per
    // failure.
    // "Summary: 3 converted, 5 skipped (not Word documents), 1 failed\n",
    // with "2 kept (output exists)" and "3 damaged, partly recovered"
    // before the failures when there are such, then one line per failure
    // or damaged document.
    std::string text(ConsoleAction action) const;

private:
    struct Count {
        const FileKindEntry* kind;
        size_t files;
    };
    static size_t& count(std::vector<Count>& counts, const FileKindEntry* kind);
    static std::string byKind(const std::vector<Count>& counts);

    struct Failure {
        std::string path;
        std::string reason;
    };
    std::vector<Count> succeeded_;
    std::vector<Count> passedOver_;
    size_t kept_ = 0;
    size_t earlierOutputs_ = 0;  // outputs of an earlier run beside their documents
    size_t specialFiles_ = 0;    // links to folders, dangling links, devices, FIFOs
    size_t damaged_ = 0;
    std::vector<Failure> failures_;
};

}  // namespace zentoro
