// The manual page and `zentoro --help` describe the same options.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>

#include "tests/builder/conversion_harness.h"

namespace zentoro {
namespace {

using namespace testing;

std::string helpText() {
    std::string text;
    std::FILE* pipe = ::popen("'" ZENTORO_CLI_PATH "' --help", "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
    ::pclose(pipe);
    return text;
}

// The manual page as plain text: roff's "\-" is a hyphen.
std::string manualPage() {
    std::string page = readFile(ZENTORO_SOURCE_DIR "/docs/zentoro.1");
    return std::regex_replace(page, std::regex(R"(\\-)"), "-");
}

std::set<std::string> optionsIn(const std::string& text) {
    std::set<std::string> options;
    std::regex option(R"((^|[\s,\[])(--?[a-z][a-z-]*))");
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) {
        options.insert((*it)[2]);
    }
    return options;
}

TEST(ManualPage, NamesEveryOptionOfTheHelpAndNoOther) {
    std::set<std::string> inHelp = optionsIn(helpText());
    ASSERT_TRUE(inHelp.count("--output-dir")) << helpText();
    std::set<std::string> inPage = optionsIn(manualPage());
    inPage.erase("-");  // the "--" that ends the options
    EXPECT_EQ(inPage, inHelp);
}

TEST(ManualPage, HasTheSectionsOfAUnixManualPage) {
    std::string page = manualPage();
    for (const char* section : {".SH NAME", ".SH SYNOPSIS", ".SH OPTIONS", ".SH EXIT STATUS", ".SH EXAMPLES"}) {
        EXPECT_NE(page.find(section), std::string::npos) << section;
    }
}

}  // namespace
}  // namespace zentoro
