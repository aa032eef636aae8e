#include "write/heading_level.h"

#include <string>

#include "model/code_page.h"

namespace zentoro {

namespace {

struct HeadingStem {
    std::string_view name;  // folded to lower case, without the level
    std::string_view language;
};

constexpr HeadingStem HeadingStems[] = {
    {"heading", "en"},  {"\u00fcberschrift", "de"}, {"titre", "fr"},    {"koptekst", "nl"},
    {"kop", "nl"},      {"titolo", "it"},           {"t\u00edtulo", "es"}, {"titulo", "es"},
};

// Lower case for ASCII and the Latin-1 letters, which the stems hold.
char32_t folded(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    return c;
}

std::string foldedName(std::string_view name) {
    std::string result;
    for (size_t i = 0; i < name.size();) appendUtf8(result, folded(nextCodePoint(name, i)));
    return result;
}

// The stem the name is made of, with its level; nothing when it is no heading name.
const HeadingStem* matchingStem(std::string_view name, int& level) {
    std::string lower = foldedName(name);
    for (const HeadingStem& stem : HeadingStems) {
        if (lower.size() < stem.name.size() + 1 || lower.compare(0, stem.name.size(), stem.name) != 0) continue;
        std::string_view rest = std::string_view(lower).substr(stem.name.size());
        if (rest.front() == ' ') rest.remove_prefix(1);
        if (rest.size() == 1 && rest[0] >= '1' && rest[0] <= '6') {
            level = rest[0] - '0';
            return &stem;
        }
    }
    return nullptr;
}

}  // namespace

int headingLevel(std::string_view name) {
    int level = 0;
    return matchingStem(name, level) != nullptr ? level : 0;
}

int headingLevel(const Document& document, const Paragraph& paragraph) {
    if (paragraph.style < 0 || static_cast<size_t>(paragraph.style) >= document.styles.size()) return 0;
    return headingLevel(document.styles[paragraph.style].name);
}

std::string_view headingLanguage(const Document& document) {
    for (const Style& style : document.styles) {
        int level = 0;
        if (const HeadingStem* stem = matchingStem(style.name, level)) return stem->language;
    }
    return {};
}

}  // namespace zentoro
