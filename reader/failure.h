// Why a conversion failed. Both conversions, and every front end, report
// failures through these; convert/failure_description.h tells them in words.
#pragma once

#include <cstdint>

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
    NotSupported,          // a kind or variant of file that cannot be read yet (the conversion says which)
};

// What made a damaged document damaged, as far as its reading can tell.
enum class Damage {
    None,
    EndsEarly,            // the file is cut short: its section table lay past its end
    SectionTableDamaged,  // the section table is there but names no usable section
    PartsUnreadable,      // a section runs past the end or holds what cannot be read
};

// What a reading of a damaged document still found: the words and
// paragraphs of its body that the output holds.
struct Recovery {
    Damage damage = Damage::None;
    uint64_t words = 0;
    uint64_t paragraphs = 0;

    bool anything() const { return words != 0 || paragraphs != 0; }
};

// What happened to one conversion: Failure::None, or the failure and, for
// failures of the system, its errno value (0 when there is none).
struct ConversionResult {
    Failure failure = Failure::None;
    int systemError = 0;
    // A conversion that failed on its input left what it had converted at
    // the output path, where no file stood before.
    bool partialOutputKept = false;
    // A DocumentDamaged of a conversion through the document model: why,
    // and what of the document its output holds. Damage::None elsewhere.
    Recovery recovered = {};

    // The document was damaged and read as far as it goes, with something to show.
    bool salvaged() const { return failure == Failure::DocumentDamaged && recovered.anything(); }

    bool succeeded() const { return failure == Failure::None; }
};

}  // namespace zentoro
