#include "rtf/body_paragraphs.h"

#include "reader/input_readers.h"
#include "rtf/attribute_layer.h"
#include "rtf/layer_output_cache.h"
#include "rtf/shared_format_list.h"
#include "rtf/style_layer_cache.h"
#include "rtf/text_characters.h"

namespace zentoro {

namespace {

constexpr int OwnFormat = 0;
constexpr uint32_t TrailingRecordSize = 16;
// How far ahead of the paragraph and phrase lists their bytes are asked for.
constexpr size_t ListBytesAhead = 256;

// A style reference read at the end of the input names no style.
int readStyleRef(ConversionState& s) {
    int ref = readByte(s);
    return ref == EndOfFile ? 0 : ref;
}

// "\s" with the style's number, then the style's two layers, read again
// from where the style sheet found them. A style that this conversion never
// defined has no layers to read.
void writeStyleReference(ConversionState& s) {
    writeLiteral(s.output, "\\s");
    writeNumber(s.output, s.styleRef - 1);
    writeByte(s.output, ' ');
    int styleIndex = MaxStyles - s.styleRef;
    int32_t layers = s.StyleTable[static_cast<size_t>(styleIndex)];
    if (layers == 0) return;
    int32_t resume = tell(s);
    seek(s, layers);
    writeStyleLayers(s, styleIndex, layers);
    seek(s, resume);
}

// The text of one paragraph or phrase, from the text cursor on.
void writeBodyText(ConversionState& s, uint32_t count) {
    s.paragraphEnded = false;
    writeTextRun(s, s.textPos, count, CharacterTable::Body);
    s.textPos = positionAfter(s, s.textPos, count);
}

void writeSharedFormatParagraph(ConversionState& s, int ref) {
    int32_t resume = tell(s);
    writeLiteral(s.output, "{\\pard ");
    writeSharedFormat(s, ref);
    writeBodyText(s, s.paragraphLength);
    writeLiteral(s.output, "}\n");
    seek(s, resume);
}

}  // namespace

void writeTextLayout(ConversionState& s) {
    s.formatListPos = positionAfter(s, tell(s), 2);
    writeSharedFormat(s, 0);
    s.paragraphListPos = tell(s);
    writeParagraphs(s, 0);
    readU32(s);
    s.phraseListPos = tell(s);
    s.textPos = s.textStart;
    seek(s, s.paragraphListPos);
    writeParagraphs(s, s.paragraphCount);
    writeByte(s.output, '}');
}

void writeParagraphs(ConversionState& s, uint32_t count) {
    s.paragraphCount = readU32(s);
    bool outputPass = count != 0;
    uint32_t elements = outputPass ? count : s.paragraphCount;
    for (uint32_t i = 0; i < elements && moreToRead(s); ++i) {
        prefetchInput(s.input, s.input.pos + ListBytesAhead);
        s.paragraphLength = readU32(s);
        int formatRef = readByte(s);
        if (formatRef == EndOfFile) break;
        if (formatRef == OwnFormat) {
            translateAttributeLayer(s, SkipLayer);
            s.styleRef = readStyleRef(s);
            uint32_t phrases = readU32(s);
            if (outputPass) writePhrases(s, phrases);
        } else if (outputPass) {
            writeSharedFormatParagraph(s, formatRef);
        }
    }
}

void writeSharedFormat(ConversionState& s, int ref) {
    if (ref == 0) {
        indexSharedFormats(s);
        return;
    }
    std::optional<int32_t> entryStart = sharedFormatStart(s, ref);
    if (!entryStart) {  // the input ends before entry `ref`
        s.styleRef = 0;
        return;
    }
    seek(s, *entryStart);
    readU32(s);
    translateBodyLayer(s);
    s.styleRef = readStyleRef(s);
    translateBodyLayer(s);
    if (s.styleRef != 0) writeStyleReference(s);
}

void writePhrases(ConversionState& s, uint32_t count) {
    int32_t resume = tell(s);
    seek(s, s.phraseListPos);
    writeLiteral(s.output, "{\\pard ");
    for (uint32_t i = 0; i < count && moreToRead(s); ++i) {
        prefetchInput(s.input, s.input.pos + ListBytesAhead);
        int trailingRecords = readByte(s);
        // The style is written again only where the text before ended a paragraph.
        if (s.paragraphEnded && s.styleRef != 0) {
            writeStyleReference(s);
            s.paragraphEnded = false;
        }
        writeByte(s.output, '{');
        uint32_t characters = readU32(s);
        translateBodyLayer(s);
        if (trailingRecords > 0) skipOver(s, TrailingRecordSize * static_cast<uint32_t>(trailingRecords));
        s.phraseListPos = tell(s);
        writeBodyText(s, characters);
        seek(s, s.phraseListPos);
        writeByte(s.output, '}');
    }
    writeByte(s.output, '}');
    seek(s, resume);
}

void writeUnformattedBody(ConversionState& s) {
    writeLiteral(s.output, "{\\pard ");
    writeTextRun(s, s.textStart, static_cast<uint32_t>(s.textLength), CharacterTable::Body);
    writeLiteral(s.output, "}\n}");
}

}  // namespace zentoro
