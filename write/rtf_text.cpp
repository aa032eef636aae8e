#include "write/rtf_text.h"

#include "model/code_page.h"

namespace zentoro {

namespace {

constexpr char32_t LineBreak = 0x2028;
constexpr char32_t HardSpace = 0x00A0;
constexpr char32_t HardHyphen = 0x2011;
constexpr char32_t SoftHyphen = 0x00AD;
constexpr char32_t LastBmp = 0xFFFF;
constexpr char Hex[] = "0123456789abcdef";

// Bytes written as they are: printable ASCII but for the three RTF marks.
struct PlainBytes {
    bool plain[256] = {};
    constexpr PlainBytes() {
        for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '\\' && c != '{' && c != '}';
    }
};
constexpr PlainBytes Plain;

bool plainAscii(unsigned char c) { return Plain.plain[c]; }

// \uN takes a signed 16-bit number, followed by the one-byte fallback '?'.
void writeUnicode(ByteSink& sink, char32_t unit) {
    put(sink, "\\u");
    putNumber(sink, static_cast<int16_t>(static_cast<uint16_t>(unit)));
    put(sink, '?');
}

}  // namespace

void writeRtfCharacter(ByteSink& sink, char32_t c, int codePage) {
    switch (c) {
        case U'\\': put(sink, "\\\\"); return;
        case U'{': put(sink, "\\{"); return;
        case U'}': put(sink, "\\}"); return;
        case U'\t': put(sink, "\\tab "); return;
        case U'\f': put(sink, "\\page "); return;
        case LineBreak: put(sink, "\\line "); return;
        case HardSpace: put(sink, "\\~"); return;
        case HardHyphen: put(sink, "\\_"); return;
        case SoftHyphen: put(sink, "\\-"); return;
        default: break;
    }
    if (c < 0x20) return;  // no other control character is text
    if (c < 0x80) {
        put(sink, static_cast<char>(c));
        return;
    }
    int byte = codePageByte(codePage, c);
    if (byte >= 0x80) {
        put(sink, "\\'");
        put(sink, Hex[byte >> 4]);
        put(sink, Hex[byte & 0xF]);
        return;
    }
    if (c <= LastBmp) {
        writeUnicode(sink, c);
        return;
    }
    char32_t v = c - 0x10000;
    writeUnicode(sink, 0xD800 + (v >> 10));
    writeUnicode(sink, 0xDC00 + (v & 0x3FF));
}

void writeRtfText(ByteSink& sink, std::string_view utf8, int codePage) {
    size_t at = 0;
    while (at < utf8.size()) {
        size_t plain = at;
        while (plain < utf8.size() && plainAscii(static_cast<unsigned char>(utf8[plain]))) ++plain;
        if (plain > at) {
            put(sink, utf8.substr(at, plain - at));
            at = plain;
            continue;
        }
        writeRtfCharacter(sink, nextCodePoint(utf8, at), codePage);
    }
}

}  // namespace zentoro
