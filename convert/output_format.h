// The outputs a document can be converted to, by name, and the extension
// each output file gets.
#pragma once

#include <optional>
#include <string_view>

namespace zentoro {

enum class OutputFormat {
    Rtf,          // the default RTF translation
    RtfFaithful,  // RTF from the document model, keeping every formatting detail
    Text,
    Html,
    Markdown,
};

// "rtf", "rtf-faithful", "text", "html" or "markdown"; nothing for another name.
std::optional<OutputFormat> outputFormatNamed(std::string_view name);

std::string_view outputFormatName(OutputFormat format);

// ".rtf", ".txt", ".html" or ".md": what is appended to the input path.
std::string_view outputExtension(OutputFormat format);

}  // namespace zentoro
