#include "rtf/attribute_layer.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "reader/input_readers.h"

namespace zentoro {

namespace {

// Attribute ids, each followed by a value whose size the id alone decides.
enum AttributeId : int {
    ColourA = 0,
    ColourB = 1,
    LeftIndent = 2,
    RightIndent = 3,
    FirstLineIndent = 4,
    AlignmentA = 5,
    AlignmentB = 6,
    LineSpacing = 7,
    ExactLineSpacing = 8,
    SpaceAfter = 9,
    SpaceBefore = 10,
    KeepTogether = 11,
    KeepWithNext = 12,
    PageBreakBefore = 13,
    WidowControl = 14,
    LineWrapping = 15,
    BorderMargin = 16,
    FirstBorder = 17,
    LastBorder = 20,
    Bullet = 21,
    DefaultTabWidth = 22,
    TabStop = 23,
    ColourC = 25,
    FontSize = 28,
    Italic = 29,
    Bold = 30,
    VerticalPosition = 31,
    Underline = 32,
    Strikethrough = 33,
    Font = 34,
    LineFeed = 36,
};

constexpr int BorderValueSize = 9;

void writeNumberWord(RtfOutput& out, std::string_view word, int64_t value) {
    writeLiteral(out, word);
    writeNumber(out, value);
    writeByte(out, ' ');
}

// Paragraph attributes in the body close the open group, restart the
// paragraph's properties and reopen a group; inside a style they stand alone.
void writeParagraphAttribute(ConversionState& s, std::string_view word, int32_t value) {
    if (!s.inStyleDefinition) writeLiteral(s.output, "}\\pard ");
    writeNumberWord(s.output, word, value);
    if (!s.inStyleDefinition) writeByte(s.output, '{');
}

int32_t readLong(ConversionState& s) { return static_cast<int32_t>(readU32(s)); }

// Font and bullet sizes are stored in twips; RTF takes half points, a tenth
// of that (unsigned, remainder dropped).
int64_t halfPoints(uint32_t twips) { return twips / 10; }

void translateColour(ConversionState& s) {
    int red = readCountedByte(s);
    readCountedByte(s);  // green and blue are not looked at
    readCountedByte(s);
    switch (red) {
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

void translateFont(ConversionState& s) {
    readLayerString(s, s.fontName);
    std::string_view name(s.fontName.data());
    if (name == "Arial") {
        writeLiteral(s.output, "\\f1 ");
    } else if (name == "Courier New") {
        writeLiteral(s.output, "\\f2 ");
    } else if (name == "Times New Roman") {
        writeLiteral(s.output, "\\f3 ");
    }
}

// A bullet becomes a SYMBOL field. Fields are not valid inside a style
// sheet entry, so there the record is read but nothing is written.
void translateBullet(ConversionState& s) {
    readCountedByte(s);
    uint32_t size = readU32(s);
    int character = readCountedByte(s);
    readCountedByte(s);
    for (int i = 0; i < 3; ++i) readCountedByte(s);
    readLayerString(s, s.fontName);
    if (s.writingStyleSheet) return;

    RtfOutput& out = s.output;
    writeLiteral(out, "{\\field \n{\\*\\fldinst\n");
    writeLiteral(out, "SYMBOL ");
    writeNumber(out, character);
    writeLiteral(out, "\n\\\\f \"");
    writeLiteral(out, std::string_view(s.fontName.data()));
    writeLiteral(out, "\"\n\\\\s ");
    writeNumber(out, halfPoints(size));
    writeLiteral(out, "\n\\\\h\n}\n{\\fldrslt}}\n");
}

// Writes `text` when the record's byte value is `trigger`.
void writeIfByte(ConversionState& s, int trigger, std::string_view text) {
    if (readCountedByte(s) == trigger) writeLiteral(s.output, text);
}

void translateRecord(ConversionState& s) {
    int id = readCountedByte(s);
    switch (id) {
        case ColourA:
        case ColourB:
        case ColourC: translateColour(s); break;
        case LeftIndent: writeParagraphAttribute(s, "\\li", readLong(s)); break;
        case RightIndent: writeParagraphAttribute(s, "\\ri", readLong(s)); break;
        case FirstLineIndent: writeParagraphAttribute(s, "\\fi", readLong(s)); break;
        case AlignmentA:
        case AlignmentB: writeAlignment(s, readCountedByte(s)); break;
        case LineSpacing: {
            // Exact line spacing, set by an earlier record, makes the value negative.
            int32_t value = readLong(s);
            writeParagraphAttribute(s, s.exactLineSpacing ? "\\sl-" : "\\sl", value);
            break;
        }
        case ExactLineSpacing: {
            int value = readCountedByte(s);
            if (value == 0 || value == 1) s.exactLineSpacing = value == 1;
            break;
        }
        case SpaceAfter: writeParagraphAttribute(s, "\\sa", readLong(s)); break;
        case SpaceBefore: writeParagraphAttribute(s, "\\sb", readLong(s)); break;
        case KeepTogether: writeIfByte(s, 1, "\\keep "); break;
        case KeepWithNext: writeIfByte(s, 1, "\\keepn "); break;
        case PageBreakBefore: writeIfByte(s, 1, "\\pagebb "); break;
        case WidowControl: writeIfByte(s, 0, "\\widowctrl "); break;
        case LineWrapping: writeIfByte(s, 1, "\nParagraph Line Wrapping On"); break;
        case BorderMargin:
            writeLiteral(s.output, "\nBorder Margin=");
            writeNumber(s.output, readLong(s));
            writeByte(s.output, '"');
            break;
        case Bullet: translateBullet(s); break;
        case DefaultTabWidth: writeNumberWord(s.output, "\\deftab", readLong(s)); break;
        case TabStop: {
            writeNumberWord(s.output, "\\tx", readLong(s));
            writeAlignment(s, readCountedByte(s));
            break;
        }
        case FontSize: writeNumberWord(s.output, "\\fs", halfPoints(readU32(s))); break;
        case Italic: writeIfByte(s, 1, "\\i "); break;
        case Bold: writeIfByte(s, 1, "\\b "); break;
        case VerticalPosition: {
            int value = readCountedByte(s);
            if (value == 1) writeLiteral(s.output, "\\up6 ");
            if (value == 2) writeLiteral(s.output, "\\dn6 ");
            break;
        }
        case Underline: writeIfByte(s, 1, "\\ul "); break;
        case Strikethrough: writeIfByte(s, 1, "\\strike "); break;
        case Font: translateFont(s); break;
        case LineFeed: writeIfByte(s, 1, "\n"); break;
        default:
            if (id >= FirstBorder && id <= LastBorder) {
                for (int i = 0; i < BorderValueSize; ++i) readCountedByte(s);
            }
            // Any other id has no value: only its own byte is consumed.
            break;
    }
}

}  // namespace

// The characters are taken as one run; past the end of the input each one
// reads as EndOfFile (stored as the char -1) and is counted, as a byte
// read would be.
int readLayerString(ConversionState& s, std::array<char, FontNameCapacity>& buffer) {
    int length = readCountedByte(s);
    size_t characters = length > 1 ? static_cast<size_t>(length - 1) : 0;
    std::span<const unsigned char> run = readBytes(s.input, characters);
    std::copy(run.begin(), run.end(), buffer.begin());
    std::fill(buffer.begin() + static_cast<long>(run.size()), buffer.begin() + static_cast<long>(characters),
              static_cast<char>(EndOfFile));
    buffer[characters] = '\0';
    s.layerBytesRead += static_cast<uint32_t>(characters);
    return readCountedByte(s);
}

void translateAttributeLayer(ConversionState& s, int skipOnly) {
    uint32_t length = readU32(s);
    if (skipOnly == SkipLayer || s.paragraphLength == 1) {
        seek(s, offsetBy(tell(s), length));
        return;
    }
    if (length == 0) return;
    s.layerBytesRead = 0;
    // Every record is read whole, even one that runs past the layer's end;
    // a layer that claims more bytes than the input holds ends with it.
    do {
        translateRecord(s);
    } while (s.layerBytesRead < length && !atEnd(s));
}

}  // namespace zentoro
