// The messages the converter shows its user, on screen or in a terminal.
#pragma once

namespace zentoro {

inline constexpr const char* ConvertedMessage = "Psion 5 Word file converted to RTF successfully";
inline constexpr const char* ConversionFailedMessage = "Conversion failed";
inline constexpr const char* NotWordFileMessage = "File selected is not a valid Psion 5 Word file";
inline constexpr const char* SuccessCaption = "Success";
inline constexpr const char* FailedCaption = "Failed";

// The output path the converter proposes for an input path.
inline constexpr const char* OutputSuffix = ".rtf";

}  // namespace zentoro
