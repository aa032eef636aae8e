// The text of a Word document, read straight from its text section: what a
// word processor must show once it has read the converted document.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentoro::testing {

// The characters of the document's first text section, one byte each; none
// when the document has no text section or ends inside it.
std::optional<std::string> textSectionBytes(std::string_view document);

// The text as UTF-8: CP1252, with the paragraph end, line break and page
// break (6, 7, 8) read as line ends and 9 as a tab.
std::string readableText(std::string_view textBytes);

}  // namespace zentoro::testing
