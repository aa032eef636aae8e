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

std::optional<size_t> textSectionPosition(std::string_view document) {
    auto dictionary = u32At(document, DictionaryOffsetPosition);
    if (!dictionary) return std::nullopt;
    auto countByte = byteAt(document, *dictionary);
    if (!countByte) return std::nullopt;
    for (size_t i = 0; i < *countByte / 2; ++i) {
        size_t entry = *dictionary + 1 + i * DictionaryEntrySize;
        auto uid = u32At(document, entry);
        auto position = u32At(document, entry + 4);
        if (!uid || !position) return std::nullopt;
        if (*uid == TextSectionUid) return *position;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> textSectionBytes(std::string_view document) {
    auto section = textSectionPosition(document);
    if (!section) return std::nullopt;
    auto text = cardinalityAt(document, *section);
    if (!text || text->start > document.size() || document.size() - text->start < text->length) return std::nullopt;
    return std::string(document.substr(text->start, text->length));
}

std::string readableText(std::string_view textBytes) {
    std::string out;
    out.reserve(textBytes.size());
    for (char byte : textBytes) {
        auto value = static_cast<unsigned char>(byte);
        if (value == ParagraphEnd || value == LineBreak || value == PageBreak) {
            out.push_back('\n');
        } else if (value == Tab) {
            out.push_back('\t');
        } else {
            appendUtf8(out, cp1252CodePoint(value));
        }
    }
    return out;
}

}  // namespace zentoro::testing
