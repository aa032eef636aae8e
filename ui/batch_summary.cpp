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

std::string BatchSummary::text(ConsoleAction action) const {
    std::string text = "Summary: " + std::to_string(succeeded_) + " " + succeededLabel(action) + ", " +
                       std::to_string(skipped_) + " skipped (not Word documents), ";
    if (earlierOutputs_ != 0) {
        text += std::to_string(earlierOutputs_) + (earlierOutputs_ == 1 ? " earlier output, " : " earlier outputs, ");
    }
    if (passedOver_ != 0) text += std::to_string(passedOver_) + " passed over (links and special files), ";
    if (kept_ != 0) text += std::to_string(kept_) + " kept (output exists), ";
    text += std::to_string(failures_.size()) + " failed\n";
    if (failures_.empty()) return text;
    text += "Failed:\n";
    for (const Failure& failure : failures_) text += "  " + failure.path + ": " + failure.reason + "\n";
    return text;
}

}  // namespace zentoro
