// The zentoro command, run as a user runs it: reports, files written, exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/temporary_folder.h"
#include "tests/builder/document_builder.h"

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

TEST_F(Console, ConvertsEachFileToItsPathWithRtfAppended) {
    CommandRun run = zentoro("letter");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "letter -> letter.rtf: Psion 5 Word file converted to RTF successfully\n");
    EXPECT_EQ(run.err, "");
    Conversion expected = convertBytes(sampleDocument());
    EXPECT_EQ(readFile(path("letter.rtf")), expected.rtf);
}

TEST_F(Console, RejectsAFileThatIsNotAWordDocumentAndGoesOn) {
    CommandRun run = zentoro("notes.txt letter");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "This isn't an EPOC file - exiting program.\n"
              "notes.txt: File selected is not a valid Psion 5 Word file\n"
              "letter -> letter.rtf: Psion 5 Word file converted to RTF successfully\n");
    EXPECT_FALSE(fs::exists(path("notes.txt.rtf")));
    EXPECT_TRUE(fs::exists(path("letter.rtf")));
}

TEST_F(Console, MissingFileIsReportedAsNotAWordDocument) {
    CommandRun run = zentoro("absent");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "absent: File selected is not a valid Psion 5 Word file\n");
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
    EXPECT_EQ(run.out, "letter -> no-such-dir/out.rtf: Conversion failed\n");
}

TEST_F(Console, NeverWritesTheOutputOverTheInput) {
    std::string before = readFile(path("letter"));
    CommandRun run = zentoro("-o ./letter letter");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "letter: refusing to write the output over the input file\n");
    EXPECT_EQ(readFile(path("letter")), before);
}

TEST_F(Console, CheckOnlyReadsTheHeadersAndWritesNothing) {
    CommandRun run = zentoro("--check letter notes.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "letter: Psion 5 Word file\n"
              "This isn't an EPOC file - exiting program.\n"
              "notes.txt: File selected is not a valid Psion 5 Word file\n");
    EXPECT_FALSE(fs::exists(path("letter.rtf")));
    EXPECT_EQ(zentoro("--check letter").status, 0);
}

TEST_F(Console, UsageErrorsExitWithTwoAndShowTheUsage) {
    for (const char* arguments : {"", "--frobnicate letter", "-o out.rtf letter letter", "letter -o",
                                  "--check -o out.rtf letter"}) {
        CommandRun run = zentoro(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find("Usage: zentoro"), std::string::npos) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
    }
    EXPECT_FALSE(fs::exists(path("letter.rtf")));
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
