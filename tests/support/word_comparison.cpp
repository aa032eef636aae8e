#include "tests/support/word_comparison.h"

#include <algorithm>

namespace zentoro::testing {

namespace {

constexpr std::string_view Whitespace = " \t\n\r\v\f";
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

}  // namespace

std::vector<std::string> splitWords(std::string_view text) {
    std::vector<std::string> words;
    size_t pos = text.find_first_not_of(Whitespace);
    while (pos != std::string_view::npos) {
        size_t end = text.find_first_of(Whitespace, pos);
        words.emplace_back(text.substr(pos, end - pos));
        pos = text.find_first_not_of(Whitespace, end);
    }
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
