// Writes the document model as RTF that shows the document as its author
// saw it: every paragraph with its whole effective formatting, the
// document's fonts and colours, bullets as list labels, real fields.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <cstdio>

#include "model/document.h"
#include "reader/slot_growth.h"
#include "write/byte_sink.h"
#include "write/write_options.h"

namespace zentoro {

// Writes `document` to `sink`; false when the sink failed.
bool writeFaithfulRtf(const Document& document, ByteSink& sink);

// The same, as every writer of the model is called: to an open file
// (nothing of the options changes the RTF yet).
bool writeFaithfulRtf(const Document& document, const WriteOptions& options, std::FILE* output);

// The colours and bullets a document uses, numbered for the RTF tables in
// the order they were first met.
struct FaithfulRtfTables {
    std::vector<Colour> colours;  // \cfN is colours[N - 1]; 0 is the automatic colour
    std::vector<Bullet> bullets;  // list \lsN is bullets[N - 1]
    // The RTF of character formats written lately. A document repeats its
    // formats over and over, each a dozen keywords long; a colour's number
    // never changes once noted, so neither does a format's text. A long
    // document that uses thousands of formats gets more slots.
    struct FormatText {
        CharacterFormat format;
        uint8_t length = 0;  // 0: empty
        std::array<char, 79> text;
    };
    static constexpr unsigned FewestFormatTextBits = 6;
    static constexpr unsigned MostFormatTextBits = 12;
    mutable SlotGrowth formatTextGrowth{FewestFormatTextBits, FewestFormatTextBits};
    mutable std::vector<FormatText> formatTexts;  // made on first use, and anew as it grows
    mutable uint64_t formatTextHits = 0;
};

// A document whose body arrives a paragraph at a time, as
// readDocumentStreaming hands it over: the body is written to memory as it
// comes, the rest once the font, colour and list tables are whole. Large
// (it holds a sink's buffer): keep it on the heap, and do not move it.
struct FaithfulRtfStream {
    FaithfulRtfTables tables;
    LargeBuffer body;
    ByteSink bodySink;
};

// Starts a stream whose whole output may take `sizeLimit` bytes (0: no
// limit), with room for `expectedBody` bytes of body; its kept formats may
// grow to a slot per 4 KiB of that.
void beginFaithfulRtf(FaithfulRtfStream& stream, uint64_t sizeLimit, size_t expectedBody = 0);
void writeFaithfulBodyParagraph(FaithfulRtfStream& stream, const Document& document, const Paragraph& paragraph);
// Writes the document, its body being what the stream holds, to `sink`;
// false when either failed.
bool finishFaithfulRtf(FaithfulRtfStream& stream, const Document& document, ByteSink& sink);

}  // namespace zentoro
