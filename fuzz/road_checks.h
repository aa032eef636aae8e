// Runs every conversion road over one input and checks what the fuzz
// targets and the regression replay require of it, beyond the absence of
// crashes, sanitizer reports, leaks and time-outs.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "fuzz/fuzzed_document.h"

namespace zentoro::fuzzing {

// What one road did with an input: its result and everything it wrote.
struct RoadRun {
    int result = -1;
    std::string output;
    bool operator==(const RoadRun&) const = default;
};

// The original streaming translation to RTF, with its conversion limits.
RoadRun runOriginalRoad(std::span<const uint8_t> bytes);

// Checks that hold for any bytes: each road returns 0 or 1 and writes the
// same output when run twice. Empty when all hold, else the first failure.
std::string checkAnyInput(std::span<const uint8_t> bytes);

// The checks of any input, and for a document built well formed: the
// original road succeeds, its RTF is complete, and the text a reader sees
// in it is the header's, the footer's and the body's text, in that order.
std::string checkBuiltDocument(const FuzzedDocument& document);

}  // namespace zentoro::fuzzing
