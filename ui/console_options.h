// What the command line asked for, once parsed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/output_format.h"

namespace zentoro {

enum class ConsoleAction { Convert, CheckOnly, DryRun };

struct ConsoleOptions {
    std::vector<std::string> inputs;        // files and folders, in command-line order
    std::optional<std::string> outputPath;  // -o: the output of the one input file
    std::optional<std::string> outputDir;   // --output-dir: outputs mirror the inputs under it
    ConsoleAction action = ConsoleAction::Convert;
    bool verbose = false;  // also report the files a folder walk passes over
    bool faithful = false; // write the faithful conversion instead of the default one
    OutputFormat format = OutputFormat::Rtf;  // -t/--to
    bool withHeaderFooter = false;            // text and Markdown: also the header and footer
    std::optional<std::string> pictureDir;  // --extract-pictures: also write each sketch as PNG here
};

}  // namespace zentoro
