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

#include "fuzz/road_choices.h"

namespace zentoro::fuzzing {

struct FuzzedDocument {
    std::vector<uint8_t> bytes;
    // True when nothing was broken: the document is consistent, and both
    // roads must write the text it holds.
    bool wellFormed = true;
    // True when the document stays within what the original translation
    // reads whole: no style or font name holds a brace or a backslash (it
    // copies names as they are), and a page layout has both header and
    // footer blocks present with empty base layers (it reads a block's
    // start as 13 fixed bytes).
    bool originalReadsItWhole = true;
    // The text bytes as the document holds them: the body's (each paragraph
    // ending in 6), the header's and the footer's (empty when absent).
    std::string bodyText;
    std::string headerText;
    std::string footerText;
    // How the roads run besides their defaults.
    RoadChoices roads;
};

FuzzedDocument decodeFuzzedDocument(std::span<const uint8_t> input);

}  // namespace zentoro::fuzzing
