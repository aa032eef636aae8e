// Turns a fuzz input into a Word document built with the test-side document
// builder: the input's bytes choose the sections and their order, styles,
// shared formats, layers of attribute records, paragraphs, phrases (object
// phrases among them), the header and footer blocks, page set-up and text.
// Some inputs also choose breakage (wrong lengths, counts of 0xFFFFFFFF,
// positions past the end, truncation), so that the safety paths are reached.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zentoro::fuzzing {

struct FuzzedDocument {
    std::vector<uint8_t> bytes;
    // True when nothing was broken: the document is consistent, and both
    // roads must write the text it holds.
    bool wellFormed = true;
    // True when no style or font name holds a brace or a backslash, which
    // the original translation copies into its RTF as they are.
    bool plainNames = true;
    // The text bytes as the document holds them: the body's (each paragraph
    // ending in 6), the header's and the footer's (empty when absent).
    std::string bodyText;
    std::string headerText;
    std::string footerText;
};

FuzzedDocument decodeFuzzedDocument(std::span<const uint8_t> input);

}  // namespace zentoro::fuzzing
