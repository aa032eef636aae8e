// Every failure of a conversion in a few words, the same wherever it is
// shown to a person. Most failures come from files, which only convert/
// opens and writes, so the words live here and not beside the reasons.
#pragma once

#include "reader/failure.h"

namespace zentoro {

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
        case Failure::NotSupported: return "not yet supported";
    }
    return "";
}

// What made a document damaged, for "damaged (the file ends early)".
constexpr const char* describeDamage(Damage damage) {
    switch (damage) {
        case Damage::None: return "";
        case Damage::EndsEarly: return "the file ends early";
        case Damage::SectionTableDamaged: return "its section table is damaged";
        case Damage::PartsUnreadable: return "parts of it cannot be read";
    }
    return "";
}

}  // namespace zentoro
