#include "rtf/text_characters.h"

#include "reader/input_readers.h"

namespace zentoro {

namespace {

// Text bytes with a meaning of their own.
constexpr int NullCharacter = 0;
constexpr int ParagraphEnd = 6;
constexpr int LineBreak = 7;
constexpr int PageBreak = 8;
constexpr int Tab = 9;
// Bytes that stand for visible text. Written raw they would be control
// characters, which RTF readers drop: "CG\x10Times" would read "CGTimes".
constexpr int UnbreakableTab = 10;
constexpr int HardHyphen = 11;
constexpr int PotentialHyphen = 12;
constexpr int VisibleSpace = 15;
constexpr int HardSpace = 16;

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
        case Tab:
        case UnbreakableTab: writeLiteral(out, "\\tab "); break;
        case HardHyphen: writeLiteral(out, "\\_"); break;
        case PotentialHyphen: writeLiteral(out, "\\-"); break;
        case VisibleSpace: writeByte(out, ' '); break;
        case HardSpace: writeLiteral(out, "\\~"); break;
        case '\\': writeLiteral(out, "\\\\"); break;
        case '{': writeLiteral(out, "\\{"); break;
        case '}': writeLiteral(out, "\\}"); break;
        default: writeByte(out, ch); break;  // raw: no code-page conversion
    }
}

// Most text bytes are written as they are; only the others go through the
// table, which keeps the loop over a run short.
constexpr bool isPlainText(unsigned char ch) { return ch >= 0x20 && ch != '\\' && ch != '{' && ch != '}'; }

void writeTextRun(ConversionState& s, int32_t position, uint32_t count, CharacterTable table) {
    seek(s, position);
    for (unsigned char ch : readBytes(s.input, count)) {
        if (isPlainText(ch)) {
            writeByte(s.output, ch);
        } else {
            writeTextChar(s, ch, table);
        }
    }
}

}  // namespace zentoro
