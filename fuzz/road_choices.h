// What a fuzz input chooses besides the document: the name the document is
// given, lower conversion limits for one more run of the roads, the output
// format also written through a C file, and whether the document also goes
// through the entry point that reads and writes streams, the output stream
// sometimes a device that is always full. The choices come from the input's
// last bytes, so that both targets make them alike.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "convert/output_format.h"
#include "reader/conversion_limits.h"

namespace zentoro::fuzzing {

struct RoadChoices {
    // The document's file name, which a file name field shows and pictures
    // written as files are named after: any bytes a file system allows in a
    // name, not always UTF-8.
    std::string documentName = "fuzzed.wrd";
    // Limits low enough to be reached in a few bytes; none: no such run.
    std::optional<ConversionLimits> lowLimits;
    OutputFormat fileFormat = OutputFormat::Text;
    bool throughStreams = false;
    bool streamsToRtf = false;  // through streams to the default RTF, not to fileFormat
    bool fullOutput = false;    // the output stream is a device that is always full
    int fullOutputBuffering = _IOFBF;  // that stream's buffering: _IOFBF, _IOLBF or _IONBF
    bool quietDiagnostics = false;
};

RoadChoices roadChoicesFor(std::span<const uint8_t> input);

}  // namespace zentoro::fuzzing
