#include "ui/failure_messages.h"

#include <cstring>

#include "convert/failure_description.h"
#include "ui/dialog_messages.h"

namespace zentoro {

namespace {

std::string systemReason(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

std::string conversionFailed(const std::string& why) { return std::string(ConversionFailedMessage) + ": " + why; }

// What became of the output of a conversion that failed on its input.
std::string partialOutputNote(const ConversionResult& result, const std::string& shownOutput, bool toStream) {
    if (toStream) return " (what could be converted went to " + shownOutput + ")";
    if (result.partialOutputKept) return " (what could be converted is in " + shownOutput + ")";
    return " (nothing written to " + shownOutput + ")";
}

// 1204 as "1,204".
std::string withThousands(uint64_t number) {
    std::string digits = std::to_string(number);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

// "damaged (the file ends early): recovered 1,204 words in 37 paragraphs into cut.wrd.rtf"
std::string damagedReason(const ConversionResult& result, const std::string& shownOutput, bool toStream) {
    const Recovery& recovered = result.recovered;
    std::string reason = std::string("damaged (") + describeDamage(recovered.damage) + ")";
    if (!recovered.anything()) return reason + ": nothing could be recovered";
    reason += ": recovered " + withThousands(recovered.words) + (recovered.words == 1 ? " word" : " words") + " in " +
              withThousands(recovered.paragraphs) + (recovered.paragraphs == 1 ? " paragraph" : " paragraphs");
    if (toStream || result.partialOutputKept) return reason + " into " + shownOutput;
    return reason + ", not written: " + shownOutput + " was there already";
}

}  // namespace

std::string damageFound(const ConversionResult& result) {
    const Recovery& recovered = result.recovered;
    std::string found = std::string("damaged (") + describeDamage(recovered.damage) + ")";
    if (!recovered.anything()) return found + ": nothing can be recovered";
    return found + ": " + withThousands(recovered.words) + (recovered.words == 1 ? " word" : " words") + " in " +
           withThousands(recovered.paragraphs) + (recovered.paragraphs == 1 ? " paragraph" : " paragraphs") +
           " can be recovered";
}

std::string failureReason(const ConversionResult& result, const std::string& shownOutput, bool toStream) {
    switch (result.failure) {
        case Failure::None: return {};
        case Failure::InputUnopenable: return "cannot open: " + systemReason(result.systemError);
        case Failure::InputNotRegularFile: return "not a regular file";
        case Failure::NotWordDocument: return "not a Word document";
        case Failure::SameFile: return "refusing to write the output over the input file";
        case Failure::OutputIsWordDocument: return "refusing to replace the Word document " + shownOutput;
        case Failure::OutputExists: return shownOutput + " exists and was kept";
        case Failure::Interrupted: return "interrupted";
        case Failure::NotSupported: return describeFailure(result.failure);
        case Failure::OutputUnwritable:
            return conversionFailed("cannot write " + shownOutput + ": " + systemReason(result.systemError));
        case Failure::OutOfMemory: return conversionFailed(describeFailure(result.failure));
        case Failure::InputUnreadable:
            return conversionFailed("cannot read: " + systemReason(result.systemError)) +
                   partialOutputNote(result, shownOutput, toStream);
        case Failure::DocumentDamaged:
            if (result.recovered.damage != Damage::None) return damagedReason(result, shownOutput, toStream);
            [[fallthrough]];
        case Failure::LimitReached:
            return conversionFailed(describeFailure(result.failure)) + partialOutputNote(result, shownOutput, toStream);
    }
    return ConversionFailedMessage;
}

}  // namespace zentoro
