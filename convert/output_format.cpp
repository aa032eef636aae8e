#include "convert/output_format.h"

namespace zentoro {

namespace {

struct FormatEntry {
    OutputFormat format;
    std::string_view name;
    std::string_view extension;
};

constexpr FormatEntry Formats[] = {
    {OutputFormat::Rtf, "rtf", ".rtf"},
    {OutputFormat::RtfFaithful, "rtf-faithful", ".rtf"},
    {OutputFormat::Text, "text", ".txt"},
    {OutputFormat::Html, "html", ".html"},
    {OutputFormat::Markdown, "markdown", ".md"},
};

const FormatEntry& entryFor(OutputFormat format) {
    for (const FormatEntry& entry : Formats) {
        if (entry.format == format) return entry;
    }
    return Formats[0];
}

}  // namespace

std::optional<OutputFormat> outputFormatNamed(std::string_view name) {
    for (const FormatEntry& entry : Formats) {
        if (entry.name == name) return entry.format;
    }
    return std::nullopt;
}

std::string_view outputFormatName(OutputFormat format) { return entryFor(format).name; }

std::string_view outputExtension(OutputFormat format) { return entryFor(format).extension; }

}  // namespace zentoro
