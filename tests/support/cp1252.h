// Windows code page 1252, the character set of a Word document's text, as
// UTF-8: what a word processor shows for the document's bytes.
#pragma once

#include <string>
#include <string_view>

namespace zentoro::testing {

// The Unicode code point of one CP1252 byte. The five bytes that the code
// page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1
// control of the same number.
char32_t cp1252CodePoint(unsigned char byte);

void appendUtf8(std::string& out, char32_t codePoint);

std::string cp1252ToUtf8(std::string_view bytes);

}  // namespace zentoro::testing
