// File names as report lines show them.
#include <gtest/gtest.h>

#include "ui/escaped_name.h"

namespace zentoro {
namespace {

TEST(EscapedName, WritesControlCharactersAsEscapesAndLeavesTheRest) {
    struct Case {
        std::string name;
        std::string shown;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"letter", "letter"},
             {"two\nlines", "two\\nlines"},
             {"tab\there\r", "tab\\there\\r"},
             {"red\x1b[31m", "red\\x1b[31m"},
             {std::string("nul\0byte", 8), "nul\\x00byte"},
             {"del\x7f", "del\\x7f"},
             {"csi\xc2\x9b" "31m", "csi\\xc2\\x9b31m"},       // C1 control in UTF-8
             {"caf\xc3\xa9 \xc2\xa3", "caf\xc3\xa9 \xc2\xa3"},  // letters and symbols stay
             {"C:\\Psion\\letter", "C:\\Psion\\letter"},
             {"cut\xc2", "cut\xc2"},
         }) {
        EXPECT_EQ(escapedName(c.name), c.shown) << c.shown;
    }
}

}  // namespace
}  // namespace zentoro
