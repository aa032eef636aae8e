// Converts one file of a kind from the table (convert/file_kinds.h) other
// than the Word document: reads it whole, hands it to its kind's reader and
// writes each output the reader made beside the output base, every one
// whole or not at all. An output never replaces the input, nor any file of
// a kind the table knows: it may be another input, or the only copy.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "convert/file_kinds.h"
#include "convert/output_file.h"
#include "reader/converted_files.h"

namespace zentoro {

// The largest file of any kind but the Word document that is read: the
// device's files of these kinds are kilobytes, a recording of an hour 28 MiB.
inline constexpr size_t MaxKindFileBytes = 64u * 1024 * 1024;

struct KindFileRequest {
    const FileKindEntry* kind = nullptr;
    const char* inputPath = nullptr;
    bool followInputLink = true;
    // Each output is this with its suffix appended: "backup/Sketch" + ".png".
    std::string outputBase;
    // The base is the output's name as the user gave it: where it already
    // ends in an output's extension it is taken as it is ("drawn.png"), and
    // numbered outputs drop that extension ("drawn-1.png", "drawn-2.png").
    bool outputNamed = false;
    ExistingOutput existingOutput = ExistingOutput::KeepWordDocument;
    KindOptions options;
};

// An output the reader gave, and whether it was (or would be) left as the
// file standing there was (ExistingOutput::Keep).
struct KindOutput {
    std::string path;
    bool kept = false;
};

struct KindFileConversion {
    // The input's failure (DocumentDamaged keeps what was recovered), or the
    // first output that could not be written.
    ConversionResult result;
    std::string summary;  // "12 pictures"
    std::string detail;   // more about a damaged or refused file
    std::vector<std::string> warnings;
    std::vector<std::string> written;  // the output paths, in the reader's order
    std::vector<KindOutput> outputs;   // those written and those kept, in the reader's order
    // The output that could not be written; with refusedKind, the file of
    // a known kind that stands there and is never replaced (result
    // OutputUnwritable, EEXIST).
    std::string failedOutput;
    const FileKindEntry* refusedKind = nullptr;
};

KindFileConversion convertFileOfKind(const KindFileRequest& request);

// The same reading and the same checks of each output as convertFileOfKind,
// writing nothing: `written` names each output it would write, `outputs`
// also each it would keep, and the result is the failure it would meet,
// as far as it can be known before writing.
KindFileConversion listKindFileOutputs(const KindFileRequest& request);

}  // namespace zentoro
