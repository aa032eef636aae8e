// The outputs a document can be converted to, by name, and the extension
// each output file gets.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentoro {

enum class OutputFormat {
    Rtf,          // the original design's streaming RTF translation ("rtf-original")
    RtfFaithful,  // RTF from the document model, keeping every formatting detail ("rtf")
    Text,
    Html,
    Markdown,
};

// "rtf" (the faithful RTF), "rtf-original", "text", "html" or "markdown",
// in any case, or one of the spellings "rtf-faithful", "txt", "htm", "md";
// nothing for another name.
std::optional<OutputFormat> outputFormatNamed(std::string_view name);

// The format's own name: "rtf", "rtf-original", "text", "html", "markdown".
std::string_view outputFormatName(OutputFormat format);

// Every format's own name, for a message: "rtf, rtf-original, text, html, markdown".
std::string outputFormatNames();

// ".rtf", ".txt", ".html" or ".md": what is appended to the input path.
std::string_view outputExtension(OutputFormat format);

// The format an output file named `path` would hold, by its extension in
// any case: ".rtf" (the faithful RTF), ".txt", ".html", ".htm", ".md" or
// ".markdown"; nothing for another name.
std::optional<OutputFormat> outputFormatOfFileName(std::string_view path);

}  // namespace zentoro
