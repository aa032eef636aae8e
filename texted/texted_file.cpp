#include "texted/texted_file.h"

#include <array>
#include <optional>
#include <span>
#include <string>

#include "model/code_page.h"
#include "model/device_text.h"
#include "reader/input_readers.h"
#include "reader/store_file.h"

namespace zentoro {

namespace {

constexpr uint32_t TextEdUid = 0x10000085;
constexpr uint32_t TextEdSectionId = 0x10000085;
constexpr uint32_t TextSectionStart = 0x1000005C;
constexpr uint32_t TextFollows = 0x10000064;

// The text block's bytes: after its first UID come (id, offset) pairs of
// optional parts, then the UID before the counted text. Nothing where no
// text block starts; a text cut by the end of the file is the part left.
std::optional<std::span<const unsigned char>> loadText(ReaderState& s) {
    if (readU32(s.input) != TextSectionStart) return std::nullopt;
    while (!atEnd(s.input)) {
        if (readU32(s.input) == TextFollows) {
            int32_t length = readCardinality(s);
            return readBytes(s.input, length < 0 ? 0 : static_cast<size_t>(length));
        }
        readU32(s.input);  // the optional part's offset
    }
    return std::nullopt;
}

// A word cut by the end of the file is not the text's: a cut text keeps
// the characters up to the last one that ends a word.
std::span<const unsigned char> withoutCutWord(std::span<const unsigned char> text) {
    size_t kept = text.size();
    while (kept > 0 && !separatesWords(text[kept - 1])) --kept;
    return text.first(kept);
}

void appendLineEnd(std::string& out, bool crlf) {
    if (crlf) out.push_back('\r');
    out.push_back('\n');
}

void appendTextByte(std::string& out, unsigned char byte, bool crlf) {
    switch (byte) {
        case 0x06:
        case 0x07: appendLineEnd(out, crlf); return;
        case 0x08: out.push_back('\f'); return;
        case 0x09:
        case 0x0A: out.push_back('\t'); return;
        case 0x0B: out.push_back('-'); return;
        case 0x0F:
        case 0x10: out.push_back(' '); return;
        default:
            if (byte >= 0x20) appendUtf8(out, cp1252CodePoint(byte));
    }
}

std::string_view trimmedStart(std::string_view line) {
    size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view{} : line.substr(first);
}

bool opensWithDeclaration(std::string_view line) {
    static constexpr std::array<std::string_view, 6> Declarations = {"PROC ", "INCLUDE ", "CONST ",
                                                                     "DECLARE ", "EXTERNAL ", "APP "};
    line = trimmedStart(line);
    for (std::string_view word : Declarations) {
        if (line.size() < word.size()) continue;
        bool same = true;
        for (size_t i = 0; i < word.size() && same; ++i) {
            same = static_cast<char>(line[i] & ~0x20) == static_cast<char>(word[i] & ~0x20);
        }
        if (same) return true;
    }
    return false;
}

}  // namespace

bool isTextEdFile(const unsigned char* data, size_t size) {
    return startsWithUids(data, size, SectionedFileUid, ApplicationDocumentUid, TextEdUid);
}

bool looksLikeOplSource(std::string_view text) {
    while (!text.empty()) {
        size_t end = text.find('\n');
        if (opensWithDeclaration(text.substr(0, end))) return true;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return false;
}

KindConversion convertTextEdFile(const unsigned char* data, size_t size, const KindOptions& options) {
    KindConversion conversion;
    if (!isTextEdFile(data, size)) {
        conversion.result.failure = Failure::NotWordDocument;
        conversion.detail = "not a TextEd document";
        return conversion;
    }
    // The text section is the first: looked for there where the table is
    // lost or names another place.
    std::optional<uint32_t> listed = findSection(data, size, TextEdSectionId);
    ReaderState s{{data, size, listed.value_or(FirstSectionAt)}};
    std::optional<std::span<const unsigned char>> found = loadText(s);
    bool misplaced = !listed || !found;
    if (!found && listed && *listed != FirstSectionAt) {
        s = ReaderState{{data, size, FirstSectionAt}};
        found = loadText(s);
    }
    std::span<const unsigned char> bytes = found.value_or(std::span<const unsigned char>{});
    if (s.input.endedEarly) bytes = withoutCutWord(bytes);
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char byte : bytes) appendTextByte(text, byte, options.crlfLineEnds);
    if (misplaced || s.input.endedEarly) {
        conversion.result.failure = Failure::DocumentDamaged;
        conversion.detail = s.input.endedEarly || !found ? "text cut short" : "its section table is lost";
        if (bytes.empty()) return conversion;
    }
    bool program = looksLikeOplSource(text);
    conversion.files.push_back({program ? ".opl" : ".txt", std::move(text)});
    conversion.summary = program ? "1 program" : "1 text";
    return conversion;
}

}  // namespace zentoro
