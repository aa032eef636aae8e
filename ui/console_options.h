// What the command line asked for, once parsed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/file_kinds.h"
#include "convert/output_format.h"
#include "reader/converted_files.h"

namespace zentoro {

enum class ConsoleAction { Convert, CheckOnly, DryRun };

// The name an output path takes when the input is "-" or "-o -" is given.
inline constexpr const char* StandardStreamName = "-";

struct ConsoleOptions {
    std::vector<std::string> inputs;        // files and folders, in command-line order; "-" is standard input
    std::optional<std::string> outputPath;  // -o: the output of the one input file; "-" is standard output
    std::optional<std::string> outputDir;   // --output-dir: outputs mirror the inputs under it
    ConsoleAction action = ConsoleAction::Convert;
    OutputFormat format = OutputFormat::RtfFaithful;
    bool withHeaderFooter = false;                 // text outputs: include the header and footer
    std::optional<std::string> extractPicturesDir;  // write the document's pictures there
    int codePage = 1252;     // of the documents' text, for the outputs read through the model
    bool verbose = false;    // also report the files a folder walk passes over
    bool quiet = false;      // report only failures and the summary
    bool noClobber = false;  // keep every existing output; its input counts as skipped
    // --kinds: the families of files a folder walk converts; empty: every one.
    std::vector<KindFamily> kinds;
    // Threads converting files at once; 0, as the command line leaves it:
    // one per processor core.
    unsigned workers = 0;
    KindOptions kindOptions;  // --sound, --crlf: for the kinds they concern
};

// Whether a walk converts files of `family`.
inline bool convertsFamily(const ConsoleOptions& options, KindFamily family) {
    if (options.kinds.empty()) return true;
    for (KindFamily chosen : options.kinds) {
        if (chosen == family) return true;
    }
    return false;
}

}  // namespace zentoro
