#include "rtf/style_sheet.h"

#include <string_view>

#include "reader/input_readers.h"
#include "rtf/attribute_layer.h"
#include "rtf/text_characters.h"

namespace zentoro {

namespace {

constexpr std::string_view RtfHeader = "{\\rtf1\\ansi\\deff0\\deftab720\n";
constexpr std::string_view FontTable =
    "{\\fonttbl {\\f0\\fnil Times New Roman;}\n{\\f1\\fnil Arial;}\n{\\f2\\fnil Courier New;}\n"
    "{\\f3\\fnil Times New Roman;}}\n";
constexpr std::string_view ColourTable =
    "{\\colortbl;\n\\red0\\green0\\blue0;\n\\red85\\green85\\blue85;\n\\red170\\green170\\blue170;\n"
    "\\red255\\green255\\blue255;\n}";
constexpr std::string_view DocumentDefaults = "\\deflang1033\\pard\\plain\\f3\\fs20\\par ";

// Style numbers count down from here; the Normal style has none.
constexpr int FirstStyleNumber = 254;
constexpr int KeycodeIgnoredBytes = 3;

void skipBytes(ConversionState& s, int count) {
    for (int i = 0; i < count; ++i) readByte(s);
}

void writeKeycode(ConversionState& s, int character) {
    writeLiteral(s.output, "{\\*\\keycode \\shift\\ctrl ");
    char key = static_cast<char>(character);
    writeNameText(s.output, std::string_view(&key, 1));
    writeByte(s.output, '}');
}

void readHotKeys(ConversionState& s) {
    int count = readByte(s);
    for (int i = 0; i < count && moreToRead(s); ++i) {
        s.styleKeycodes[static_cast<size_t>(i)] = readByte(s);
        skipBytes(s, KeycodeIgnoredBytes);
    }
}

// One style sheet entry: number, formatting, hot key and name. The layers'
// position is recorded for the paragraphs that refer to the style.
void writeStyle(ConversionState& s, int index) {
    writeLiteral(s.output, "{\\s");
    writeNumber(s.output, FirstStyleNumber - index);
    readStyleName(s, s.styleName);
    readByte(s);
    readU32(s);
    skipBytes(s, 3);
    s.StyleTable[static_cast<size_t>(index)] = tell(s);
    translateAttributeLayer(s, TranslateLayer);
    translateAttributeLayer(s, TranslateLayer);
    writeKeycode(s, s.styleKeycodes[static_cast<size_t>(index)]);
    writeByte(s.output, ' ');
    writeNameText(s.output, std::string_view(s.styleName.data()));
    writeLiteral(s.output, ";}");
}

}  // namespace

void readStyleName(ConversionState& s, std::array<char, StyleNameCapacity>& buffer) {
    int lengthByte = readByte(s);
    int characters = (lengthByte - 2) / 4;  // truncated toward zero: 0..5 give none
    int stored = 0;
    for (; stored < characters; ++stored) buffer[static_cast<size_t>(stored)] = static_cast<char>(readCountedByte(s));
    buffer[static_cast<size_t>(stored)] = '\0';
}

void writeStyleSheet(ConversionState& s) {
    s.inStyleDefinition = true;
    s.writingStyleSheet = true;
    writeLiteral(s.output, RtfHeader);
    writeLiteral(s.output, FontTable);
    writeLiteral(s.output, "{\\stylesheet\n{");
    translateAttributeLayer(s, TranslateLayer);
    translateAttributeLayer(s, TranslateLayer);
    int normalHotKey = readByte(s);
    skipBytes(s, KeycodeIgnoredBytes);
    writeKeycode(s, normalHotKey);
    writeLiteral(s.output, " Normal;}");

    readHotKeys(s);
    int styleCount = readByte(s);
    for (int i = 0; i < styleCount && moreToRead(s); ++i) writeStyle(s, i);

    s.inStyleDefinition = false;
    s.writingStyleSheet = false;
    writeLiteral(s.output, "}\n");
    writeLiteral(s.output, ColourTable);
    writeLiteral(s.output, DocumentDefaults);
}

}  // namespace zentoro
