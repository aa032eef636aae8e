// UTF-8 code points, read one at a time and written back. Malformed bytes
// read as U+FFFD, one byte each, so that no input can stop a writer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentoro {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// The code point that starts at `position`; moves `position` past it.
char32_t nextCodePoint(std::string_view text, size_t& position);

void appendUtf8(std::string& out, char32_t codePoint);

// The device's special characters, as the model holds them.
inline constexpr char32_t LineBreakCharacter = 0x2028;
inline constexpr char32_t PageBreakCharacter = U'\f';
inline constexpr char32_t HardSpaceCharacter = 0x00A0;
inline constexpr char32_t HardHyphenCharacter = 0x2011;
inline constexpr char32_t SoftHyphenCharacter = 0x00AD;

}  // namespace zentoro
