#include "model/code_page.h"

#include <array>

namespace zentoro {

namespace {

constexpr unsigned char FirstSpecialByte = 0x80;
constexpr unsigned char FirstLatin1Byte = 0xA0;
constexpr char32_t ReplacementCharacter = 0xFFFD;

// 0x80..0x9F, where the code page departs from ISO 8859-1.
constexpr std::array<char32_t, 32> SpecialBytes = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char32_t cp1252CodePoint(unsigned char byte) {
    if (byte >= FirstSpecialByte && byte < FirstLatin1Byte) return SpecialBytes[byte - FirstSpecialByte];
    return byte;
}

int cp1252Byte(char32_t codePoint) {
    if (codePoint < FirstSpecialByte || (codePoint >= FirstLatin1Byte && codePoint <= 0xFF)) {
        return static_cast<int>(codePoint);
    }
    for (size_t i = 0; i < SpecialBytes.size(); ++i) {
        if (SpecialBytes[i] == codePoint) return static_cast<int>(FirstSpecialByte + i);
    }
    return -1;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

char32_t nextCodePoint(std::string_view utf8, size_t& at) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
    unsigned char lead = byte(at);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || at + length > utf8.size()) {
        ++at;
        return lead < 0x80 ? lead : ReplacementCharacter;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) >> 6) != 2) {
            ++at;
            return ReplacementCharacter;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    // An overlong form, a surrogate or a value past U+10FFFF is no character.
    constexpr char32_t ShortestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < ShortestOfLength[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++at;
        return ReplacementCharacter;
    }
    at += length;
    return code;
}

}  // namespace zentoro
