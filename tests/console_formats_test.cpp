// zentoro -t/--to: each format written under its own extension, from named
// files and from folders alike, or chosen by the extension of the name -o
// gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "convert/output_format.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/temporary_folder.h"

namespace zentoro::testing {
namespace {

namespace fs = std::filesystem;

CommandRun zentoro(const TemporaryFolder& folder, const std::string& arguments) {
    return runIn(folder, "'" ZENTORO_CLI_PATH "' " + arguments);
}

struct FormatCase {
    const char* arguments;
    const char* output;
    const char* starts;    // what the output starts with
    const char* reported;  // what the report line says it became
};

TEST(ConsoleFormats, WritesEachFormatUnderItsExtension) {
    const FormatCase cases[] = {
        {"-t text letter", "letter.txt", "Zentoro sample document\n", "plain text"},
        {"--to html letter", "letter.html", "<!doctype html>\n", "HTML"},
        {"--to=markdown letter", "letter.md", "# Zentoro sample document\n", "Markdown"},
        {"-t rtf-faithful letter", "letter.rtf", "{\\rtf1\\ansi\\ansicpg1252", "RTF"},
        {"-t rtf letter", "letter.rtf", "{\\rtf1\\ansi\\ansicpg1252", "RTF"},
        {"-t rtf-original letter", "letter.rtf", "{\\rtf1\\ansi\\deff0", "RTF"},
        {"-t txt letter", "letter.txt", "Zentoro sample document\n", "plain text"},
        {"-t TEXT letter", "letter.txt", "Zentoro sample document\n", "plain text"},
        {"--to=HTML letter", "letter.html", "<!doctype html>\n", "HTML"},
        {"-t htm letter", "letter.html", "<!doctype html>\n", "HTML"},
        {"-t md letter", "letter.md", "# Zentoro sample document\n", "Markdown"},
        {"--to=Markdown letter", "letter.md", "# Zentoro sample document\n", "Markdown"},
        {"-t text --with-header-footer letter", "letter.txt", "Zentoro sample\nZentoro sample document\n", "plain text"},
        {"-t html --output-dir out docs", "out/letter.html", "<!doctype html>\n", "HTML"},
        // Without -t, a named output's extension chooses; with it, -t does.
        {"-o page.html letter", "page.html", "<!doctype html>\n", "HTML"},
        {"-o page.HTM letter", "page.HTM", "<!doctype html>\n", "HTML"},
        {"-o notes.txt letter", "notes.txt", "Zentoro sample document\n", "plain text"},
        {"-o notes.markdown letter", "notes.markdown", "# Zentoro sample document\n", "Markdown"},
        {"-o letter.rtf letter", "letter.rtf", "{\\rtf1\\ansi\\ansicpg1252", "RTF"},
        {"-o letter.doc letter", "letter.doc", "{\\rtf1\\ansi\\ansicpg1252", "RTF"},
        {"-o md.d/letter letter", "md.d/letter", "{\\rtf1\\ansi\\ansicpg1252", "RTF"},
        {"-o notes.txt -t rtf-original letter", "notes.txt", "{\\rtf1\\ansi\\deff0", "RTF"},
    };
    for (const auto& each : cases) {
        TemporaryFolder folder("formats");
        writeFile(folder.path("letter"), sampleDocument());
        fs::create_directory(folder.path("docs"));
        fs::create_directory(folder.path("md.d"));
        writeFile(folder.path("docs/letter"), sampleDocument());
        CommandRun run = zentoro(folder, each.arguments);
        EXPECT_EQ(run.status, 0) << each.arguments << "\n" << run.out << run.err;
        EXPECT_EQ(readFile(folder.path(each.output)).rfind(each.starts, 0), 0u) << each.arguments;
        std::string reported = std::string("Psion 5 Word file converted to ") + each.reported + " successfully\n";
        EXPECT_NE(run.out.find(reported), std::string::npos) << each.arguments << "\n" << run.out;
    }
}

TEST(ConsoleFormats, ConvertsStandardInputToStandardOutput) {
    TemporaryFolder folder("formats");
    writeFile(folder.path("letter"), sampleDocument());
    CommandRun run = zentoro(folder, "-t markdown - < letter");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("# Zentoro sample document\n\nThis paragraph has **bold**", 0), 0u) << run.out;
}

// The library's names, which the web page and other callers use too: each
// format's own name gives it back, the other spellings reach the same one.
TEST(ConsoleFormats, NamesAreTakenInAnyCaseWithTheirShortForms) {
    struct Case {
        const char* name;
        std::optional<OutputFormat> format;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"rtf", OutputFormat::RtfFaithful}, {"RTF", OutputFormat::RtfFaithful},
             {"rtf-faithful", OutputFormat::RtfFaithful}, {"rtf-original", OutputFormat::Rtf},
             {"Rtf-Original", OutputFormat::Rtf}, {"text", OutputFormat::Text}, {"txt", OutputFormat::Text},
             {"html", OutputFormat::Html}, {"HTM", OutputFormat::Html}, {"markdown", OutputFormat::Markdown},
             {"md", OutputFormat::Markdown}, {"", std::nullopt}, {"rt", std::nullopt}, {"rtf ", std::nullopt},
             {"original", std::nullopt}, {"pdf", std::nullopt},
         }) {
        EXPECT_EQ(outputFormatNamed(c.name), c.format) << c.name;
    }
    for (OutputFormat format : {OutputFormat::Rtf, OutputFormat::RtfFaithful, OutputFormat::Text, OutputFormat::Html,
                                OutputFormat::Markdown}) {
        EXPECT_EQ(outputFormatNamed(outputFormatName(format)), format) << outputFormatName(format);
        EXPECT_NE(outputFormatNames().find(outputFormatName(format)), std::string::npos);
    }
}

TEST(ConsoleFormats, RefusesUnknownFormats) {
    TemporaryFolder folder("formats");
    writeFile(folder.path("letter"), sampleDocument());
    for (const char* arguments : {"-t pdf letter", "--to letter", "-t"}) {
        CommandRun run = zentoro(folder, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find("zentoro: "), std::string::npos) << arguments;
    }
    EXPECT_FALSE(fs::exists(folder.path("letter.html")));
}

}  // namespace
}  // namespace zentoro::testing
