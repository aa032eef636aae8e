#include "convert/output_format.h"

#include "convert/ascii_case.h"

namespace zentoro {

namespace {

struct FormatEntry {
    OutputFormat format;
    std::string_view name;
    std::string_view extension;
};

constexpr FormatEntry Formats[] = {
    {OutputFormat::RtfFaithful, "rtf", ".rtf"},
    {OutputFormat::Rtf, "rtf-original", ".rtf"},
    {OutputFormat::Text, "text", ".txt"},
    {OutputFormat::Html, "html", ".html"},
    {OutputFormat::Markdown, "markdown", ".md"},
};

struct OtherSpelling {
    std::string_view name;
    OutputFormat format;
};

// Extensions of the formats' files besides their own.
constexpr OtherSpelling OtherExtensions[] = {
    {".htm", OutputFormat::Html},
    {".markdown", OutputFormat::Markdown},
};

// Names kept from earlier versions, and the usual short forms.
constexpr OtherSpelling OtherSpellings[] = {
    {"rtf-faithful", OutputFormat::RtfFaithful},
    {"txt", OutputFormat::Text},
    {"htm", OutputFormat::Html},
    {"md", OutputFormat::Markdown},
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
        if (equalIgnoringCase(name, entry.name)) return entry.format;
    }
    for (const OtherSpelling& other : OtherSpellings) {
        if (equalIgnoringCase(name, other.name)) return other.format;
    }
    return std::nullopt;
}

std::string_view outputFormatName(OutputFormat format) { return entryFor(format).name; }

std::string outputFormatNames() {
    std::string names;
    for (const FormatEntry& entry : Formats) {
        if (!names.empty()) names += ", ";
        names += entry.name;
    }
    return names;
}

std::string_view outputExtension(OutputFormat format) { return entryFor(format).extension; }

std::optional<OutputFormat> outputFormatOfFileName(std::string_view path) {
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find_first_of("/\\", dot) != std::string_view::npos) return std::nullopt;
    std::string_view extension = path.substr(dot);
    for (const FormatEntry& entry : Formats) {
        if (equalIgnoringCase(extension, entry.extension)) return entry.format;
    }
    for (const OtherSpelling& other : OtherExtensions) {
        if (equalIgnoringCase(extension, other.name)) return other.format;
    }
    return std::nullopt;
}

}  // namespace zentoro
