// The one place where a document is converted on the command line: the
// output format picks the writer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/zentoro.h"
#include "ui/console_options.h"

namespace zentoro {

// Parses a --to name: rtf, rtf-faithful, text, html, markdown.
std::optional<OutputFormat> formatNamed(const std::string& name);

// What an output of the format ends in: ".rtf", ".txt", ".html", ".md".
const char* extensionOf(OutputFormat format);

struct FormatConversion {
    ConversionResult result;
    // Why the conversion could not be run in this build at all, or null.
    const char* unavailable = nullptr;
};

// Converts the request's document to the chosen format with the options
// that go with it.
FormatConversion convertToFormat(const ConversionRequest& request, const ConsoleOptions& options);

// The picture files convertToFormat would write beside the request's output
// path (Markdown's), writing nothing; none when the document cannot be read.
std::vector<std::string> pictureFilesBeside(const ConversionRequest& request, const ConsoleOptions& options);

}  // namespace zentoro
