// zentoro on file and folder names beyond ASCII, including bytes that are
// not UTF-8 at all: a name reaches the file system and the report lines
// exactly as given or found, whichever way the file is reached. (The same
// names under Windows are the windows_console_under_wine test's.)
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/temporary_folder.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr const char* Folder = "Brieven \xE2\x80\x93 \xC3\x9Cn\xC3\xAF" "code";  // "Brieven – Ünïcode"
constexpr const char* Converted = ": Psion 5 Word file converted to RTF successfully\n";

struct Name {
    const char* what;
    const char* file;
};

void PrintTo(const Name& name, std::ostream* out) { *out << name.what; }

const Name Names[] = {
    {"Latin", "Brief \xC3\xA9.wrd"},                                      // "Brief é.wrd"
    {"Greek and a dash", "\xCE\x93\xCF\x81\xCE\xAC\xCE\xBC\xCE\xBC\xCE\xB1 \xE2\x80\x93 1"},  // "Γράμμα – 1"
    {"Latin-1 bytes, not UTF-8", "Gr\xF6\xDF" "e"},                        // "Größe" as Latin-1
};

class FileNames : public ::testing::TestWithParam<Name> {
protected:
    void SetUp() override {
        fs::create_directories(folder_.root() / Folder / "sub");
        writeFile(path(inFolder()), sampleDocument());
    }

    std::string path(const std::string& relative) const { return folder_.path(relative); }
    std::string inFolder() const { return std::string(Folder) + "/sub/" + GetParam().file; }

    CommandRun zentoro(const std::string& arguments) const {
        return runIn(folder_, "'" ZENTORO_CLI_PATH "' " + arguments);
    }

    static std::string quoted(const std::string& text) { return std::string("'").append(text).append("'"); }

    TemporaryFolder folder_{"names"};
};

TEST_P(FileNames, AFolderWalkConvertsAndReportsTheNameAsFound) {
    CommandRun run = zentoro(quoted(Folder));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, inFolder() + " -> " + inFolder() + ".rtf" + Converted +
                           "Summary: 1 converted: 1 Word document; 0 passed over; 0 failed\n");
    EXPECT_EQ(readFile(path(inFolder() + ".rtf")), convertBytes(sampleDocument()).rtf);
}

TEST_P(FileNames, OutputDirMirrorsTheName) {
    std::string outputDir = std::string("out ") + GetParam().file;
    CommandRun run = zentoro("--output-dir " + quoted(outputDir) + " " + quoted(Folder));
    EXPECT_EQ(run.status, 0) << run.out;
    std::string output = outputDir + "/sub/" + GetParam().file + ".rtf";
    EXPECT_NE(run.out.find(inFolder() + " -> " + output + Converted), std::string::npos) << run.out;
    EXPECT_EQ(readFile(path(output)), convertBytes(sampleDocument()).rtf);
}

TEST_P(FileNames, ADocumentNamedDirectlyIsConvertedBesideItself) {
    CommandRun run = zentoro(quoted(inFolder()));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, inFolder() + " -> " + inFolder() + ".rtf" + Converted);
    EXPECT_EQ(readFile(path(inFolder() + ".rtf")), convertBytes(sampleDocument()).rtf);
}

TEST_P(FileNames, TheInputNamedAsItsOwnOutputIsRefusedAndKept) {
    std::string sameFile = std::string(Folder) + "/sub/../sub/" + GetParam().file;
    CommandRun run = zentoro("-o " + quoted(sameFile) + " " + quoted(inFolder()));
    EXPECT_EQ(run.status, 1) << run.out;
    std::vector<uint8_t> document = sampleDocument();
    EXPECT_EQ(readFile(path(inFolder())), std::string(document.begin(), document.end()));
}

INSTANTIATE_TEST_SUITE_P(Names, FileNames, ::testing::ValuesIn(Names), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.what; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

}  // namespace
}  // namespace zentoro
