#include "rtf/attribute_layer.h"

#include <cstring>
#include <string_view>

#include "reader/attribute_record.h"
#include "reader/input_readers.h"
#include "rtf/text_characters.h"

namespace zentoro {

namespace {

void writeNumberWord(RtfOutput& out, std::string_view word, int64_t value) {
    writeLiteral(out, word);
    writeNumber(out, value);
    writeByte(out, ' ');
}

// Paragraph attributes in the body close the open group, restart the
// paragraph's properties and reopen a group; inside a style they stand alone.
void writeParagraphAttribute(ConversionState& s, std::string_view word, uint32_t value) {
    if (!s.inStyleDefinition) writeLiteral(s.output, "}\\pard ");
    writeNumberWord(s.output, word, static_cast<int32_t>(value));
    if (!s.inStyleDefinition) writeByte(s.output, '{');
}

// Font and bullet sizes are stored in twips; RTF takes half points, a tenth
// of that (unsigned, remainder dropped).
int64_t halfPoints(uint32_t twips) { return twips / 10; }

// Only red decides: the colour table holds the four greys.
void writeColour(ConversionState& s, const RecordColour& colour) {
    switch (colour.red) {
        case 0: writeLiteral(s.output, "\\cf1 "); break;
        case 85: writeLiteral(s.output, "\\cf2 "); break;
        case 170: writeLiteral(s.output, "\\cf3 "); break;
        case 255: writeLiteral(s.output, "\\cf4 "); break;
        default: break;
    }
}

void writeAlignment(ConversionState& s, int value) {
    switch (value) {
        case 0: writeLiteral(s.output, "\\ql "); break;
        case 1: writeLiteral(s.output, "\\qc "); break;
        case 2: writeLiteral(s.output, "\\qr "); break;
        case 3: writeLiteral(s.output, "\\qj "); break;
        default: break;
    }
}

// Whether the name reads `known` up to its terminator: a name holding a NUL
// ends there. The name's buffer holds LayerStringCapacity bytes, so reading
// as far as the known name's terminator stays inside it.
template <size_t Size>
bool isNamed(const RecordFont& font, const char (&known)[Size]) {
    static_assert(Size <= LayerStringCapacity);
    return std::memcmp(font.name, known, Size) == 0;
}

// Only the three names of the font table are selected, compared whole.
void writeFont(ConversionState& s, const RecordFont& font) {
    if (isNamed(font, "Arial")) {
        writeLiteral(s.output, "\\f1 ");
    } else if (isNamed(font, "Courier New")) {
        writeLiteral(s.output, "\\f2 ");
    } else if (isNamed(font, "Times New Roman")) {
        writeLiteral(s.output, "\\f3 ");
    }
}

// A bullet becomes a SYMBOL field. Fields are not valid inside a style
// sheet entry, so there the record is read but nothing is written.
void writeBullet(ConversionState& s, const RecordBullet& bullet) {
    if (s.writingStyleSheet) return;
    RtfOutput& out = s.output;
    writeLiteral(out, "{\\field \n{\\*\\fldinst\n");
    writeLiteral(out, "SYMBOL ");
    writeNumber(out, bullet.character);
    writeLiteral(out, "\n\\\\f \"");
    writeNameText(out, std::string_view(bullet.font.name));
    writeLiteral(out, "\"\n\\\\s ");
    writeNumber(out, halfPoints(bullet.size));
    writeLiteral(out, "\n\\\\h\n}\n{\\fldrslt}}\n");
}

// Writes `text` when the record's byte value is `trigger`.
void writeIfByte(ConversionState& s, const AttributeRecord& record, int trigger, std::string_view text) {
    if (record.byteValue == trigger) writeLiteral(s.output, text);
}

// The RTF for one record. Ids 9 and 10 have always been written as \sa and
// \sb; documents converted before rely on that. Ids whose meaning has no
// RTF counterpart (borders, the wrap-to-cell flag, the border distance, the
// unknown flags and colour) write nothing.
void writeRecord(ConversionState& s, const AttributeRecord& record) {
    switch (record.id) {
        case ColourZeroId:
        case BackgroundColourId:
        case TextColourId: writeColour(s, record.colour); break;
        case LeftIndentId: writeParagraphAttribute(s, "\\li", record.longValue); break;
        case RightIndentId: writeParagraphAttribute(s, "\\ri", record.longValue); break;
        case FirstLineIndentId: writeParagraphAttribute(s, "\\fi", record.longValue); break;
        case AlignmentId:
        case VerticalAlignmentId: writeAlignment(s, record.byteValue); break;
        case LineSpacingId:
            // Exact line spacing, set by an earlier record, makes the value
            // negative. A value stored negative already is written as it is:
            // "\sl--240" is no control word, and readers show its number as text.
            writeParagraphAttribute(s, s.exactLineSpacing && static_cast<int32_t>(record.longValue) >= 0 ? "\\sl-" : "\\sl",
                                    record.longValue);
            break;
        case LineSpacingModeId:
            if (record.byteValue == 0 || record.byteValue == 1) s.exactLineSpacing = record.byteValue == 1;
            break;
        case SpaceBeforeParagraphId: writeParagraphAttribute(s, "\\sa", record.longValue); break;
        case SpaceAfterParagraphId: writeParagraphAttribute(s, "\\sb", record.longValue); break;
        case KeepTogetherId: writeIfByte(s, record, 1, "\\keep "); break;
        case KeepWithNextId: writeIfByte(s, record, 1, "\\keepn "); break;
        case PageBreakBeforeId: writeIfByte(s, record, 1, "\\pagebb "); break;
        case WidowControlId: writeIfByte(s, record, 0, "\\widowctrl "); break;
        case BulletId: writeBullet(s, record.bullet); break;
        case DefaultTabIntervalId: writeNumberWord(s.output, "\\deftab", static_cast<int32_t>(record.longValue)); break;
        case TabStopId:
            writeNumberWord(s.output, "\\tx", static_cast<int32_t>(record.tabStop.position));
            writeAlignment(s, record.tabStop.kind);
            break;
        case FontSizeId: writeNumberWord(s.output, "\\fs", halfPoints(record.longValue)); break;
        case ItalicId: writeIfByte(s, record, 1, "\\i "); break;
        case BoldId: writeIfByte(s, record, 1, "\\b "); break;
        case VerticalPositionId:
            if (record.byteValue == 1) writeLiteral(s.output, "\\up6 ");
            if (record.byteValue == 2) writeLiteral(s.output, "\\dn6 ");
            break;
        case UnderlineId: writeIfByte(s, record, 1, "\\ul "); break;
        case StrikethroughId: writeIfByte(s, record, 1, "\\strike "); break;
        case FontId: writeFont(s, record.font); break;
        case LineFeedId: writeIfByte(s, record, 1, "\n"); break;
        default: break;
    }
}

}  // namespace

void translateAttributeLayer(ConversionState& s, int skipOnly) {
    uint32_t length = readU32(s);
    if (skipOnly == SkipLayer || s.paragraphLength == 1) {
        skipOver(s, length);
        return;
    }
    if (length == 0) return;
    int32_t layerStart = tell(s);
    s.layerBytesRead = 0;
    // Every record is read whole, even one that runs past the layer's end;
    // a layer that claims more bytes than the input holds ends with it.
    do {
        AttributeRecord record = readAttributeRecord(s, s.fontName);
        if (record.kind == ValueKind::Unknown) {
            // Records carry no length: the rest of the layer cannot be read.
            seek(s, layerStart);
            skipOver(s, length);
            return;
        }
        writeRecord(s, record);
    } while (s.layerBytesRead < length && moreToRead(s));
}

}  // namespace zentoro
