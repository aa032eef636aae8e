// The one record of working state that every part of the RTF translation shares.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "reader/attribute_record.h"
#include "reader/input_stream.h"
#include "rtf/rtf_output.h"
#include "rtf/layer_output_cache.h"
#include "rtf/style_layer_cache.h"

namespace zentoro {

// Number of styles a style section can define, and so of StyleTable entries.
inline constexpr int MaxStyles = 255;
static_assert(StyleCacheStyles == MaxStyles);
// A style name has at most 63 characters; a layer string at most 254.
inline constexpr size_t StyleNameCapacity = 64;
inline constexpr size_t FontNameCapacity = LayerStringCapacity;

// Smaller documents translate their layers every time: they repeat too few
// for the caches to pay for themselves.
inline constexpr size_t SmallestCachedDocument = 64 * 1024;

// A format reference is one byte, so a paragraph names at most entry 255.
inline constexpr int MaxSharedFormats = 255;

// Where the entries of a text layout's shared format list start, as far as
// the walk over the list has gone. Built once per list, so that a paragraph
// finds its format without walking the list from its start.
struct SharedFormatIndex {
    bool built = false;
    int32_t listPos = 0;  // the formatListPos the index belongs to
    int indexed = 0;      // entries 1..indexed have a known start
    int32_t walkEnd = 0;  // where the walk goes on: the start of entry indexed + 1
    std::array<int32_t, MaxSharedFormats + 1> entryStart{};  // entry k starts at entryStart[k]
};

// The translator's working state: the input and its readers' state, the
// RTF output, and what the sections pass on to each other.
struct ConversionState : ReaderState {
    RtfOutput output;
    // Where the sections write their diagnostics; null: nowhere.
    std::FILE* diagnostics = stdout;

    // File positions (absolute byte offsets into the input).
    int32_t textStart = 0;         // first character of the document's text
    int32_t textPos = 0;           // next text character the body writes
    int32_t formatListPos = 0;     // the text layout's shared paragraph formats
    int32_t paragraphListPos = 0;  // the text layout's paragraph count field
    int32_t phraseListPos = 0;     // the next unread phrase record

    SharedFormatIndex sharedFormats;

    uint32_t paragraphCount = 0;
    uint32_t paragraphLength = 0;  // characters of the paragraph being written
    int styleRef = 0;              // style reference of the paragraph being written
    bool paragraphEnded = false;   // a paragraph end was the last text written
    bool inStyleDefinition = false;
    bool exactLineSpacing = false;
    bool writingStyleSheet = false;  // the style sheet group is open: no fields there

    // Position of each style's paragraph layer; style reference r selects
    // entry 255 - r. An entry of 0 was never filled by this conversion.
    std::array<int32_t, MaxStyles> StyleTable{};
    // What the body's layers wrote, kept to be copied where they are read
    // again (style_layer_cache.h, layer_output_cache.h). Made on first use,
    // and only for documents large enough to gain from them.
    size_t layerCachesFrom = SmallestCachedDocument;  // the smallest document that uses them
    std::unique_ptr<StyleLayerCache> styleLayers;
    std::unique_ptr<LayerOutputCache> layerOutputs;
    std::array<int, 256> styleKeycodes{};  // hot-key characters, 0..255 or -1
    std::array<char, StyleNameCapacity> styleName{};
    std::array<char, FontNameCapacity> fontName{};

    // Which sections this conversion has handled, and the text's length, so
    // that a document without a text layout section still gets its text.
    bool styleSectionSeen = false;
    bool textSectionSeen = false;
    bool textLayoutSectionSeen = false;
    int32_t textLength = 0;
};

// The test of a loop over a count read from the file, made while the count
// is not yet reached: false once the output has failed, or once the input
// has ended, which leaves the count short and the document cut.
inline bool moreToRead(ConversionState& s) {
    if (s.input.pos >= s.input.size) {
        s.input.endedEarly = true;
        return false;
    }
    return !s.output.failed;
}

}  // namespace zentoro
