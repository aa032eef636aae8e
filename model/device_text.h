// The document's characters as the model holds them: the bytes of its code
// page decoded to UTF-8, the device's special characters mapped to their
// code points.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zentoro {

// Text bytes with a meaning of their own.
inline constexpr unsigned char ParagraphEndByte = 0x06;
inline constexpr unsigned char ObjectByte = 0x0E;
inline constexpr unsigned char HardHyphenByte = 0x0B;
inline constexpr unsigned char SoftHyphenByte = 0x0C;

// Whether a text byte stands between words: a hard or potential hyphen
// joins the parts of one.
inline bool separatesWords(unsigned char byte) {
    return byte <= ' ' && byte != HardHyphenByte && byte != SoftHyphenByte;
}

// Code points of the device's special characters in the model.
inline constexpr char32_t LineBreakCharacter = 0x2028;
inline constexpr char32_t HardSpaceCharacter = 0x00A0;
inline constexpr char32_t HardHyphenCharacter = 0x2011;
inline constexpr char32_t SoftHyphenCharacter = 0x00AD;

// Appends the characters of `bytes` to `out`. Paragraph ends, object
// placeholders and characters the device does not display are left out.
void appendDeviceText(std::string& out, std::span<const unsigned char> bytes, int codePage);

}  // namespace zentoro
