// zentoro over a backup that holds every kind: the shared Word documents,
// the picture files, the further kinds' samples and unrelated files convert
// in one run into the mirrored tree, each reported with its kind, and the
// summary counts them by kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "convert/convert_file_kind.h"
#include "convert/file_kinds.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/kind_builder.h"
#include "tests/builder/picture_file_builder.h"
#include "tests/builder/temporary_folder.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

const fs::path SharedCorpus = fs::path(ZENTORO_SOURCE_DIR) / ".." / "shared" / "corpus";

class KindsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(SharedCorpus / "images") || !fs::is_directory(SharedCorpus / "kinds")) {
            GTEST_SKIP() << "no shared corpus at " << SharedCorpus;
        }
        fs::path backup = folder_.root() / "backup";
        fs::create_directories(backup / "documents");
        for (const fs::directory_entry& entry : fs::directory_iterator(SharedCorpus)) {
            if (entry.path().extension() == ".wrd") fs::copy_file(entry.path(), backup / "documents" / entry.path().filename());
        }
        fs::copy(SharedCorpus / "images", backup / "pictures");
        fs::copy(SharedCorpus / "kinds", backup / "kinds", fs::copy_options::recursive);
        for (const char* readme : {"pictures/README.md", "kinds/README.md"}) fs::remove(backup / readme);
        writeFile(folder_.path("backup/notes.txt"), Bytes().text("shopping list\n").data);
        writeFile(folder_.path("backup/old.rtf"), Bytes().text("{\\rtf1 an earlier conversion}").data);
        writeFile(folder_.path("backup/empty"), {});
        std::error_code error;
        fs::permissions(backup, fs::perms::owner_all, fs::perm_options::add, error);
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(backup)) {
            fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
            if (entry.is_directory()) fs::permissions(entry.path(), fs::perms::owner_exec, fs::perm_options::add, error);
        }
    }

    CommandRun zentoro(const std::string& arguments) const {
        return runIn(folder_, "'" ZENTORO_CLI_PATH "' " + arguments);
    }

    TemporaryFolder folder_{"kinds-folder"};
};

TEST_F(KindsFolder, ABackupConvertsInOneRunWithItsSummaryByKind) {
    CommandRun run = zentoro("--kinds=word,picture --output-dir out backup");
    EXPECT_EQ(run.status, 1) << "the damaged picture library fails the run";
    const std::string damaged =
        "backup/pictures/ecb690d410_lots.mbm: the picture library is damaged (the list of bitmaps at its end is cut "
        "off); 200 pictures recovered in out/pictures/ecb690d410_lots.mbm-1.png ... "
        "out/pictures/ecb690d410_lots.mbm-200.png\n";
    EXPECT_EQ(run.err, damaged);
    size_t summary = run.out.find("Summary: ");
    ASSERT_NE(summary, std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(summary),
              "Summary: 46 converted: 25 Word documents, 1 sketch, 20 picture libraries; "
              "27 passed over: 2 recordings, 15 TextEd files, 1 spreadsheet, 6 OPL databases, 3 other; "
              "1 damaged, partly recovered; 0 failed\n"
              "Failed:\n  " + damaged);
    EXPECT_NE(run.out.find("backup/pictures/88e9817cdf_Sketch -> out/pictures/88e9817cdf_Sketch.png: Sketch file\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("backup/pictures/a42d5c4981_Editor.mbm -> out/pictures/a42d5c4981_Editor.mbm-1.png ... "
                           "out/pictures/a42d5c4981_Editor.mbm-12.png: picture library: 12 pictures\n"),
              std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(folder_.root() / "out/pictures/ecb690d410_lots.mbm-200.png"));
    EXPECT_TRUE(fs::is_regular_file(folder_.root() / "out/documents/fmt_index.wrd.rtf"));
}

TEST_F(KindsFolder, KindsLimitTheRunAndANamedFileNeedsNoOption) {
    CommandRun run = zentoro("--kinds=picture --dry-run backup/documents");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Summary: 0 to convert; 25 passed over: 25 Word documents; 0 failed\n");

    CommandRun named = zentoro("--kinds=word backup/pictures/fdabfa81e4_icons_color.mbm");
    EXPECT_EQ(named.status, 0) << named.err;
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(fs::is_regular_file(folder_.path("backup/pictures/fdabfa81e4_icons_color.mbm-" + std::to_string(i) + ".png")));
    }

    CommandRun unknown = zentoro("--kinds=word,pictures backup");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown kind 'pictures'"), std::string::npos) << unknown.err;
}

}  // namespace
}  // namespace zentoro

namespace zentoro {
namespace {

// An output never replaces its own input, nor a file of a kind zentoro
// converts: it may be another input of the run, or the only copy.
TEST(KindFiles, OutputsNeverReplaceTheInputOrAFileOfAKnownKind) {
    TemporaryFolder folder("kind-outputs");
    Sketch dot{1, 1, 1, false, 0, {0}};
    std::vector<uint8_t> library = multiBitmapFile({{dot}});
    std::vector<uint8_t> sketch = sketchFile(dot);
    writeFile(folder.path("pic"), library);
    writeFile(folder.path("pic.png"), sketch);
    writeFile(folder.path("self.png"), library);
    auto zentoro = [&folder](const std::string& arguments) {
        return runIn(folder, "'" ZENTORO_CLI_PATH "' " + arguments);
    };

    CommandRun besideASketch = zentoro("pic");
    EXPECT_EQ(besideASketch.status, 1);
    EXPECT_EQ(besideASketch.err, "pic: refusing to replace pic.png, a Sketch file\n");
    EXPECT_EQ(readFile(folder.path("pic.png")), std::string(sketch.begin(), sketch.end()));

    CommandRun overItself = zentoro("-o self.png self.png");
    EXPECT_EQ(overItself.status, 1);
    EXPECT_EQ(overItself.err, "self.png: refusing to write the output over the input file\n");
    EXPECT_EQ(readFile(folder.path("self.png")), std::string(library.begin(), library.end()));
}

// Every path below `root`, to tell what a run made.
std::set<std::string> filesBelow(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) files.insert(entry.path().lexically_relative(root).generic_string());
    }
    return files;
}

// -o names the output itself where it ends in the output's extension, and
// the numbered outputs of several without it; any other name gets the
// extension added, as an unnamed output does.
TEST(KindFiles, ANamedOutputIsTakenAsGiven) {
    Sketch dot{1, 1, 1, false, 0, {0}};
    struct Case {
        std::vector<uint8_t> input;
        const char* output;
        std::set<std::string> written;
    };
    const Case cases[] = {
        {sketchFile(dot), "drawn.png", {"drawn.png"}},
        {sketchFile(dot), "drawn", {"drawn.png"}},
        {multiBitmapFile({{dot, dot}}), "icons.png", {"icons-1.png", "icons-2.png"}},
        {recordFile({{0xD5, 0x55}}).data, "voice.wav", {"voice.wav"}},
        {recordFile({{0xD5, 0x55}}).data, "VOICE.WAV", {"VOICE.WAV"}},
        {recordFile({{0xD5, 0x55}}).data, "voice.rtf", {"voice.rtf.wav"}},
        {textEdFile("PROC main:\x06" "ENDP\x06").data, "main.opl", {"main.opl"}},
        {sheetFile(exampleWorkbook()).data, "prices.csv", {"prices.csv"}},
    };
    for (const Case& c : cases) {
        TemporaryFolder folder("kind-named-output");
        writeFile(folder.path("input"), c.input);
        CommandRun run = runIn(folder, "'" ZENTORO_CLI_PATH "' -o " + std::string(c.output) + " input");
        EXPECT_EQ(run.status, 0) << c.output << ": " << run.err;
        std::set<std::string> written = filesBelow(folder.root());
        written.erase("input");
        EXPECT_EQ(written, c.written) << c.output;
    }
}

// The outputs --dry-run lists for each kind are, by name, exactly the files
// the run then writes; -n tells which stand there and are kept; a damaged
// file is told damaged and a refused one as the run refuses it.
TEST(KindFiles, DryRunNamesEachOutputTheRunWrites) {
    struct Case {
        const char* what;
        const char* input;
        std::vector<uint8_t> bytes;
        const char* options;
        const char* existing;  // holding "mine" before both runs, a folder if it ends in '/'; or null
        int status;            // of both runs
        size_t outputs;        // the files the run writes
        const char* dryOutHas;
        const char* dryErrHas;
        bool sameErr;  // the dry run's standard error is the run's
    };
    Sketch grey{4, 4, 2, false, 1, std::vector<uint32_t>(16, 2)};
    Sketch cutShort = grey;
    cutShort.pixelData = Bytes().u8(0x02).u8(0xAA);  // less than its first row
    BuiltWorkbook twoSheets{"Sheet1", {{0, {BuiltCell{0, 0, 5, "a"}}}, {1, {BuiltCell{1, 1, 5, "b"}}}}};
    BuiltWorkbook locked = exampleWorkbook();
    locked.protectedByPassword = true;
    const std::vector<uint8_t> library = multiBitmapFile({{grey, grey, grey}});
    const Case cases[] = {
        {"a sketch", "Sketch", sketchFile(grey), "", nullptr, 0, 1, "Sketch -> Sketch.png: would be converted\n", "", true},
        {"a picture library, into a folder", "icons.mbm", library, "--output-dir out", nullptr, 0, 3,
         "icons.mbm -> out/icons.mbm-3.png: would be converted\n", "", true},
        {"a recording", "Scream", recordFile({std::vector<uint8_t>(100, 0xAA)}).data, "", nullptr, 0, 1, "", "", true},
        {"a spreadsheet of two worksheets", "Sheet", sheetFile(twoSheets).data, "", nullptr, 0, 2, "", "", true},
        {"a TextEd file", "Prog", textEdFile("PROC main:\x06" "ENDP\x06").data, "", nullptr, 0, 1, "", "", true},
        {"a damaged picture library", "cut.mbm", multiBitmapFile({{grey, cutShort, grey}}), "", nullptr, 1, 2, "",
         "cut.mbm: the picture library is damaged (bitmap 2: its pixel data end early); 2 pictures can be recovered in ",
         false},
        {"a refused spreadsheet", "Locked", sheetFile(locked).data, "", nullptr, 1, 0, "", "Locked: ", true},
        {"-n keeps one output of several", "icons.mbm", library, "-n", "icons.mbm-2.png", 0, 2,
         "icons.mbm -> icons.mbm-1.png: would be converted\nicons.mbm -> icons.mbm-2.png: skipped, it exists\n"
         "icons.mbm -> icons.mbm-3.png: would be converted\n",
         "", true},
        {"-n keeps the only output", "Sketch", sketchFile(grey), "-n", "Sketch.png", 0, 0,
         "Sketch: skipped, Sketch.png exists\n", "", true},
        {"a folder where the output goes", "Sketch", sketchFile(grey), "", "Sketch.png/", 1, 0, "", "Sketch: ", true},
    };
    const std::string cli = "'" ZENTORO_CLI_PATH "' ";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryFolder folder("kind-dry-run");
        writeFile(folder.path(c.input), c.bytes);
        bool existingFolder = c.existing != nullptr && std::string_view(c.existing).ends_with('/');
        if (existingFolder) fs::create_directories(folder.path(c.existing));
        if (c.existing != nullptr && !existingFolder) writeFile(folder.path(c.existing), {'m', 'i', 'n', 'e'});
        const std::string arguments = std::string(c.options) + " " + c.input;
        const std::set<std::string> before = filesBelow(folder.root());

        CommandRun dry = runIn(folder, cli + "--dry-run " + arguments);
        EXPECT_EQ(dry.status, c.status) << dry.out << dry.err;
        EXPECT_EQ(filesBelow(folder.root()), before) << "a dry run writes nothing";
        EXPECT_EQ(dry.out.find('*'), std::string::npos) << dry.out;
        EXPECT_NE(dry.out.find(c.dryOutHas), std::string::npos) << dry.out;
        EXPECT_NE(dry.err.find(c.dryErrHas), std::string::npos) << dry.err;
        std::set<std::string> listed;
        const std::string prefix = std::string(c.input) + " -> ", suffix = ": would be converted";
        for (size_t at = 0, end; (end = dry.out.find('\n', at)) != std::string::npos; at = end + 1) {
            std::string line = dry.out.substr(at, end - at);
            if (line.starts_with(prefix) && line.ends_with(suffix)) {
                listed.insert(line.substr(prefix.size(), line.size() - prefix.size() - suffix.size()));
            }
        }

        CommandRun run = runIn(folder, cli + arguments);
        EXPECT_EQ(run.status, c.status) << run.out << run.err;
        if (c.sameErr) {
            EXPECT_EQ(dry.err, run.err);
        }
        std::set<std::string> written;
        std::set<std::string> after = filesBelow(folder.root());
        std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::inserter(written, written.end()));
        EXPECT_EQ(listed, written) << dry.out;
        EXPECT_EQ(written.size(), c.outputs);
        if (c.existing != nullptr && !existingFolder) {
            EXPECT_EQ(readFile(folder.path(c.existing)), "mine");
            if (c.outputs == 0) {
                EXPECT_EQ(run.out, dry.out) << "the run keeps what the dry run said it would";
            }
        }
    }
}

// A folder standing where an output goes, or the input itself: listing the
// outputs meets the failure that writing them meets, reason and all (no
// errno where the system gave none), and nothing is kept.
TEST(KindFiles, ListingMeetsTheFailureWritingMeets) {
    struct Case {
        const char* name;
        const char* input;
        bool folderAtOutput;
        Failure failure;
        int systemError;
    };
    const Case cases[] = {
        {"a folder at the output", "Sketch", true, Failure::OutputUnwritable, EISDIR},
        {"the output is the input", "Sketch.png", false, Failure::SameFile, 0},
    };
    Sketch grey{4, 4, 2, false, 1, std::vector<uint32_t>(16, 2)};
    std::vector<uint8_t> bytes = sketchFile(grey);
    for (const Case& c : cases) {
        TemporaryFolder folder("kind-failing-output");
        std::string input = folder.path(c.input);
        writeFile(input, bytes);
        if (c.folderAtOutput) fs::create_directories(folder.path("Sketch.png"));
        std::string base = folder.path("Sketch");
        KindFileRequest request;
        request.kind = kindOf(bytes.data(), bytes.size());
        ASSERT_NE(request.kind, nullptr);
        request.inputPath = input.c_str();
        request.outputBase = base;
        for (ConversionResult result : {listKindFileOutputs(request).result, convertFileOfKind(request).result}) {
            EXPECT_EQ(result.failure, c.failure) << c.name;
            EXPECT_EQ(result.systemError, c.systemError) << c.name;
            EXPECT_FALSE(result.partialOutputKept) << c.name;
        }
        EXPECT_EQ(readFile(input), std::string(bytes.begin(), bytes.end())) << c.name;
    }
}

// A file that fails to read (here the process's own memory, unmapped at
// its start) fails as unreadable with the system's reason, and claims no
// output.
TEST(KindFiles, AReadErrorFailsWithItsReason) {
    Sketch grey{4, 4, 2, false, 1, std::vector<uint32_t>(16, 2)};
    std::vector<uint8_t> bytes = sketchFile(grey);
    TemporaryFolder folder("kind-unreadable");
    KindFileRequest request;
    request.kind = kindOf(bytes.data(), bytes.size());
    ASSERT_NE(request.kind, nullptr);
    request.inputPath = "/proc/self/mem";
    request.outputBase = folder.path("memory");
    if (!fs::exists(request.inputPath)) GTEST_SKIP() << "no /proc/self/mem";
    for (ConversionResult result : {listKindFileOutputs(request).result, convertFileOfKind(request).result}) {
        EXPECT_EQ(result.failure, Failure::InputUnreadable);
        EXPECT_EQ(result.systemError, EIO);
        EXPECT_FALSE(result.partialOutputKept);
    }
    EXPECT_TRUE(fs::is_empty(folder.root()));
}

// A file of a kind is read up to MaxKindFileBytes, not a byte more.
TEST(KindFiles, AFileOfTheLargestSizeIsReadAndOneByteMoreIsRefused) {
    TemporaryFolder folder("kind-largest");
    Sketch grey{4, 4, 2, false, 1, std::vector<uint32_t>(16, 2)};
    std::vector<uint8_t> bytes = sketchFile(grey);
    std::string input = folder.path("Sketch");
    writeFile(input, bytes);
    KindFileRequest request;
    request.kind = kindOf(bytes.data(), bytes.size());
    ASSERT_NE(request.kind, nullptr);
    request.inputPath = input.c_str();
    request.outputBase = input;
    fs::resize_file(input, MaxKindFileBytes);  // a hole: nothing is written
    EXPECT_NE(listKindFileOutputs(request).result.failure, Failure::LimitReached);
    fs::resize_file(input, MaxKindFileBytes + 1);
    EXPECT_EQ(listKindFileOutputs(request).result.failure, Failure::LimitReached);
}

}  // namespace
}  // namespace zentoro
