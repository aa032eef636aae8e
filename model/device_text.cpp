#include "model/device_text.h"

#include "model/code_page.h"

namespace zentoro {

namespace {

constexpr unsigned char LineBreakByte = 0x07;
constexpr unsigned char PageBreakByte = 0x08;
constexpr unsigned char TabByte = 0x09;
constexpr unsigned char UnbreakableTabByte = 0x0A;
constexpr unsigned char VisibleSpaceByte = 0x0F;
constexpr unsigned char HardSpaceByte = 0x10;
constexpr unsigned char FirstPrintableByte = 0x20;

// The code point of a control byte, or 0 for one that shows nothing.
char32_t controlCharacter(unsigned char byte) {
    switch (byte) {
        case LineBreakByte: return LineBreakCharacter;
        case PageBreakByte: return U'\f';
        case TabByte:
        case UnbreakableTabByte: return U'\t';
        case HardHyphenByte: return HardHyphenCharacter;
        case SoftHyphenByte: return SoftHyphenCharacter;
        case VisibleSpaceByte: return U' ';
        case HardSpaceByte: return HardSpaceCharacter;
        default: return 0;
    }
}

}  // namespace

void appendDeviceText(std::string& out, std::span<const unsigned char> bytes, int codePage) {
    out.reserve(out.size() + bytes.size());
    size_t at = 0;
    while (at < bytes.size()) {
        // Printable ASCII, most of any text, is copied a stretch at a time.
        size_t plain = at;
        while (plain < bytes.size() && bytes[plain] >= FirstPrintableByte && bytes[plain] < 0x80) ++plain;
        if (plain > at) {
            out.append(reinterpret_cast<const char*>(bytes.data() + at), plain - at);
            at = plain;
            continue;
        }
        unsigned char byte = bytes[at++];
        if (byte >= 0x80) {
            appendUtf8(out, codePagePoint(codePage, byte));
        } else if (char32_t c = controlCharacter(byte); c != 0) {
            appendUtf8(out, c);
        }
    }
}

}  // namespace zentoro
