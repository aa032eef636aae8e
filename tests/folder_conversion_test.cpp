// zentoro over whole folders, run as a user runs it on a backup: which files
// are converted, what is passed over, the summary, the exit status and that
// nothing is written outside the output locations.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "reader/word_uids.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/temporary_folder.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// Header UIDs of EPOC files that are not Word documents.
constexpr uint32_t SheetApplicationUid = 0x10000088;
constexpr uint32_t OtherDocumentKindUid = 0x1000006E;

std::vector<uint8_t> wordDocumentWithText(const std::string& text) {
    return WordDocument().applicationId().styles(StyleSection{}).text(text).build();
}

std::string rtfOf(const std::vector<uint8_t>& document) { return convertBytes(document).rtf; }

// Every entry below `root` and what it holds: file bytes, link targets, "dir".
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> found;
    for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied);
         it != fs::recursive_directory_iterator(); ++it) {
        std::string relative = it->path().lexically_relative(root).string();
        fs::file_status status = it->symlink_status();
        if (fs::is_symlink(status)) {
            found[relative] = "link to " + fs::read_symlink(it->path()).string();
        } else if (fs::is_directory(status)) {
            found[relative] = "dir";
        } else {
            found[relative] = fs::is_regular_file(status) ? readFile(it->path().string()) : "special";
        }
    }
    return found;
}

class FolderConversion : public ::testing::Test {
protected:
    void TearDown() override {
        std::error_code error;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, error);
        for (const char* locked : {"backup/Locked", "backup/private"}) {
            fs::permissions(dir_ / locked, fs::perms::owner_all, fs::perm_options::add, error);
        }
        fs::remove_all(dir_);
    }

    std::string path(const std::string& name) const { return folder_.path(name); }

    // A backup as people have them: Word documents with and without
    // extensions among other EPOC files, text, an earlier RTF, a nested
    // folder, a symbolic link loop, a dangling link and a FIFO.
    void buildBackup() {
        fs::create_directories(path("backup/Documents/Old"));
        writeFile(path("backup/letter"), sampleDocument());
        writeFile(path("backup/Documents/memo.wrd"), wordDocumentWithText("Memo\x06"));
        writeFile(path("backup/Documents/Old/plan"), wordDocumentWithText("Plan\x06"));
        // A spreadsheet's UIDs without their checksum: not taken for one.
        writeFile(path("backup/sheet"),
                  WordDocument().headerUids(EpocFileUid, StandardDocumentUid, SheetApplicationUid).build());
        writeFile(path("backup/sketch"),
                  WordDocument().headerUids(EpocFileUid, OtherDocumentKindUid, WordDocumentUid).build());
        writeFile(path("backup/notes.txt"), Bytes().text("shopping list\n").data);
        writeFile(path("backup/old.rtf"), Bytes().text("{\\rtf1 an earlier conversion}").data);
        writeFile(path("backup/empty"), {});
        fs::create_directory_symlink("..", path("backup/Documents/loop"));
        fs::create_symlink("nowhere", path("backup/dangling"));
        ASSERT_EQ(::mkfifo(path("backup/pipe").c_str(), 0644), 0);
    }

    // Compared with the original conversion's bytes, which is asked for.
    CommandRun zentoro(const std::string& arguments, const std::string& wrapper = "") const {
        return runIn(folder_, wrapper + " '" ZENTORO_CLI_PATH "' --original " + arguments);
    }

    TemporaryFolder folder_{"folders"};
    const fs::path& dir_ = folder_.root();
};

TEST_F(FolderConversion, ConvertsEveryWordDocumentInTheTreeAndPassesOverTheRestQuietly) {
    buildBackup();
    auto before = snapshot(dir_);
    CommandRun run = zentoro("backup");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "backup/Documents/Old/plan -> backup/Documents/Old/plan.rtf: "
              "Psion 5 Word file converted to RTF successfully\n"
              "backup/Documents/memo.wrd -> backup/Documents/memo.wrd.rtf: "
              "Psion 5 Word file converted to RTF successfully\n"
              "backup/letter -> backup/letter.rtf: Psion 5 Word file converted to RTF successfully\n"
              "Summary: 3 converted: 3 Word documents; 5 passed over: 5 other; 3 links and special files; 0 failed\n");
    EXPECT_EQ(run.err, "") << "no progress line when standard error is not a terminal";

    auto expected = before;
    expected["backup/letter.rtf"] = rtfOf(sampleDocument());
    expected["backup/Documents/memo.wrd.rtf"] = rtfOf(wordDocumentWithText("Memo\x06"));
    expected["backup/Documents/Old/plan.rtf"] = rtfOf(wordDocumentWithText("Plan\x06"));
    EXPECT_EQ(snapshot(dir_), expected);
}

TEST_F(FolderConversion, ASecondRunReplacesItsOutputsAndNeverConvertsThem) {
    buildBackup();
    zentoro("backup");
    auto afterFirst = snapshot(dir_);
    CommandRun again = zentoro("backup");
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("Summary: 3 converted: 3 Word documents; 5 passed over: 5 other; 3 earlier outputs; 3 links and special files; 0 failed\n"), std::string::npos)
        << again.out;
    EXPECT_EQ(snapshot(dir_), afterFirst);
}

TEST_F(FolderConversion, OutputDirMirrorsTheTreeAndLeavesTheBackupUntouched) {
    buildBackup();
    auto backupBefore = snapshot(path("backup"));
    CommandRun run = zentoro("--output-dir converted backup");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("backup/Documents/Old/plan -> converted/Documents/Old/plan.rtf: Psion 5 Word file "
                           "converted to RTF successfully\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(snapshot(path("backup")), backupBefore);
    std::map<std::string, std::string> expected = {
        {"Documents", "dir"},
        {"Documents/Old", "dir"},
        {"Documents/Old/plan.rtf", rtfOf(wordDocumentWithText("Plan\x06"))},
        {"Documents/memo.wrd.rtf", rtfOf(wordDocumentWithText("Memo\x06"))},
        {"letter.rtf", rtfOf(sampleDocument())},
    };
    EXPECT_EQ(snapshot(path("converted")), expected);
}

TEST_F(FolderConversion, OutputDirInsideTheTreeIsNotSearched) {
    buildBackup();
    zentoro("--output-dir backup/converted backup");
    CommandRun again = zentoro("--output-dir backup/converted backup");
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("Summary: 3 converted: 3 Word documents; 5 passed over: 5 other; 3 links and special files; 0 failed\n"), std::string::npos)
        << again.out;
    EXPECT_FALSE(fs::exists(path("backup/converted/converted")));
}

TEST_F(FolderConversion, DryRunListsWhatWouldBeConvertedAndWritesNothing) {
    buildBackup();
    auto before = snapshot(dir_);
    CommandRun run = zentoro("--dry-run --output-dir converted backup");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "backup/Documents/Old/plan -> converted/Documents/Old/plan.rtf: would be converted\n"
              "backup/Documents/memo.wrd -> converted/Documents/memo.wrd.rtf: would be converted\n"
              "backup/letter -> converted/letter.rtf: would be converted\n"
              "Summary: 3 to convert: 3 Word documents; 5 passed over: 5 other; 3 links and special files; 0 failed\n");
    EXPECT_EQ(snapshot(dir_), before);
}

TEST_F(FolderConversion, VerboseShowsWhyEachFileWasPassedOver) {
    buildBackup();
    CommandRun run = zentoro("--verbose --check backup");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "backup/Documents/Old/plan: Psion 5 Word file\n"
              "backup/Documents/loop: skipped, symbolic link to a folder, not followed\n"
              "backup/Documents/memo.wrd: Psion 5 Word file\n"
              "backup/dangling: skipped, not a regular file\n"
              "backup/empty: skipped, not a file of a known kind: it is empty\n"
              "backup/letter: Psion 5 Word file\n"
              "backup/notes.txt: skipped, not a file of a known kind: it is not an EPOC file\n"
              "backup/old.rtf: skipped, not a file of a known kind: it is not an EPOC file\n"
              "backup/pipe: skipped, not a regular file\n"
              "backup/sheet: skipped, not a file of a known kind: it is a spreadsheet file\n"
              "backup/sketch: skipped, not a file of a known kind: it is an EPOC file but not a document\n"
              "Summary: 3 found: 3 Word documents; 5 passed over: 5 other; 3 links and special files; 0 failed\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(FolderConversion, FailedConversionIsListedAndTheWalkGoesOn) {
    fs::create_directories(path("backup/Documents"));
    writeFile(path("backup/Documents/memo"), wordDocumentWithText("Memo\x06"));
    writeFile(path("backup/letter"), sampleDocument());
    fs::create_directories(path("out"));
    writeFile(path("out/Documents"), {});  // the mirrored folder cannot be created
    CommandRun run = zentoro("--output-dir out backup");
    EXPECT_EQ(run.status, 1);
    std::string failure = "backup/Documents/memo: cannot make the folder out/Documents: Not a directory\n";
    EXPECT_EQ(run.err, failure);
    EXPECT_EQ(run.out,
              "backup/letter -> out/letter.rtf: Psion 5 Word file converted to RTF successfully\n"
              "Summary: 1 converted: 1 Word document; 0 passed over; 1 failed\n"
              "Failed:\n  " + failure);
}

TEST_F(FolderConversion, NeverReplacesAWordDocumentOrAnythingButAFileWithAnOutput) {
    fs::create_directories(path("backup/folder.rtf"));
    writeFile(path("backup/folder"), sampleDocument());
    ASSERT_EQ(::mkfifo(path("backup/pipe.rtf").c_str(), 0644), 0);
    writeFile(path("backup/pipe"), sampleDocument());
    writeFile(path("backup/report"), sampleDocument());
    writeFile(path("backup/report.rtf"), wordDocumentWithText("A Word document named like RTF\x06"));
    std::string wordDocument = readFile(path("backup/report.rtf"));
    CommandRun run = zentoro("backup");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readFile(path("backup/report.rtf")), wordDocument);
    EXPECT_TRUE(fs::exists(path("backup/report.rtf.rtf")));
    EXPECT_NE(run.out.find("Summary: 1 converted: 1 Word document; 0 passed over; 1 link or special file; 3 failed\n"
                           "Failed:\n"
                           "  backup/folder: refusing to write backup/folder.rtf, which is not a regular file\n"
                           "  backup/pipe: refusing to write backup/pipe.rtf, which is not a regular file\n"
                           "  backup/report: refusing to replace the Word document backup/report.rtf\n"),
              std::string::npos)
        << run.out;
}

TEST_F(FolderConversion, TwoInputsSharingAnOutputFailTheSecondInsteadOfReplacingTheFirst) {
    fs::create_directories(path("first"));
    fs::create_directories(path("second"));
    writeFile(path("first/letter"), sampleDocument());
    writeFile(path("second/letter"), wordDocumentWithText("Other\x06"));
    CommandRun run = zentoro("--output-dir out first second");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readFile(path("out/letter.rtf")), rtfOf(sampleDocument()));
    EXPECT_NE(run.out.find("  second/letter: refusing to write out/letter.rtf, the output of first/letter too\n"),
              std::string::npos)
        << run.out;
}

TEST_F(FolderConversion, NamedFilesAmongFoldersAreCheckedAloudAndCounted) {
    buildBackup();
    CommandRun run = zentoro("backup/notes.txt backup/Documents");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "backup/notes.txt: not a Word document: it is not an EPOC file\n");
    EXPECT_EQ(run.out,
              "backup/Documents/Old/plan -> backup/Documents/Old/plan.rtf: "
              "Psion 5 Word file converted to RTF successfully\n"
              "backup/Documents/memo.wrd -> backup/Documents/memo.wrd.rtf: "
              "Psion 5 Word file converted to RTF successfully\n"
              "Summary: 2 converted: 2 Word documents; 0 passed over; 1 link or special file; 1 failed\n"
              "Failed:\n"
              "  backup/notes.txt: not a Word document: it is not an EPOC file\n");
}

// Root reads any file whatever its mode; dropping the capabilities that let
// it do so makes the mode count. Empty when the files stay readable.
std::optional<std::string> wrapperThatHonoursFileModes(const std::string& lockedFile) {
    if (::geteuid() != 0) return std::string();
    std::string wrapper = "setpriv --bounding-set -dac_override,-dac_read_search";
    std::string probe = wrapper + " cat '" + lockedFile + "' >/dev/null 2>&1";
    int raw = std::system(probe.c_str());
    if (WIFEXITED(raw) && WEXITSTATUS(raw) != 0 && WEXITSTATUS(raw) != 127) return wrapper;
    return std::nullopt;
}

TEST_F(FolderConversion, UnreadableFilesAndFoldersAreListedAsFailedAndTheWalkGoesOn) {
    buildBackup();
    writeFile(path("backup/private"), sampleDocument());
    fs::create_directories(path("backup/Locked"));
    writeFile(path("backup/Locked/secret"), sampleDocument());
    fs::permissions(path("backup/private"), fs::perms::none);
    fs::permissions(path("backup/Locked"), fs::perms::none);
    std::optional<std::string> wrapper = wrapperThatHonoursFileModes(path("backup/private"));
    if (!wrapper) GTEST_SKIP() << "running as root without a way to make a file unreadable";

    CommandRun run = zentoro("backup", *wrapper);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Summary: 3 converted: 3 Word documents; 5 passed over: 5 other; 3 links and special files; 2 failed\n"
                           "Failed:\n"
                           "  backup/Locked: cannot list: Permission denied\n"
                           "  backup/private: cannot open: Permission denied\n"),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(fs::exists(path("backup/letter.rtf")));
    EXPECT_FALSE(fs::exists(path("backup/private.rtf")));
}

// An output folder that cannot be made is told with the system's own reason.
TEST_F(FolderConversion, AnOutputFolderThatCannotBeMadeIsToldWithItsRealReason) {
    writeFile(path("letter"), sampleDocument());
    writeFile(path("locked"), sampleDocument());
    fs::permissions(path("locked"), fs::perms::none);
    fs::create_directories(path("ro/outdir"));
    fs::permissions(path("ro/outdir"), fs::perms::owner_read | fs::perms::owner_exec);
    std::optional<std::string> wrapper = wrapperThatHonoursFileModes(path("locked"));
    if (!wrapper) GTEST_SKIP() << "running as root without a way to make a folder read-only";
    CommandRun run = zentoro("--output-dir ro/outdir/new letter", *wrapper);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "letter: cannot make the folder ro/outdir/new: Permission denied\n");
    fs::permissions(path("ro/outdir"), fs::perms::owner_all);
}

TEST_F(FolderConversion, ProgressLineOnATerminalIsErasedAtTheEnd) {
    if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "script(1) is not installed";
    buildBackup();
    // script(1) gives the command a terminal; only standard error reaches it.
    std::string command = "cd '" + dir_.string() + "' && script -qec \"'" ZENTORO_CLI_PATH
                          "' backup 1>/dev/null\" /dev/null >'" + path(".tty") + "'";
    // The line counts the files that may be documents: not the links and
    // the FIFO, nor, on the second run, the outputs of the first.
    for (int run = 1; run <= 2; ++run) {
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::string terminal = readFile(path(".tty"));
        EXPECT_NE(terminal.find("[0/8] backup/Documents/Old/plan"), std::string::npos) << run << terminal;
        EXPECT_NE(terminal.find("[7/8] backup/sketch"), std::string::npos) << run << terminal;
        EXPECT_EQ(terminal.find("/11]"), std::string::npos) << run << terminal;
        std::string erased = "\r" + std::string(std::string("[7/8] backup/sketch").size(), ' ') + "\r";
        EXPECT_EQ(terminal.size() >= erased.size() ? terminal.substr(terminal.size() - erased.size()) : terminal, erased);
    }
}

TEST_F(FolderConversion, OptionsThatMakeNoSenseTogetherAreUsageErrors) {
    buildBackup();
    for (const char* arguments : {"-o out.rtf backup", "--output-dir", "--check --dry-run backup",
                                  "--check --output-dir out backup", "--output-dir '' backup",
                                  "-o out.rtf --output-dir out backup/letter"}) {
        CommandRun run = zentoro(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find("\nTry 'zentoro --help'.\n"), std::string::npos) << arguments;
    }
    EXPECT_FALSE(fs::exists(path("out")));
    EXPECT_FALSE(fs::exists(path("backup/letter.rtf")));
}

}  // namespace
}  // namespace zentoro
