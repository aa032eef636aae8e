#include "ui/batch_summary.h"

#include <algorithm>

namespace zentoro {

namespace {

const char* succeededLabel(ConsoleAction action) {
    switch (action) {
        case ConsoleAction::CheckOnly: return "found";
        case ConsoleAction::DryRun: return "to convert";
        case ConsoleAction::Convert: break;
    }
    return "converted";
}

// Where a kind stands in the summary: the table's order, files of no known
// kind last.
size_t rank(const FileKindEntry* kind) {
    std::span<const FileKindEntry> kinds = fileKinds();
    return kind == nullptr ? kinds.size() : static_cast<size_t>(kind - kinds.data());
}

}  // namespace

size_t& BatchSummary::count(std::vector<Count>& counts, const FileKindEntry* kind) {
    auto at = std::lower_bound(counts.begin(), counts.end(), rank(kind),
                               [](const Count& count, size_t wanted) { return rank(count.kind) < wanted; });
    if (at == counts.end() || at->kind != kind) at = counts.insert(at, Count{kind, 0});
    return at->files;
}

// "": nothing; ": 20 Word documents, 3 sketches, 4 other" otherwise.
std::string BatchSummary::byKind(const std::vector<Count>& counts) {
    std::string text;
    for (const Count& count : counts) {
        text += text.empty() ? ": " : ", ";
        text += std::to_string(count.files) + " ";
        if (count.kind == nullptr) {
            text += "other";
        } else {
            text += count.files == 1 ? count.kind->one : count.kind->many;
        }
    }
    return text;
}

void BatchSummary::addFailure(const std::string& shownPath, const std::string& reason) {
    failures_.push_back(Failure{shownPath, reason});
}

void BatchSummary::addDamaged(const std::string& shownPath, const std::string& reason) {
    ++damaged_;
    failures_.push_back(Failure{shownPath, reason});
}

std::string BatchSummary::text(ConsoleAction action) const {
    auto total = [](const std::vector<Count>& counts) {
        size_t files = 0;
        for (const Count& count : counts) files += count.files;
        return std::to_string(files);
    };
    std::string text = "Summary: " + total(succeeded_) + " " + succeededLabel(action) + byKind(succeeded_) + "; " +
                       total(passedOver_) + " passed over" + byKind(passedOver_) + "; ";
    if (earlierOutputs_ != 0) {
        text += std::to_string(earlierOutputs_) + (earlierOutputs_ == 1 ? " earlier output; " : " earlier outputs; ");
    }
    if (specialFiles_ != 0) {
        text += std::to_string(specialFiles_) + (specialFiles_ == 1 ? " link or special file; " : " links and special files; ");
    }
    if (kept_ != 0) text += std::to_string(kept_) + " kept (output exists); ";
    if (damaged_ != 0) text += std::to_string(damaged_) + " damaged, partly recovered; ";
    text += std::to_string(failures_.size() - damaged_) + " failed\n";
    if (failures_.empty()) return text;
    text += "Failed:\n";
    for (const Failure& failure : failures_) text += "  " + failure.path + ": " + failure.reason + "\n";
    return text;
}

}  // namespace zentoro
