#include "tests/support/rtf_completeness.h"

namespace zentoro::testing {

namespace {

// A word processor recognises RTF only by these first bytes: even a line
// feed before them makes it read the file as plain text.
constexpr std::string_view DocumentStart = "{\\rtf";
constexpr std::string_view TrailingWhitespace = " \t\r\n";

std::string at(size_t pos) { return " at byte " + std::to_string(pos); }

}  // namespace

std::string rtfCompletenessProblem(std::string_view rtf) {
    if (!rtf.starts_with(DocumentStart)) return "does not begin with {\\rtf";
    size_t end = rtf.find_last_not_of(TrailingWhitespace) + 1;
    long depth = 0;
    for (size_t pos = 0; pos < end; ++pos) {
        char c = rtf[pos];
        if (c == '\\') {
            ++pos;  // the escaped character, whatever it is, is no group mark
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0 && pos + 1 < end) {
            return "the document's group closes" + at(pos) + ", before its end";
        }
    }
    if (depth > 0) return std::to_string(depth) + " group(s) left open at the end";
    return {};
}

}  // namespace zentoro::testing
