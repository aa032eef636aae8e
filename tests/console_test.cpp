// The zentoro command, run as a user runs it: reports, files written, exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/temporary_folder.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/picture_file_builder.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class Console : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(path("letter"), sampleDocument());
        writeFile(path("notes.txt"), Bytes().text("just some text\n").data);
    }

    std::string path(const std::string& name) const { return folder_.path(name); }

    // Runs zentoro in the test's folder with the given arguments.
    CommandRun zentoro(const std::string& arguments) const {
        return runIn(folder_, "'" ZENTORO_CLI_PATH "' " + arguments);
    }

    TemporaryFolder folder_{"console"};
    const fs::path& dir_ = folder_.root();
};

std::string faithfulRtf(const std::vector<uint8_t>& document) {
    std::string rtf;
    EXPECT_TRUE(convertDocumentFaithfulToString(document.data(), document.size(), rtf).succeeded());
    return rtf;
}

// The faithful RTF by default and under each of its names; the original
// design's bytes only when asked for.
TEST_F(Console, ConvertsEachFileToItsPathWithRtfAppended) {
    std::string faithful = faithfulRtf(sampleDocument());
    std::string original = convertBytes(sampleDocument()).rtf;
    ASSERT_NE(faithful, original);
    struct Case {
        const char* options;
        const std::string& expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"", faithful},
             {"-t rtf", faithful},
             {"--to=RTF", faithful},
             {"--faithful", faithful},
             {"-t rtf-faithful", faithful},
             {"--faithful -t rtf", faithful},
             {"--original", original},
             {"--to=rtf-original", original},
             {"-t Rtf-Original --original", original},
         }) {
        fs::remove(path("letter.rtf"));
        CommandRun run = zentoro(std::string(c.options) + " letter");
        EXPECT_EQ(run.status, 0) << c.options;
        EXPECT_EQ(run.out, "letter -> letter.rtf: Psion 5 Word file converted to RTF successfully\n") << c.options;
        EXPECT_EQ(run.err, "") << c.options;
        EXPECT_TRUE(readFile(path("letter.rtf")) == c.expected) << c.options;
    }
}

TEST_F(Console, RejectsAFileThatIsNotAWordDocumentOnStandardErrorAndGoesOn) {
    CommandRun run = zentoro("notes.txt letter");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "letter -> letter.rtf: Psion 5 Word file converted to RTF successfully\n"
              "Summary: 1 converted: 1 Word document; 0 passed over; 1 failed\n"
              "Failed:\n"
              "  notes.txt: not a Word document: it is not an EPOC file\n");
    EXPECT_EQ(run.err, "notes.txt: not a Word document: it is not an EPOC file\n");
    EXPECT_FALSE(fs::exists(path("notes.txt.rtf")));
    EXPECT_TRUE(fs::exists(path("letter.rtf")));
}

// A named file that is not a Word document: one line with its name and
// what it is, in this program's words.
TEST_F(Console, EachFileThatIsNotADocumentGetsOneLineThatSaysWhatItIs) {
    writeFile(path("empty"), {});
    writeFile(path("short"), Bytes().text("EPOC").data);
    writeFile(path("tables"), uidHeader(0x10000050, 0x1000008A, 0).data);
    struct Case {
        const char* arguments;
        const char* line;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"notes.txt", "notes.txt: not a Word document: it is not an EPOC file\n"},
             {"empty", "empty: not a Word document: it is empty\n"},
             {"short", "short: not a Word document: it is too short to be one\n"},
             {"--check tables", "tables: not a Word document: it is an OPL database\n"},
         }) {
        CommandRun run = zentoro(c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_EQ(run.err, c.line) << c.arguments;
        EXPECT_EQ(run.out, "") << c.arguments;
    }
}

TEST_F(Console, MissingFileIsReportedWithTheReason) {
    CommandRun run = zentoro("absent");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "absent: cannot open: No such file or directory\n");
}

TEST_F(Console, OutputOptionWritesWhereItSays) {
    CommandRun run = zentoro("-o out.rtf letter");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "letter -> out.rtf: Psion 5 Word file converted to RTF successfully\n");
    EXPECT_TRUE(fs::exists(path("out.rtf")));
    EXPECT_FALSE(fs::exists(path("letter.rtf")));
}

TEST_F(Console, ConversionThatCannotWriteItsOutputFails) {
    CommandRun run = zentoro("-o no-such-dir/out.rtf letter");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "letter: Conversion failed: cannot write no-such-dir/out.rtf: No such file or directory\n");
}

TEST_F(Console, NeverWritesTheOutputOverTheInput) {
    std::string before = readFile(path("letter"));
    CommandRun run = zentoro("-o ./letter letter");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "letter: refusing to write the output over the input file\n");
    EXPECT_EQ(readFile(path("letter")), before);
}

TEST_F(Console, CheckOnlyReadsTheHeadersAndWritesNothing) {
    CommandRun run = zentoro("--check letter notes.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("letter: Psion 5 Word file\nSummary: 1 found: 1 Word document; 0 passed over", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "notes.txt: not a Word document: it is not an EPOC file\n");
    // The verbose form shows the header check's own message first.
    CommandRun verbose = zentoro("--check -v notes.txt");
    EXPECT_EQ(verbose.err,
              "This isn't an EPOC file - exiting program.\n"
              "notes.txt: not a Word document: it is not an EPOC file\n");
    EXPECT_FALSE(fs::exists(path("letter.rtf")));
    EXPECT_EQ(zentoro("--check letter").status, 0);
}

TEST_F(Console, UsageErrorsExitWithTwoAndSayWhatIsWrongInOneLine) {
    struct Case {
        const char* arguments;
        const char* problem;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"", "no input file given"},
             {"--frobnicate letter", "unknown option '--frobnicate'"},
             {"-x letter", "unknown option -x"},
             {"-o out.rtf letter letter", "option -o takes exactly one input file"},
             {"letter -o", "option -o needs a value"},
             {"letter --output", "option --output needs a value"},
             {"--verbose=yes letter", "option --verbose takes no value"},
             {"--out=x.rtf letter", "option '--out=x.rtf' is ambiguous: --output, --output-dir"},
             {"--ver", "option '--ver' is ambiguous: --verbose, --version"},
             {"--check -o out.rtf letter", "option -o cannot be used with --check"},
             {"--to=pdf letter", "unknown output format 'pdf' (the formats: rtf, rtf-original, text, html, markdown)"},
             {"-t mark letter", "unknown output format 'mark' (the formats: rtf, rtf-original, text, html, markdown)"},
             {"--faithful -t text letter", "options --faithful and --to=text choose different outputs"},
             {"-t html --original letter", "options --to=html and --original choose different outputs"},
             {"-t md -t TXT letter", "options --to=md and --to=TXT choose different outputs"},
             {"-q -v letter", "options --quiet and --verbose exclude each other"},
             {"-qv letter", "options --quiet and --verbose exclude each other"},
             {"-q --dry-run letter", "options --quiet and --dry-run exclude each other"},
             {"--extract-pictures letter", "option --extract-pictures needs a folder: --extract-pictures=DIR"},
             {"--extract-pictures= letter", "option --extract-pictures needs a folder: --extract-pictures=DIR"},
             {"--sound=loud letter", "option --sound takes once or as-played, not 'loud'"},
             {"- -", "standard input ('-') can be read only once"},
         }) {
        CommandRun run = zentoro(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_EQ(run.err, "zentoro: " + std::string(c.problem) + "\nTry 'zentoro --help'.\n") << c.arguments;
        EXPECT_EQ(run.out, "") << c.arguments;
    }
    EXPECT_FALSE(fs::exists(path("letter.rtf")));
    EXPECT_FALSE(fs::exists(path("out.rtf")));
}

TEST_F(Console, TakesOptionsInEveryGnuForm) {
    struct Case {
        const char* arguments;
        const char* output;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"--output=a.rtf letter", "a.rtf"},
             {"--output b.rtf letter", "b.rtf"},
             {"-oc.rtf letter", "c.rtf"},
             {"-vod.rtf letter", "d.rtf"},
             {"-vo e.rtf letter", "e.rtf"},
             {"letter --qui --output=f.rtf", "f.rtf"},  // an unambiguous abbreviation
             {"--to=rtf -nv -o g.rtf letter", "g.rtf"},
         }) {
        CommandRun run = zentoro(c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments << "\n" << run.err;
        EXPECT_TRUE(readFile(path(c.output)) == faithfulRtf(sampleDocument())) << c.arguments;
    }
}

TEST_F(Console, HelpAndVersionExitWithZero) {
    CommandRun help = zentoro("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: zentoro", 0), 0u);
    CommandRun version = zentoro("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("zentoro ", 0), 0u);
}

TEST_F(Console, DoubleDashEndsTheOptions) {
    writeFile(path("-o"), sampleDocument());
    CommandRun run = zentoro("-- -o");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(fs::exists(path("-o.rtf")));
}

}  // namespace
}  // namespace zentoro
