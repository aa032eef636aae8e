#include "write/heading_level.h"

namespace zentoro {

namespace {

// Heading style names without their level, as the device's ROMs give them.
constexpr std::string_view HeadingStems[] = {"heading ", "koptekst "};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithIgnoringCase(std::string_view text, std::string_view stem) {
    if (text.size() < stem.size()) return false;
    for (size_t i = 0; i < stem.size(); ++i) {
        if (lowerAscii(text[i]) != stem[i]) return false;
    }
    return true;
}

}  // namespace

int headingLevel(std::string_view name) {
    for (std::string_view stem : HeadingStems) {
        if (name.size() == stem.size() + 1 && startsWithIgnoringCase(name, stem)) {
            char level = name.back();
            if (level >= '1' && level <= '6') return level - '0';
        }
    }
    return 0;
}

int headingLevel(const Document& document, const Paragraph& paragraph) {
    if (paragraph.style < 0 || static_cast<size_t>(paragraph.style) >= document.styles.size()) return 0;
    return headingLevel(document.styles[paragraph.style].name);
}

}  // namespace zentoro
