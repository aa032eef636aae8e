// Large generated documents for the benchmarks and the output checks:
// styles, shared formats, own-format paragraphs of several phrases, a header
// and a footer, scaled by the size of their text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zentoro::testing {

inline constexpr size_t Megabyte = 1000 * 1000;

// A document of about `textBytes` characters of text in paragraphs of about
// 50 characters, half of them with one of 50 shared formats and half with
// their own format in 1 to 5 phrases, over a style section of 30 styles.
std::vector<uint8_t> scaledDocument(size_t textBytes);

// A document of about `textBytes` characters in short paragraphs (24 to 56
// characters) that all have their own format, a quarter of them with exact
// line spacing, in 3 to 8 phrases of several character attributes each.
std::vector<uint8_t> manyPhrasesDocument(size_t textBytes);

}  // namespace zentoro::testing
