// An output file that appears whole or not at all: the RTF goes to a
// temporary file created exclusively in the output's folder (one without a
// name where the system allows), which is renamed or linked to the output
// only once it is complete and removed otherwise, so that a failed or
// interrupted conversion never leaves half a file, nor destroys an earlier
// output. A rename replaces a symbolic link at the output path
// rather than writing through it.
#pragma once

#include <cstdio>
#include <string>

#include "reader/failure.h"

namespace zentoro {

// What to do with a file already standing at the output path.
enum class ExistingOutput {
    Replace,           // replace it, whatever it is
    KeepWordDocument,  // replace it unless it is a Word document
    Keep,              // never replace it
};

struct PendingOutput {
    std::string path;           // where the output goes
    std::string temporaryPath;  // empty when written in place
    std::FILE* file = nullptr;
    // A device or FIFO already at the output path is written in place: it
    // cannot be renamed over and holds nothing to keep.
    bool inPlace = false;
    // A temporary file without a name, linked in place when complete: it
    // vanishes with the process, whatever ends it.
    bool unnamed = false;
    // The unnamed file's descriptor when `file` writes to it without owning
    // it; -1 otherwise.
    int descriptor = -1;
    // Nothing stood at the output path when the caller looked: what stands
    // there is checked only if it is in the way when the output is put in place.
    bool absentWhenBegun = false;
    ExistingOutput existing = ExistingOutput::Replace;
    int signalSlot = -1;  // where a signal handler finds the temporary file
};

// Checks what stands at `path` against `existing` and opens where the
// output is written. On failure nothing was created. `absent`: the caller
// has just found nothing at `path` (not even a link), so it is not looked
// at again now; a file that appears there meanwhile is checked against
// `existing` when the output is put in place, as it would have been here.
ConversionResult beginOutput(const char* path, ExistingOutput existing, PendingOutput& output, bool absent = false);

// Closes the output and puts it in place: renamed over the output path when
// `replace`, else only where no file stands. On failure the temporary file
// is removed and whatever stood at the output path is untouched.
ConversionResult commitOutput(PendingOutput& output, bool replace);

// Closes and removes the temporary file; leaves the output path untouched.
void discardOutput(PendingOutput& output);

// Removes the temporary files of the outputs being written, if any, on
// whatever threads. Safe to call from a signal handler. From then on every
// output fails as Interrupted instead of being put in place.
void discardOutputFromSignal();

}  // namespace zentoro
