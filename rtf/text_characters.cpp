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

constexpr size_t CacheLine = 64;
constexpr size_t TextLinesAhead = 8;

// Sixteen text bytes, tested for escapes all at once.
using Block = unsigned char __attribute__((vector_size(16)));
constexpr size_t BlockBytes = sizeof(Block);
// Room for what one step writes: a block of text and an escape after it.
constexpr size_t LargestStepOutput = BlockBytes + LongestEscape;

// Where in the sixteen bytes the first one that is not plain text lies, or
// BlockBytes where all of them are.
size_t firstEscape(const unsigned char* bytes) {
    Block block;
    std::memcpy(&block, bytes, BlockBytes);
    Block marks = reinterpret_cast<Block>((block < 0x20) | (block == '\\') | (block == '{') | (block == '}'));
    uint64_t low;
    uint64_t high;
    std::memcpy(&low, &marks, sizeof low);
    std::memcpy(&high, reinterpret_cast<const char*>(&marks) + sizeof low, sizeof high);
    if (low != 0) return static_cast<size_t>(std::countr_zero(low)) / 8;
    if (high != 0) return sizeof low + static_cast<size_t>(std::countr_zero(high)) / 8;
    return BlockBytes;
}

// Writes the text sixteen bytes at a time while the output buffer has room
// for the largest a step can write, so that the buffer fills and flushes
// exactly as byte by byte. Each step stores the next sixteen bytes whole
// and keeps the plain text before the first escape; the byte there is
// written through the table, one store and no branch. Blocks are read only
// where the input holds sixteen bytes: the input's last few go byte by byte.
const unsigned char* writeTextBlocks(ConversionState& s, const EscapeTable& escapes, const unsigned char* next,
                                     const unsigned char* end, const unsigned char* inputEnd) {
    RtfOutput& out = s.output;
    char* buffer = out.buffer.data();
    size_t used = out.used;
    bool paragraphEnded = false;
    while (next != end && out.buffer.size() - used >= LargestStepOutput && inputEnd - next >= static_cast<ptrdiff_t>(BlockBytes)) {
        std::memcpy(buffer + used, next, BlockBytes);
        size_t plain = std::min(firstEscape(next), static_cast<size_t>(end - next));
        used += plain;
        next += plain;
        if (next == end || plain == BlockBytes) continue;
        const Escape& escape = escapes[*next];
        std::memcpy(buffer + used, escape.bytes.data(), LongestEscape);
        used += escape.length;
        paragraphEnded |= *next == ParagraphEnd;
        ++next;
    }
    out.used = used;
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
    const unsigned char* inputEnd = s.input.data + s.input.size;
    // The next run of text starts where this one ends.
    size_t runEnd = s.input.pos;
    for (size_t line = 0; line < TextLinesAhead; ++line) prefetchInput(s.input, runEnd + CacheLine * line);
    const EscapeTable& escapes = escapesFor(table);
    while (next != end) {
        next = writeTextBlocks(s, escapes, next, end, inputEnd);
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
