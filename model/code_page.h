// The Windows code pages in which the device stored text (its ROM's
// language decides which), and the UTF-8 that the model holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentoro {

// Western European, the code page of nearly every document.
inline constexpr int DefaultCodePage = 1252;

// 1250 Central European, 1251 Cyrillic, 1252 Western, 1253 Greek,
// 1254 Turkish, 1257 Baltic.
bool isSupportedCodePage(int codePage);

// The code point of one byte in the code page; a number that is not
// supported reads as 1252. Bytes that the code page leaves unassigned stand
// for the C1 control of the same number below 0xA0 (so that every such byte
// maps back to itself), and for U+FFFD above.
char32_t codePagePoint(int codePage, unsigned char byte);

// The code page's byte for a code point, or -1 when it has none.
int codePageByte(int codePage, char32_t codePoint);

// The RTF character set (\fcharsetN) whose fonts use the code page.
int rtfCharset(int codePage);

char32_t cp1252CodePoint(unsigned char byte);
int cp1252Byte(char32_t codePoint);

void appendUtf8(std::string& out, char32_t codePoint);

// Decodes the code point that starts at `at` and moves `at` past it. A
// malformed sequence (cut short, overlong, a surrogate or past U+10FFFF:
// a file name may hold any bytes) yields U+FFFD and moves on by one byte.
char32_t nextCodePoint(std::string_view utf8, size_t& at);

}  // namespace zentoro
