// The messages the converter shows its user, on screen or in a terminal.
#pragma once

#include "convert/output_format.h"

namespace zentoro {

inline constexpr const char* ConvertedMessage = "Psion 5 Word file converted to RTF successfully";
inline constexpr const char* ConvertedToTextMessage = "Psion 5 Word file converted to plain text successfully";
inline constexpr const char* ConvertedToHtmlMessage = "Psion 5 Word file converted to HTML successfully";
inline constexpr const char* ConvertedToMarkdownMessage = "Psion 5 Word file converted to Markdown successfully";
inline constexpr const char* ConversionFailedMessage = "Conversion failed";
inline constexpr const char* NotWordFileMessage = "File selected is not a valid Psion 5 Word file";
inline constexpr const char* SuccessCaption = "Success";
inline constexpr const char* FailedCaption = "Failed";

// What a successful conversion to `format` reports: both RTF outputs say RTF.
constexpr const char* convertedMessageFor(OutputFormat format) {
    switch (format) {
        case OutputFormat::Text: return ConvertedToTextMessage;
        case OutputFormat::Html: return ConvertedToHtmlMessage;
        case OutputFormat::Markdown: return ConvertedToMarkdownMessage;
        default: return ConvertedMessage;
    }
}

// The output path the converter proposes for an input path.
inline constexpr const char* OutputSuffix = ".rtf";

}  // namespace zentoro
