#include "rtf/text_characters.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

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

constexpr size_t TableCount = 3;
constexpr size_t LongestEscape = 8;

// What a text byte is written as in each table; other bytes are written raw
// (no code-page conversion).
consteval std::string_view escapeOf(int ch, CharacterTable table) {
    bool spacedBreaks = table != CharacterTable::Body;
    switch (ch) {
        case NullCharacter: return "";  // counts as a character, writes nothing
        case ParagraphEnd: return table == CharacterTable::HeaderPhrase ? "\n\\par \n" : "\n\\par\n";
        case LineBreak: return spacedBreaks ? "\n\\line \n" : "\n\\line\n";
        case PageBreak: return spacedBreaks ? "\n\\page \n" : "\n\\page\n";
        case Tab:
        case UnbreakableTab: return "\\tab ";
        case HardHyphen: return "\\_";
        case PotentialHyphen: return "\\-";
        case VisibleSpace: return " ";
        case HardSpace: return "\\~";
        case '\\': return "\\\\";
        case '{': return "\\{";
        case '}': return "\\}";
        default: return {};
    }
}

consteval bool isPlainText(int ch) { return ch >= 0x20 && ch != '\\' && ch != '{' && ch != '}'; }

// Each byte's output padded to a whole word, so that it is written with one
// store and the output moves on by its length.
struct Escape {
    std::array<char, LongestEscape> bytes{};
    uint8_t length = 0;
};

using EscapeTable = std::array<Escape, 256>;

consteval EscapeTable escapeTable(CharacterTable table) {
    EscapeTable escapes{};
    for (int ch = 0; ch < 256; ++ch) {
        Escape& escape = escapes[static_cast<size_t>(ch)];
        std::string_view text = escapeOf(ch, table);
        if (isPlainText(ch) || (text.empty() && ch != NullCharacter)) {
            escape.bytes[0] = static_cast<char>(ch);
            escape.length = 1;
            continue;
        }
        for (size_t i = 0; i < text.size(); ++i) escape.bytes[i] = text[i];
        escape.length = static_cast<uint8_t>(text.size());
    }
    return escapes;
}

constexpr std::array<EscapeTable, TableCount> Escapes = {
    escapeTable(CharacterTable::Body), escapeTable(CharacterTable::HeaderPhrase),
    escapeTable(CharacterTable::HeaderSharedFormat)};

static_assert([] {
    for (const EscapeTable& table : Escapes) {
        for (const Escape& escape : table) {
            if (escape.length > LongestEscape) return false;
        }
    }
    return true;
}());

const EscapeTable& escapesFor(CharacterTable table) { return Escapes[static_cast<size_t>(table)]; }

using Word = uint64_t;
constexpr size_t WordBytes = sizeof(Word);
// Room for a word of text that is all escapes.
constexpr size_t LargestWordOutput = WordBytes * LongestEscape;

constexpr Word everyByte(unsigned char byte) { return 0x0101010101010101ULL * byte; }

// Whether a byte of the word is below `bound` (at most 0x80).
constexpr Word anyByteBelow(Word word, unsigned char bound) {
    return (word - everyByte(bound)) & ~word & everyByte(0x80);
}

// Whether any byte of the word is not plain text.
constexpr bool anyEscape(Word word) {
    return (anyByteBelow(word, 0x20) | anyByteBelow(word ^ everyByte('\\'), 1) | anyByteBelow(word ^ everyByte('{'), 1) |
            anyByteBelow(word ^ everyByte('}'), 1)) != 0;
}

// Writes the text a word at a time while the output buffer has room for
// the largest a word can become, so that the buffer fills and flushes
// exactly as byte by byte. A whole word of plain text is copied as it is;
// any other, and the last few bytes, are written through the table a byte
// at a time, without a branch per byte.
const unsigned char* writeTextWords(ConversionState& s, const EscapeTable& escapes, const unsigned char* next,
                                    const unsigned char* end) {
    RtfOutput& out = s.output;
    bool paragraphEnded = false;
    while (next != end && out.buffer.size() - out.used >= LargestWordOutput) {
        char* to = out.buffer.data() + out.used;
        size_t bytes = std::min(WordBytes, static_cast<size_t>(end - next));
        Word word = 0;
        std::memcpy(&word, next, bytes);
        if (bytes == WordBytes && !anyEscape(word)) {
            std::memcpy(to, &word, WordBytes);
            out.used += WordBytes;
            next += WordBytes;
            continue;
        }
        size_t written = 0;
        for (size_t i = 0; i < bytes; ++i) {
            const Escape& escape = escapes[next[i]];
            std::memcpy(to + written, escape.bytes.data(), LongestEscape);
            written += escape.length;
            paragraphEnded |= next[i] == ParagraphEnd;
        }
        out.used += written;
        next += bytes;
    }
    if (paragraphEnded) s.paragraphEnded = true;
    return next;
}

}  // namespace

void writeTextChar(ConversionState& s, int ch, CharacterTable table) {
    const Escape& escape = escapesFor(table)[static_cast<unsigned char>(ch)];
    writeLiteral(s.output, std::string_view(escape.bytes.data(), escape.length));
    if (ch == ParagraphEnd) s.paragraphEnded = true;
}

void writeTextRun(ConversionState& s, int32_t position, uint32_t count, CharacterTable table) {
    seek(s, position);
    std::span<const unsigned char> run = readBytes(s.input, count);
    const unsigned char* next = run.data();
    const unsigned char* end = next + run.size();
    const EscapeTable& escapes = escapesFor(table);
    while (next != end) {
        next = writeTextWords(s, escapes, next, end);
        if (next != end) writeTextChar(s, *next++, table);
    }
}

void writeNameText(RtfOutput& out, std::string_view name) {
    for (char c : name) {
        if (c == '\\' || c == '{' || c == '}') writeByte(out, '\\');
        writeByte(out, static_cast<unsigned char>(c));
    }
}

}  // namespace zentoro
