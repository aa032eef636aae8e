#include "tests/support/word_comparison.h"

#include <algorithm>

namespace zentoro::testing {

namespace {

constexpr std::string_view AsciiWhitespace = " \t\n\r\v\f";
// The Unicode spaces in UTF-8: LibreOffice writes a run of spaces as spaces
// and U+2006, and the document's own text may hold U+00A0.
constexpr std::string_view UnicodeSpaces[] = {
    "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006", "\u2007",
    "\u2008", "\u2009", "\u200A", "\u2028", "\u2029", "\u202F", "\u205F", "\u3000",
};
constexpr size_t ContextWords = 4;

std::string wordsAround(const std::vector<std::string>& words, size_t index) {
    size_t from = index > ContextWords ? index - ContextWords : 0;
    size_t to = std::min(words.size(), index + ContextWords + 1);
    std::string shown;
    for (size_t i = from; i < to; ++i) {
        if (!shown.empty()) shown += ' ';
        shown += i == index ? "[" + words[i] + "]" : words[i];
    }
    return index >= words.size() ? shown + " [end]" : shown;
}

// The length of the whitespace character at the start of `text`, or 0.
size_t whitespaceLength(std::string_view text) {
    if (text.empty()) return 0;
    if (AsciiWhitespace.find(text.front()) != std::string_view::npos) return 1;
    for (std::string_view space : UnicodeSpaces) {
        if (text.starts_with(space)) return space.size();
    }
    return 0;
}

}  // namespace

std::vector<std::string> splitWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    while (!text.empty()) {
        size_t space = whitespaceLength(text);
        if (space == 0) {
            word.push_back(text.front());
            text.remove_prefix(1);
            continue;
        }
        if (!word.empty()) words.push_back(std::move(word));
        word.clear();
        text.remove_prefix(space);
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

std::string describeWordDifference(const std::vector<std::string>& expected,
                                   const std::vector<std::string>& actual) {
    if (expected == actual) return {};
    auto first = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first;
    size_t index = static_cast<size_t>(first - expected.begin());
    return "word " + std::to_string(index + 1) + " differs (" + std::to_string(expected.size()) +
           " words expected, " + std::to_string(actual.size()) + " read)\n  expected: " +
           wordsAround(expected, index) + "\n  read:     " + wordsAround(actual, index);
}

}  // namespace zentoro::testing
