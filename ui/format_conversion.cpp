#include "ui/format_conversion.h"

#include "convert/convert_to_format.h"

namespace zentoro {

namespace {

struct FormatName {
    const char* name;
    OutputFormat format;
    const char* extension;
};

constexpr FormatName Formats[] = {
    {"rtf", OutputFormat::Rtf, ".rtf"},       {"rtf-faithful", OutputFormat::RtfFaithful, ".rtf"},
    {"text", OutputFormat::Text, ".txt"},     {"html", OutputFormat::Html, ".html"},
    {"markdown", OutputFormat::Markdown, ".md"},
};

FormatConversion unavailable(const char* why) { return {ConversionResult{}, why}; }

}  // namespace

std::optional<OutputFormat> formatNamed(const std::string& name) {
    for (const FormatName& known : Formats) {
        if (name == known.name) return known.format;
    }
    return std::nullopt;
}

const char* extensionOf(OutputFormat format) {
    for (const FormatName& known : Formats) {
        if (format == known.format) return known.extension;
    }
    return ".rtf";
}

FormatConversion convertToFormat(const ConversionRequest& request, const ConsoleOptions& options) {
    switch (options.format) {
        case OutputFormat::Rtf: return {runConversion(request), nullptr};
        case OutputFormat::RtfFaithful:
        case OutputFormat::Text:
        case OutputFormat::Html:
        case OutputFormat::Markdown: {
            WriteOptions writeOptions;
            writeOptions.withHeaderFooter = options.withHeaderFooter;
            return {convertRequestTo(options.format, request, writeOptions), nullptr};
        }
    }
    return unavailable("unknown output format");
}

}  // namespace zentoro
