// Why a conversion failed. Both conversions, and every front end, report
// failures through these, so that a person is told the cause in the same
// words wherever it shows.
#pragma once

namespace zentoro {

enum class Failure {
    None,
    InputUnreadable,   // the input could not be opened or read (systemError says why)
    NotWordDocument,   // the header does not carry the three UIDs of a Word document
    SameFile,          // the output names the input itself
    OutputUnwritable,  // the output could not be created, written or put in place (systemError)
    DocumentDamaged,   // the document ends early or points outside itself
    LimitReached,      // the document would make the conversion write or read without end
    OutOfMemory,
    InputUnopenable,       // the input could not be opened (systemError says why)
    InputNotRegularFile,   // the input is a folder, device, FIFO or socket: never read
    OutputIsWordDocument,  // the output path holds a Word document, which is never replaced
    OutputExists,          // a file stands at the output path and was asked to be kept
    Interrupted,           // a signal ended the conversion; its output was discarded
};

// What happened to one conversion: Failure::None, or the failure and, for
// failures of the system, its errno value (0 when there is none).
struct ConversionResult {
    Failure failure = Failure::None;
    int systemError = 0;
    // A conversion that failed on its input left what it had converted at
    // the output path, where no file stood before.
    bool partialOutputKept = false;

    bool succeeded() const { return failure == Failure::None; }
};

// The failure in a few words, for a report line: "the document ends early
// or points outside itself". The empty string for Failure::None.
constexpr const char* describeFailure(Failure failure) {
    switch (failure) {
        case Failure::None: return "";
        case Failure::InputUnreadable: return "cannot read the document";
        case Failure::NotWordDocument: return "not a Word document";
        case Failure::SameFile: return "the output would replace the document itself";
        case Failure::OutputUnwritable: return "cannot write the output";
        case Failure::DocumentDamaged: return "the document ends early or points outside itself";
        case Failure::LimitReached: return "the document would make the conversion run without end";
        case Failure::OutOfMemory: return "not enough memory";
        case Failure::InputUnopenable: return "cannot open the document";
        case Failure::InputNotRegularFile: return "not a regular file";
        case Failure::OutputIsWordDocument: return "the output would replace a Word document";
        case Failure::OutputExists: return "the output already exists";
        case Failure::Interrupted: return "interrupted";
    }
    return "";
}

}  // namespace zentoro
