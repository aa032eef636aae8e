#include "rtf/page_layout.h"

#include <algorithm>
#include <string_view>

#include "reader/input_readers.h"
#include "reader/word_uids.h"
#include "rtf/attribute_layer.h"
#include "rtf/text_characters.h"

namespace zentoro {

namespace {

constexpr int OwnFormat = 0;
constexpr int LandscapeOrientation = 1;
constexpr uint32_t NoLayout = 0;

// The text of a header or footer block and the cursor into it.
struct BlockText {
    int32_t pos;  // next character to write
    int32_t end;  // first byte after the block's text
};

void writeMeasurement(ConversionState& s, std::string_view word, uint32_t value) {
    writeLiteral(s.output, word);
    writeNumber(s.output, static_cast<int32_t>(value));
}

// Writes what is left of `count` characters before the end of the block's
// text, so that counts running past it never write the bytes that follow
// (the footer block, the body); the cursor still moves on by the whole count.
void writeBlockText(ConversionState& s, BlockText& text, uint32_t count, CharacterTable table) {
    uint32_t left = text.pos < text.end ? static_cast<uint32_t>(text.end - text.pos) : 0;
    writeTextRun(s, text.pos, std::min(count, left), table);
    text.pos = positionAfter(s, text.pos, count);
}

// Positions the input at the layout's paragraph list, past its shared
// formats, which give header and footer paragraphs no formatting.
void skipToParagraphList(ConversionState& s, int32_t layoutPos) {
    seek(s, layoutPos);
    readByte(s);
    readByte(s);
    int formatCount = readByte(s);
    for (int i = 0; i < formatCount && moreToRead(s); ++i) {
        readU32(s);
        translateAttributeLayer(s, SkipLayer);
        translateAttributeLayer(s, SkipLayer);
    }
}

// Walks the paragraph records without writing, to find where the phrases begin.
int32_t findPhraseList(ConversionState& s) {
    uint32_t paragraphs = readU32(s);
    for (uint32_t i = 0; i < paragraphs && moreToRead(s); ++i) {
        readU32(s);
        int formatRef = readByte(s);
        if (formatRef == EndOfFile) break;
        if (formatRef == OwnFormat) {
            translateAttributeLayer(s, SkipLayer);
            readU32(s);
        }
    }
    readU32(s);
    return tell(s);
}

void writeOwnFormatParagraph(ConversionState& s, BlockText& text, int32_t& phraseCursor) {
    translateAttributeLayer(s, TranslateLayer);
    uint32_t phrases = readU32(s);
    int32_t paragraphCursor = tell(s);
    seek(s, phraseCursor);
    for (uint32_t i = 0; i < phrases && moreToRead(s); ++i) {
        writeByte(s.output, '{');
        readByte(s);
        uint32_t characters = readU32(s);
        translateAttributeLayer(s, TranslateLayer);
        phraseCursor = tell(s);
        writeBlockText(s, text, characters, CharacterTable::HeaderPhrase);
        seek(s, phraseCursor);
        writeByte(s.output, '}');
    }
    seek(s, paragraphCursor);
}

// Each paragraph gets a group of its own, so that a paragraph attribute's
// "}\pard ... {" cannot close the header or footer group.
void writeBlockParagraphs(ConversionState& s, int32_t layoutPos, BlockText& text) {
    skipToParagraphList(s, layoutPos);
    int32_t paragraphList = tell(s);
    int32_t phraseCursor = findPhraseList(s);
    seek(s, paragraphList);
    uint32_t paragraphs = readU32(s);
    for (uint32_t i = 0; i < paragraphs && moreToRead(s); ++i) {
        uint32_t characters = readU32(s);
        int formatRef = readCountedByte(s);
        if (formatRef == EndOfFile) break;
        writeLiteral(s.output, "{\\pard ");
        if (formatRef == OwnFormat) {
            writeOwnFormatParagraph(s, text, phraseCursor);
        } else {
            int32_t paragraphCursor = tell(s);
            writeBlockText(s, text, characters, CharacterTable::HeaderSharedFormat);
            seek(s, paragraphCursor);
        }
        writeByte(s.output, '}');
    }
}

// Reads the value of a tagged entry when its UID is the one expected there;
// an entry with another UID is that UID alone.
bool readTaggedEntry(ConversionState& s, uint32_t expectedUid, uint32_t& value) {
    if (readU32(s) != expectedUid) return false;
    value = readU32(s);
    return true;
}

// The block starts with its content byte, its first-page byte and three
// unknown bytes, then its base layers, which give header and footer
// paragraphs no formatting here: they are passed over by their lengths.
void writeHeaderFooterBlock(ConversionState& s, std::string_view opening) {
    readByte(s);
    readU32(s);
    translateAttributeLayer(s, SkipLayer);
    translateAttributeLayer(s, SkipLayer);
    if (readU32(s) != HeaderFooterBlockUid) return;
    uint32_t unused = 0;
    uint32_t layoutPos = 0;
    readTaggedEntry(s, HeaderFooterFirstUnusedEntryUid, unused);
    readTaggedEntry(s, HeaderFooterSecondUnusedEntryUid, unused);
    // A layout position of 0 is how the device says "no layout": position 0
    // holds the file's own header.
    bool hasLayout = readTaggedEntry(s, HeaderFooterLayoutEntryUid, layoutPos) && layoutPos != NoLayout;
    if (readU32(s) != HeaderFooterTextUid) return;

    writeLiteral(s.output, opening);
    uint32_t length = static_cast<uint32_t>(readCardinality(s));
    BlockText text{tell(s), positionAfter(s, tell(s), length)};
    if (hasLayout) {
        writeBlockParagraphs(s, static_cast<int32_t>(layoutPos), text);
    } else {
        // No layout of its own: the text is still written, as one paragraph.
        writeLiteral(s.output, "{\\pard ");
        writeBlockText(s, text, length, CharacterTable::HeaderSharedFormat);
        writeByte(s.output, '}');
    }
    seek(s, text.end);
    writeLiteral(s.output, "}\n");
}

}  // namespace

void writePageLayout(ConversionState& s) {
    readU32(s);
    writeMeasurement(s, "\\headery", readU32(s));
    writeMeasurement(s, "\\footery", readU32(s));
    uint32_t left = readU32(s);
    uint32_t right = readU32(s);
    uint32_t top = readU32(s);
    uint32_t bottom = readU32(s);
    writeMeasurement(s, "\\margl", left);
    writeMeasurement(s, "\\margr", right);
    writeMeasurement(s, "\\margt", top);
    writeMeasurement(s, "\\margb", bottom);
    writeHeaderFooterBlock(s, "\n{\\header ");
    writeHeaderFooterBlock(s, "\n{\\footer ");
    readU32(s);
    writeMeasurement(s, "\\paperw", readU32(s));
    writeMeasurement(s, "\\paperh", readU32(s));
    if (readByte(s) == LandscapeOrientation) writeLiteral(s.output, "\\landscape ");
}

}  // namespace zentoro
