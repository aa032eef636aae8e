#include "rtf/text_characters.h"

#include <array>

#include "reader/input_readers.h"

namespace zentoro {

namespace {

// Text bytes with a meaning of their own.
constexpr int NullCharacter = 0;
constexpr int ParagraphEnd = 6;
constexpr int LineBreak = 7;
constexpr int PageBreak = 8;
constexpr int Tab = 9;

// The bytes that writeTextChar writes as something other than themselves.
constexpr std::array<bool, 256> TranslatedBytes = [] {
    std::array<bool, 256> translated{};
    for (int ch : {NullCharacter, ParagraphEnd, LineBreak, PageBreak, Tab, int{'\\'}, int{'{'}, int{'}'}}) {
        translated[static_cast<size_t>(ch)] = true;
    }
    return translated;
}();

}  // namespace

void writeTextChar(ConversionState& s, int ch, CharacterTable table) {
    RtfOutput& out = s.output;
    bool spacedBreaks = table != CharacterTable::Body;
    switch (ch) {
        case NullCharacter: break;  // counts as a character, writes nothing
        case ParagraphEnd:
            writeLiteral(out, table == CharacterTable::HeaderPhrase ? "\n\\par \n" : "\n\\par\n");
            s.paragraphEnded = true;
            break;
        case LineBreak: writeLiteral(out, spacedBreaks ? "\n\\line \n" : "\n\\line\n"); break;
        case PageBreak: writeLiteral(out, spacedBreaks ? "\n\\page \n" : "\n\\page\n"); break;
        case Tab: writeLiteral(out, "\\tab "); break;
        case '\\': writeLiteral(out, "\\\\"); break;
        case '{': writeLiteral(out, "\\{"); break;
        case '}': writeLiteral(out, "\\}"); break;
        default: writeByte(out, ch); break;  // raw: no code-page conversion
    }
}

// Bytes that stand for themselves are copied in spans; only the others go
// through the table.
void writeTextRun(ConversionState& s, int32_t position, uint32_t count, CharacterTable table) {
    seek(s, position);
    std::span<const unsigned char> run = readBytes(s.input, count);
    const unsigned char* next = run.data();
    const unsigned char* end = next + run.size();
    while (next != end) {
        const unsigned char* plain = next;
        while (next != end && !TranslatedBytes[*next]) ++next;
        writeBytes(s.output, plain, static_cast<size_t>(next - plain));
        if (next != end) writeTextChar(s, *next++, table);
    }
}

}  // namespace zentoro
