#include "ui/batch_summary.h"

namespace zentoro {

namespace {

const char* succeededLabel(ConsoleAction action) {
    switch (action) {
        case ConsoleAction::CheckOnly: return "Word documents";
        case ConsoleAction::DryRun: return "to convert";
        case ConsoleAction::Convert: break;
    }
    return "converted";
}

}  // namespace

void BatchSummary::addFailure(const std::string& path, const std::string& reason) {
    failures_.push_back(Failure{path, reason});
}

void BatchSummary::print(std::FILE* out, ConsoleAction action) const {
    std::fprintf(out, "Summary: %zu %s, %zu skipped (not Word documents), %zu failed\n", succeeded_,
                 succeededLabel(action), skipped_, failures_.size());
    if (failures_.empty()) return;
    std::fputs("Failed:\n", out);
    for (const Failure& failure : failures_) {
        std::fprintf(out, "  %s: %s\n", failure.path.c_str(), failure.reason.c_str());
    }
}

}  // namespace zentoro
