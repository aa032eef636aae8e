#include "texted/texted_file.h"

#include <array>
#include <span>
#include <string>

#include "model/code_page.h"
#include "reader/input_readers.h"
#include "reader/store_file.h"

namespace zentoro {

namespace {

constexpr uint32_t TextEdUid = 0x10000085;
constexpr uint32_t TextEdSectionId = 0x10000085;
constexpr uint32_t TextSectionStart = 0x1000005C;
constexpr uint32_t TextFollows = 0x10000064;

// The text block's bytes: after its first UID come (id, offset) pairs of
// optional parts, then the UID before the counted text.
std::span<const unsigned char> loadText(ReaderState& s) {
    if (readU32(s.input) != TextSectionStart) {
        s.input.endedEarly = true;
        return {};
    }
    while (!atEnd(s.input)) {
        if (readU32(s.input) == TextFollows) {
            int32_t length = readCardinality(s);
            return readBytes(s.input, length < 0 ? 0 : static_cast<size_t>(length));
        }
        readU32(s.input);  // the optional part's offset
    }
    readAtEnd(s.input);
    return {};
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
    std::optional<uint32_t> offset = findSection(data, size, TextEdSectionId);
    ReaderState s{{data, size, offset.value_or(size)}};
    std::span<const unsigned char> bytes = loadText(s);
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char byte : bytes) appendTextByte(text, byte, options.crlfLineEnds);
    if (!offset || s.input.endedEarly) {
        conversion.result.failure = Failure::DocumentDamaged;
        conversion.detail = "text cut short";
        if (bytes.empty()) return conversion;
    }
    bool program = looksLikeOplSource(text);
    conversion.files.push_back({program ? ".opl" : ".txt", std::move(text)});
    conversion.summary = program ? "1 program" : "1 text";
    return conversion;
}

}  // namespace zentoro
