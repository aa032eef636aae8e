// Windows code page 1252, the character set of a document's text, and the
// UTF-8 that the model holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentoro {

// The code point of one CP1252 byte. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control of the
// same number, so that every byte maps back to itself.
char32_t cp1252CodePoint(unsigned char byte);

// The CP1252 byte of a code point, or -1 when the code page has none.
int cp1252Byte(char32_t codePoint);

void appendUtf8(std::string& out, char32_t codePoint);

// Decodes the code point that starts at `at` and moves `at` past it. A
// malformed sequence (cut short, overlong, a surrogate or past U+10FFFF:
// a file name may hold any bytes) yields U+FFFD and moves on by one byte.
char32_t nextCodePoint(std::string_view utf8, size_t& at);

}  // namespace zentoro
