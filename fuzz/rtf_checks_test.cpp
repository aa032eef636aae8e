#include "fuzz/rtf_checks.h"

#include <gtest/gtest.h>

#include <string>

namespace zentoro::fuzzing {
namespace {

using namespace std::string_literals;

struct WellFormednessCase {
    std::string rtf;
    std::string problem;  // empty: well formed; else a word of the message
};

TEST(RtfWellFormedness, FindsUnbalancedBracesRawControlBytesAndShortHexEscapes) {
    const WellFormednessCase cases[] = {
        {"{\\rtf1 {\\b bold}\n\\par}", ""},
        {"{\\rtf1 \\{ \\} \\\\ text}", ""},
        {"{\\rtf1 caf\\'e9}", ""},
        {"{\\rtf1 {open}", "left open"},
        {"{\\rtf1 }}", "never opened"},
        {"{\\rtf1 \\{}", ""},
        {"{\\rtf1 a\rb}", "raw byte 13"},
        {"{\\rtf1 a\tb}", "raw byte 9"},
        {"{\\rtf1 a\\\x0e}", "raw byte 14"},
        {"{\\rtf1 \"\0\"}"s, "raw byte 0"},
        {"{\\rtf1 \\'e}", "two hex digits"},
        {"{\\rtf1 \\'zz}", "two hex digits"},
        {"{\\rtf1 \\'4", "two hex digits"},
        {"{\\rtf1 }\\", "backslash ends"},
    };
    for (const auto& [rtf, problem] : cases) {
        std::string found = rtfWellFormednessProblem(rtf);
        if (problem.empty()) {
            EXPECT_EQ(found, "") << rtf;
        } else {
            EXPECT_NE(found.find(problem), std::string::npos) << rtf << " gave: " << found;
        }
    }
}

struct VisibleTextCase {
    std::string rtf;
    std::string text;
};

TEST(VisibleRtfText, KeepsTextAndDropsControlWordsAndDestinations) {
    const VisibleTextCase cases[] = {
        {"{\\rtf1\\ansi\\deff0\n{\\fonttbl{\\f0 Times;}}{\\stylesheet{\\s1 Heading;}}{\\colortbl;\\red0;}"
         "{\\pard \\b0 \\fs24 Hello\n\\par\n}}",
         "Hello\x06"},
        {"{\\pard a\\tab b\\line c\\page d\\par}", "a\tb\x07" "c\x08" "d\x06"},
        {"{\\pard \\{x\\} \\\\ \\'e9\\~\\_\\-}", "{x} \\ \xe9\x10\x0b\x0c"},
        {"{\\pard \\li-360 \\fi360 text}", "text"},
        {"{\\pard \\sl-240\\sa0 two}", "two"},
        {"{\\pard {\\*\\keycode \\shift N} x}", " x"},
        {"{\\pard {\\field {\\*\\fldinst SYMBOL 149 \\\\f \"Arial\"}{\\fldrslt}}after}", "after"},
        {"{\\header {\\pard Head\n\\par \n}}{\\pard Body}", "Head\x06" "Body"},
        {"{\\pard raw\x01\x0e\r\nbytes}", "rawbytes"},
    };
    for (const auto& [rtf, text] : cases) EXPECT_EQ(visibleRtfText(rtf), text) << rtf;
}

TEST(ExpectedVisibleText, MapsTheSpecialBytesAsAReaderShowsThem) {
    EXPECT_EQ(expectedVisibleText("a\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10z\x01\xe9"s + '\0'),
              "a\x06\x07\x08\x09\x09\x0b\x0c \x10z\xe9");
}

}  // namespace
}  // namespace zentoro::fuzzing
