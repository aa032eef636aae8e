#include "fuzz/road_choices.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

#include "fuzz/choice_reader.h"

namespace zentoro::fuzzing {

namespace {

constexpr size_t ChoiceBytes = 8;

// Names of every kind of character the writers tell apart: Unicode spaces
// and punctuation, characters beyond the first plane, characters HTML
// forbids, characters a URL must escape, and bytes that are not UTF-8.
constexpr std::string_view DocumentNames[] = {
    "fuzzed.wrd",
    "",  // a document read from a stream has none
    "Notes\xE3\x80\x80" "2024\xE2\x80\x83(draft)\xC2\xA0" "final.wrd",             // U+3000, U+2003, U+00A0
    "\xE1\x9A\x80" "a\xE2\x80\xAF" "b\xE2\x81\x9F" "c\xE2\x80\x8A" "d",              // U+1680, U+202F, U+205F, U+200A
    "\xC2\xA1" "Hola!\xC2\xA7" "1\xC2\xAB" "x\xC2\xBB\xC2\xB6\xC2\xB7\xC2\xBF",        // Latin-1 punctuation
    "\xE2\x80\x94" "dash\xE2\x80\xA6\xE2\x80\xB0\xE3\x80\x81\xE3\x80\x8C" "q\xEF\xBC\x81",  // general, CJK, full width
    "*emph* _u_ `code` [link](x) <b>&amp; #1. - + > | ~ \\ !",
    "\xF0\x9F\x98\x80 smile \xF0\x90\x80\x80.wrd",                                    // beyond the first plane
    // Invalid bytes, a surrogate, a non-character, an overlong '/', past U+10FFFF, cut short.
    "bad \xFF\xFE utf8 \xED\xA0\x80 \xEF\xB7\x90 \xC0\xAF \xF4\x90\x80\x80 \xC3",
    "\x01\x02 control\x7F\x1F\x0B.wrd",
    "100% sure & \"quoted\" 'name' #hash ?q=1.wrd",
};

}  // namespace

RoadChoices roadChoicesFor(std::span<const uint8_t> input) {
    // The last byte is the first choice.
    auto count = static_cast<std::ptrdiff_t>(std::min(input.size(), ChoiceBytes));
    std::vector<uint8_t> last(input.rbegin(), input.rbegin() + count);
    ChoiceReader in(last);
    RoadChoices choices;
    choices.documentName = DocumentNames[in.below(std::size(DocumentNames))];
    if (in.chance(3)) {
        ConversionLimits low;
        low.outputBytesPerInputByte = in.below(4);
        low.outputFloor = 1 + 16 * in.below(256);  // never 0, which means no limit
        low.readBytesPerInputByte = in.below(4);
        low.readFloor = 1 + 16 * in.below(256);
        choices.lowLimits = low;
    }
    constexpr OutputFormat Formats[] = {OutputFormat::Text, OutputFormat::Html, OutputFormat::Markdown,
                                        OutputFormat::RtfFaithful};
    choices.fileFormat = Formats[in.below(std::size(Formats))];
    choices.throughStreams = in.chance(4);
    choices.streamsToRtf = in.flag();
    choices.fullOutput = in.chance(3);
    choices.quietDiagnostics = in.chance(4);
    constexpr int Buffering[] = {_IOFBF, _IOLBF, _IONBF};
    choices.fullOutputBuffering = Buffering[in.below(std::size(Buffering))];
    return choices;
}

}  // namespace zentoro::fuzzing
