// Runs every conversion road over one input and checks what the fuzz
// targets and the regression replay require of it, beyond the absence of
// crashes, sanitizer reports, leaks and time-outs.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "convert/output_format.h"
#include "convert/rtf_translation.h"
#include "fuzz/fuzzed_document.h"
#include "fuzz/road_choices.h"
#include "write/write_options.h"

namespace zentoro::fuzzing {

// What one road did with an input: its result and everything it wrote.
struct RoadRun {
    int result = -1;
    std::string output;
    bool operator==(const RoadRun&) const = default;
};

// The original streaming translation to RTF, with its conversion limits;
// its result is the Failure value.
RoadRun runOriginalRoad(std::span<const uint8_t> bytes);
// The same with other limits, or the layer caches on for smaller inputs.
RoadRun runOriginalRoad(std::span<const uint8_t> bytes, const TranslationSettings& settings);
// A conversion through the document model to one output (the faithful RTF,
// text, HTML or Markdown; by default with the header and footer, pictures
// as data URIs), with the same limits; its result is the Failure value.
RoadRun runModelRoad(OutputFormat format, std::span<const uint8_t> bytes);
RoadRun runModelRoad(OutputFormat format, std::span<const uint8_t> bytes, const WriteOptions& options);
// The same with other limits.
RoadRun runModelRoad(OutputFormat format, std::span<const uint8_t> bytes, const WriteOptions& options,
                     const ConversionLimits& limits);
// The faithful RTF written by the writer from the whole model, read first:
// what the streamed faithful conversion must write too.
RoadRun runFaithfulRoad(std::span<const uint8_t> bytes);
// The faithful conversion as the command line runs it, writing the body as
// it reads it.
RoadRun runStreamedFaithfulRoad(std::span<const uint8_t> bytes);

// The text of a document model: the header's paragraphs, the footer's, then
// the body's, each paragraph's runs (text and field expansions) followed by
// a line feed.
std::string modelText(std::span<const uint8_t> bytes);
// The same as a document's text bytes should give it: CP1252 as UTF-8, the
// paragraph end as a line feed, the device's special characters as the
// model's code points, and the bytes that show nothing left out.
std::string expectedModelText(std::string_view documentText);

// Checks that hold for any bytes: each road returns a result it may return
// for bytes in memory and writes the same output when run twice; of a
// conversion that succeeded, the faithful RTF is well formed and the text,
// HTML and Markdown are valid UTF-8; the streamed faithful conversion has
// the result and the RTF of the one from the whole model. The original road
// writes the same with its layer caches on as off; with the chosen lower
// limits a road writes what it wrote without them, or stops at a limit; a
// writer writes the same to a C file as to memory, and the entry point over
// streams the same as the one over memory. Empty when all hold, else the
// first failure. Without choices, the input's last bytes make them.
std::string checkAnyInput(std::span<const uint8_t> bytes);
std::string checkAnyInput(std::span<const uint8_t> bytes, const RoadChoices& choices);

// The checks of any input, and for a document built well formed: every
// road through the model succeeds; the model holds the document's text; the original road's
// RTF is complete and the text a reader sees in it is the header's, the
// footer's and the body's text, in that order.
std::string checkBuiltDocument(const FuzzedDocument& document);

}  // namespace zentoro::fuzzing
