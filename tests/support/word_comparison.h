// Comparing two texts word by word, so that line breaking, tabs and
// paragraph spacing do not matter but every character of every word does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentoro::testing {

// Splits at runs of whitespace: ASCII's (space, tab, line feed, carriage
// return, vertical tab, form feed) and Unicode's spaces and line and
// paragraph separators.
std::vector<std::string> splitWords(std::string_view text);

// Empty when both hold the same words, otherwise where they first differ,
// with a few words of context.
std::string describeWordDifference(const std::vector<std::string>& expected,
                                   const std::vector<std::string>& actual);

}  // namespace zentoro::testing
