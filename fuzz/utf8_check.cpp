#include "fuzz/utf8_check.h"

#include <cstdint>

namespace zentoro::fuzzing {

namespace {

// The length of the sequence a lead byte starts, or 0 for a byte that
// cannot lead one.
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::string utf8Problem(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        auto at = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
        size_t length = sequenceLength(at(pos));
        if (length == 0) return "byte " + std::to_string(at(pos)) + " cannot start a character at " + std::to_string(pos);
        if (pos + length > text.size()) return "a character is cut off at the end, at " + std::to_string(pos);
        char32_t c = length == 1 ? at(pos) : at(pos) & (0x7F >> length);
        for (size_t i = 1; i < length; ++i) {
            if ((at(pos + i) & 0xC0) != 0x80) return "a character ends early at " + std::to_string(pos);
            c = (c << 6) | (at(pos + i) & 0x3F);
        }
        constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < Smallest[length]) return "an overlong form at " + std::to_string(pos);
        if (c >= 0xD800 && c <= 0xDFFF) return "a surrogate at " + std::to_string(pos);
        if (c > 0x10FFFF) return "a code point past U+10FFFF at " + std::to_string(pos);
        pos += length;
    }
    return {};
}

}  // namespace zentoro::fuzzing
