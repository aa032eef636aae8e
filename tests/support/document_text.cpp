#include "tests/support/document_text.h"

#include <cstdint>

#include "tests/support/cp1252.h"

namespace zentoro::testing {

namespace {

constexpr size_t DictionaryOffsetPosition = 16;
constexpr uint32_t TextSectionUid = 0x10000106;
constexpr size_t DictionaryEntrySize = 8;

constexpr unsigned char ParagraphEnd = 6;
constexpr unsigned char LineBreak = 7;
constexpr unsigned char PageBreak = 8;
constexpr unsigned char Tab = 9;
constexpr unsigned char UnbreakableTab = 10;
constexpr unsigned char HardHyphen = 11;
constexpr unsigned char PotentialHyphen = 12;
constexpr unsigned char VisibleSpace = 15;
constexpr unsigned char HardSpace = 16;

constexpr uint32_t PageLayoutSectionUid = 0x10000105;
// A page layout starts with the first page number, the header and footer
// distances and the four margins, then the header block.
constexpr size_t PageLayoutFieldsSize = 7 * 4;
// A block's content and first-page bytes and 3 unknown ones, before its two
// base layers.
constexpr size_t BlockLeadSize = 5;
constexpr uint32_t BlockTextPartUid = 0x1000005C;
constexpr uint32_t BlockTextUid = 0x10000064;
constexpr uint32_t BlockOptionalEntryUids[] = {0x10000063, 0x10000065, 0x10000066};

// Little-endian fields at absolute positions, or none past the end.
std::optional<uint32_t> u32At(std::string_view bytes, size_t pos) {
    if (pos > bytes.size() || bytes.size() - pos < 4) return std::nullopt;
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[pos + i])) << (8 * i);
    return value;
}

std::optional<unsigned> byteAt(std::string_view bytes, size_t pos) {
    if (pos >= bytes.size()) return std::nullopt;
    return static_cast<unsigned char>(bytes[pos]);
}

struct Span {
    size_t start;
    size_t length;
};

// The count at `pos` in its one-, two- or four-byte form, and where the
// counted data begins.
std::optional<Span> cardinalityAt(std::string_view bytes, size_t pos) {
    auto first = byteAt(bytes, pos);
    if (!first) return std::nullopt;
    if ((*first & 1) == 0) return Span{pos + 1, *first / 2};
    if ((*first & 3) == 1) {
        auto second = byteAt(bytes, pos + 1);
        if (!second) return std::nullopt;
        return Span{pos + 2, (*first | (*second << 8)) >> 2};
    }
    if ((*first & 7) == 3) {
        auto word = u32At(bytes, pos);
        if (!word) return std::nullopt;
        return Span{pos + 4, *word >> 3};
    }
    return std::nullopt;
}

std::optional<size_t> sectionPosition(std::string_view document, uint32_t sectionUid) {
    auto dictionary = u32At(document, DictionaryOffsetPosition);
    if (!dictionary) return std::nullopt;
    auto countByte = byteAt(document, *dictionary);
    if (!countByte) return std::nullopt;
    for (size_t i = 0; i < *countByte / 2; ++i) {
        size_t entry = *dictionary + 1 + i * DictionaryEntrySize;
        auto uid = u32At(document, entry);
        auto position = u32At(document, entry + 4);
        if (!uid || !position) return std::nullopt;
        if (*uid == sectionUid) return *position;
    }
    return std::nullopt;
}

// A block's text and where the block ends, from its first byte.
struct Block {
    std::string text;
    size_t end;
};

std::optional<Block> blockAt(std::string_view document, size_t pos) {
    pos += BlockLeadSize;
    for (int layer = 0; layer < 2; ++layer) {
        auto length = u32At(document, pos);
        if (!length) return std::nullopt;
        pos += 4 + *length;
    }
    auto uid = u32At(document, pos);
    if (!uid) return std::nullopt;
    pos += 4;
    if (*uid != BlockTextPartUid) return Block{"", pos};
    // Optional (id, position) pairs, each in its place when present.
    for (uint32_t optional : BlockOptionalEntryUids) {
        if (u32At(document, pos) == optional) pos += 8;
    }
    uid = u32At(document, pos);
    if (!uid) return std::nullopt;
    pos += 4;
    if (*uid != BlockTextUid) return Block{"", pos};
    auto text = cardinalityAt(document, pos);
    if (!text || text->start > document.size() || document.size() - text->start < text->length) return std::nullopt;
    return Block{std::string(document.substr(text->start, text->length)), text->start + text->length};
}

}  // namespace

std::optional<std::string> textSectionBytes(std::string_view document) {
    auto section = sectionPosition(document, TextSectionUid);
    if (!section) return std::nullopt;
    auto text = cardinalityAt(document, *section);
    if (!text || text->start > document.size() || document.size() - text->start < text->length) return std::nullopt;
    return std::string(document.substr(text->start, text->length));
}

std::optional<HeaderFooterText> headerFooterTextBytes(std::string_view document) {
    auto section = sectionPosition(document, PageLayoutSectionUid);
    if (!section) return std::nullopt;
    auto header = blockAt(document, *section + PageLayoutFieldsSize);
    if (!header) return std::nullopt;
    auto footer = blockAt(document, header->end);
    if (!footer) return std::nullopt;
    return HeaderFooterText{header->text, footer->text};
}

std::string readableText(std::string_view textBytes) {
    std::string out;
    out.reserve(textBytes.size());
    for (char byte : textBytes) {
        auto value = static_cast<unsigned char>(byte);
        if (value == ParagraphEnd || value == LineBreak || value == PageBreak) {
            out.push_back('\n');
        } else if (value == Tab || value == UnbreakableTab) {
            out.push_back('\t');
        } else if (value == VisibleSpace) {
            out.push_back(' ');
        } else if (value == HardHyphen) {
            appendUtf8(out, 0x2011);
        } else if (value == PotentialHyphen) {
            appendUtf8(out, 0x00AD);
        } else if (value == HardSpace) {
            appendUtf8(out, 0x00A0);
        } else {
            appendUtf8(out, cp1252CodePoint(value));
        }
    }
    return out;
}

}  // namespace zentoro::testing
