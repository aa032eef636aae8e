#include "fuzz/utf8_check.h"

#include <gtest/gtest.h>

#include <string>

namespace zentoro::fuzzing {
namespace {

using namespace std::string_literals;

TEST(Utf8Check, AcceptsValidTextAndNamesWhatIsWrongWithTheRest) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain \t\n"s + '\0', ""},
        {"caf\xc3\xa9 \xe2\x80\xa8 \xe2\x82\xac \xf0\x9f\x98\x80", ""},
        {"\xe9t\xe9", "ends early"},
        {"\x80", "cannot start"},
        {"\xc0\xaf", "cannot start"},
        {"\xe0\x80\xaf", "overlong"},
        {"\xed\xa0\x80", "surrogate"},
        {"\xf4\x90\x80\x80", "past U+10FFFF"},
        {"ab\xe2\x82", "cut off"},
        {"\xe2(\xa1", "ends early"},
    };
    for (const auto& [text, problem] : cases) {
        std::string found = utf8Problem(text);
        if (problem.empty()) {
            EXPECT_EQ(found, "") << text;
        } else {
            EXPECT_NE(found.find(problem), std::string::npos) << text << " gave: " << found;
        }
    }
}

}  // namespace
}  // namespace zentoro::fuzzing
