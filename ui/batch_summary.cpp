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

void BatchSummary::addFailure(const std::string& shownPath, const std::string& reason) {
    failures_.push_back(Failure{shownPath, reason});
}

void BatchSummary::addDamaged(const std::string& shownPath, const std::string& reason) {
    ++damaged_;
    failures_.push_back(Failure{shownPath, reason});
}

std::string BatchSummary::text(ConsoleAction action) const {
    std::string text = "Summary: " + std::to_string(succeeded_) + " " + succeededLabel(action) + ", " +
                       std::to_string(skipped_) + " skipped (not Word documents), ";
    if (kept_ != 0) text += std::to_string(kept_) + " kept (output exists), ";
    if (damaged_ != 0) text += std::to_string(damaged_) + " damaged, partly recovered, ";
    text += std::to_string(failures_.size() - damaged_) + " failed\n";
    if (failures_.empty()) return text;
    text += "Failed:\n";
    for (const Failure& failure : failures_) text += "  " + failure.path + ": " + failure.reason + "\n";
    return text;
}

}  // namespace zentoro
