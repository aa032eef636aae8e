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

// The characters of the header and footer blocks of the document's first
// page layout section; empty for a block that holds no text part. None when
// the document has no such section or ends inside it.
struct HeaderFooterText {
    std::string header;
    std::string footer;
};
std::optional<HeaderFooterText> headerFooterTextBytes(std::string_view document);

// The text as UTF-8: CP1252, with the paragraph end, line break and page
// break (6, 7, 8) read as line ends, 9 and 10 (tabs) as a tab, 15 (visible
// space) as a space, and the hard hyphen, potential hyphen and hard space
// (11, 12, 16) as U+2011, U+00AD and U+00A0.
std::string readableText(std::string_view textBytes);

}  // namespace zentoro::testing
