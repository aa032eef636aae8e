// What converting one file of any kind gives: the files it made, in memory,
// and how it went. Every kind's reader returns this, so that convert/ can
// write, list or refuse its outputs the same way whatever the kind.
#pragma once

#include <string>
#include <vector>

#include "reader/failure.h"

namespace zentoro {

// One output file: the ending appended to the output's base name (".png",
// "-1.png", "-Sheet1.csv", ".wav") and its whole contents.
struct ConvertedFile {
    std::string suffix;
    std::string bytes;
};

// How a conversion of a non-document kind went. A damaged file that still
// gave something has result.failure == Failure::DocumentDamaged and its
// recovered outputs in `files`; a refused one has no files.
struct KindConversion {
    ConversionResult result;
    std::vector<ConvertedFile> files;
    // What came out, in words for the report line: "12 pictures", "3 tables".
    std::string summary;
    // Why a refused or damaged file is so, in words, when more can be said
    // than the failure does: "bitmap 3: the pixel data end early".
    std::string detail;
};

// Choices that apply to some kinds only; each reader ignores the others.
struct KindOptions {
    bool soundAsPlayed = false;  // recordings: repeats and pauses as the device plays them
    bool crlfLineEnds = false;   // text outputs: "\r\n" instead of "\n"
};

}  // namespace zentoro
