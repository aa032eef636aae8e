// The zentoro command where people trip over converters: pipes, full disks,
// outputs that must not be replaced, names that would fool the terminal,
// files that cannot be reached, and Ctrl-C in the middle of a folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/scaled_document.h"
#include "tests/builder/temporary_folder.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr const char* Converted = "Psion 5 Word file converted to RTF successfully";

std::string sampleRtf() { return convertBytes(sampleDocument()).rtf; }

// Names of the temporary files a conversion left behind below `root`.
std::vector<std::string> temporaryFilesIn(const fs::path& root) {
    std::vector<std::string> found;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string name = it->path().filename().string();
        if (name.rfind(".zentoro-", 0) == 0) found.push_back(name);
    }
    return found;
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(path("letter"), sampleDocument());
        writeFile(path("notes.txt"), Bytes().text("just some text\n").data);
    }

    std::string path(const std::string& name) const { return folder_.path(name); }

    // These runs compare bytes with the original conversion, so they ask for it.
    CommandRun zentoro(const std::string& arguments, const std::string& before = "",
                       const std::string& after = "") const {
        return runIn(folder_, "{ " + before + " '" ZENTORO_CLI_PATH "' --original " + arguments + after + "; }");
    }

    TemporaryFolder folder_{"command"};
    const fs::path& dir_ = folder_.root();
};

TEST_F(CommandLine, PipesCarryExactlyTheDocumentAndTheReportsGoToStandardError) {
    struct Case {
        const char* before;
        const char* arguments;
        const char* after;
        const char* report;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"cat letter |", "-", "", "standard input -> standard output"},
             {"", "- < letter", "", "standard input -> standard output"},
             {"", "-o - letter", " | cat", "letter -> standard output"},
             {"", "--output=- letter", "", "letter -> standard output"},
             {"", "-o /dev/stdout letter", " | cat", "letter -> standard output"},
             {"", "-o /dev/stdout letter", "", "letter -> standard output"},
         }) {
        std::string shown = std::string(c.before) + " zentoro " + c.arguments + c.after;
        CommandRun run = zentoro(c.arguments, c.before, c.after);
        EXPECT_EQ(run.status, 0) << shown << "\n" << run.err;
        EXPECT_EQ(run.out, sampleRtf()) << shown;
        EXPECT_EQ(run.err, std::string(c.report) + ": " + Converted + "\n") << shown;
    }
    EXPECT_FALSE(fs::exists(path("-")));
    EXPECT_FALSE(fs::exists(path("-.rtf")));

    CommandRun file = zentoro("-o from-pipe.rtf -", "cat letter |");
    EXPECT_EQ(file.status, 0) << file.err;
    EXPECT_EQ(file.out, "standard input -> from-pipe.rtf: " + std::string(Converted) + "\n");
    EXPECT_EQ(readFile(path("from-pipe.rtf")), sampleRtf());

    CommandRun check = zentoro("--check - < letter");
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "standard input: Psion 5 Word file\n");

    CommandRun notWord = zentoro("-", "cat notes.txt |");
    EXPECT_EQ(notWord.status, 1);
    EXPECT_EQ(notWord.out, "");
    EXPECT_EQ(notWord.err, "standard input: not a Word document\n");
}

TEST_F(CommandLine, TheSectionsOwnMessagesStayOutOfTheDocumentOnStandardOutput) {
    // A Word document whose application identifier names another program:
    // converted, with the section's message.
    std::vector<uint8_t> other = WordDocument().applicationId(0x10000088).styles(StyleSection()).text("Other\x06").build();
    writeFile(path("other"), other);
    Conversion expected = convertBytes(other);
    ASSERT_EQ(expected.stdOut, "This is not an EPOC32 Word file. Exiting program.\n");
    CommandRun run = zentoro("-o - other");
    EXPECT_TRUE(run.out == expected.rtf);
    EXPECT_EQ(run.err, expected.stdOut + "other -> standard output: " + Converted + "\n");
}

TEST_F(CommandLine, ADocumentCutShortKeepsItsPartOnlyWhereNoOutputStood) {
    std::vector<uint8_t> cut = sampleDocument();
    cut.resize(cut.size() - 1);
    writeFile(path("cut.wrd"), cut);
    std::string reason = "cut.wrd: Conversion failed: the document ends early or points outside itself";
    CommandRun first = zentoro("cut.wrd");
    EXPECT_EQ(first.status, 1);
    // Before it, the message of the section that was cut in the middle.
    EXPECT_EQ(first.err.substr(first.err.find("cut.wrd:")), reason + " (what could be converted is in cut.wrd.rtf)\n");
    std::string part = readFile(path("cut.wrd.rtf"));
    EXPECT_FALSE(part.empty());

    writeFile(path("cut.wrd.rtf"), Bytes().text("{\\rtf1 from an intact copy}").data);
    CommandRun second = zentoro("cut.wrd");
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err.substr(second.err.find("cut.wrd:")), reason + " (nothing written to cut.wrd.rtf)\n");
    EXPECT_EQ(readFile(path("cut.wrd.rtf")), "{\\rtf1 from an intact copy}");
}

TEST_F(CommandLine, WriteErrorsOnStandardOutputFailTheRun) {
    for (const char* arguments : {"--check letter", "--dry-run letter", "letter", "-o - letter", "--help"}) {
        CommandRun run = zentoro(std::string(arguments) + " >/dev/full");
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << arguments << "\n" << run.err;
    }
}

TEST_F(CommandLine, QuietReportsOnlyFailuresAndTheSummary) {
    fs::create_directories(path("backup"));
    writeFile(path("backup/letter"), sampleDocument());
    writeFile(path("backup/notes.txt"), Bytes().text("text\n").data);
    CommandRun run = zentoro("-q backup missing");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "Summary: 1 converted: 1 Word document; 1 passed over: 1 other; 1 failed\n"
              "Failed:\n"
              "  missing: cannot open: No such file or directory\n");
    EXPECT_EQ(run.err, "missing: cannot open: No such file or directory\n");
    EXPECT_EQ(readFile(path("backup/letter.rtf")), sampleRtf());
}

TEST_F(CommandLine, NeverReplacesAWordDocumentNamedAsTheOutput) {
    std::vector<uint8_t> other = WordDocument().applicationId().text("Another document\x06").build();
    writeFile(path("other.wrd"), other);
    CommandRun run = zentoro("-o other.wrd letter");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "letter: refusing to replace the Word document other.wrd\n");
    EXPECT_EQ(readFile(path("other.wrd")), std::string(other.begin(), other.end()));

    CommandRun kept = zentoro("--output=other.wrd -n letter");
    EXPECT_EQ(kept.status, 0);
    EXPECT_EQ(kept.out, "letter: skipped, other.wrd exists\n");
    EXPECT_EQ(readFile(path("other.wrd")), std::string(other.begin(), other.end()));
}

TEST_F(CommandLine, ASymbolicLinkAtTheOutputIsReplacedNotWrittenThrough) {
    writeFile(path("precious.txt"), Bytes().text("precious").data);
    fs::create_symlink("precious.txt", path("letter.rtf"));
    CommandRun run = zentoro("letter");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(path("precious.txt")), "precious");
    EXPECT_FALSE(fs::is_symlink(path("letter.rtf")));
    EXPECT_EQ(readFile(path("letter.rtf")), sampleRtf());
}

TEST_F(CommandLine, NoClobberKeepsEveryExistingOutputAndCountsItsInputAsSkipped) {
    fs::create_directories(path("backup"));
    writeFile(path("backup/letter"), sampleDocument());
    writeFile(path("backup/memo"), sampleDocument());
    writeFile(path("backup/letter.rtf"), Bytes().text("{\\rtf1 mine}").data);
    CommandRun run = zentoro("-n backup");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "backup/letter: skipped, backup/letter.rtf exists\n"
              "backup/memo -> backup/memo.rtf: " + std::string(Converted) + "\n"
              "Summary: 1 converted: 1 Word document; 0 passed over; 1 earlier output; 1 kept (output exists); 0 failed\n");
    EXPECT_EQ(readFile(path("backup/letter.rtf")), "{\\rtf1 mine}");
}

TEST_F(CommandLine, NamesAreEscapedInReportsAndTheSummary) {
    fs::create_directories(path("backup"));
    std::string evil = "evil\nfake";
    writeFile(path("backup/" + evil), sampleDocument());
    writeFile(path("backup/red\x1b[31mname"), Bytes().text("text\n").data);
    fs::create_directories(path("out/" + evil + ".rtf"));  // the output cannot be written: a folder
    CommandRun run = zentoro("-v --output-dir out backup");
    EXPECT_EQ(run.status, 1);
    std::string failure = "backup/evil\\nfake: refusing to write out/evil\\nfake.rtf, which is not a regular file\n";
    EXPECT_EQ(run.err, failure);
    EXPECT_NE(run.out.find("Failed:\n  " + failure), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("backup/red\\x1b[31mname: skipped"), std::string::npos) << run.out;
}

TEST_F(CommandLine, DryRunNamesTheOutputOfTheFormat) {
    CommandRun dryRun = runIn(folder_, "'" ZENTORO_CLI_PATH "' --dry-run -t markdown letter");
    EXPECT_EQ(dryRun.out, "letter -> letter.md: would be converted\n");
}

TEST_F(CommandLine, TwoPathsToOneFolderNeverShareAnOutputFile) {
    fs::create_directories(path("backup"));
    writeFile(path("backup/letter"), sampleDocument());
    fs::create_directory_symlink("backup", path("same"));
    CommandRun run = zentoro("backup same");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("same/letter: refusing to write same/letter.rtf, the output of backup/letter too"),
              std::string::npos)
        << run.err;
}

// Creates `depth` nested folders of long names below `root` and a Word
// document at the bottom, by descriptors, so that the full path can be
// longer than any path the system takes.
void buildDeepTree(const fs::path& root, int depth) {
    std::string name(200, 'd');
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth; ++level) {
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    std::vector<uint8_t> bytes = sampleDocument();
    int file = ::openat(fd, "letter", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(file);
    ::close(fd);
}

TEST_F(CommandLine, FilesThatCannotBeReachedAreFailuresWithTheirReason) {
    fs::create_directories(path("backup"));
    writeFile(path("backup/letter"), sampleDocument());
    buildDeepTree(path("backup"), 25);  // 25 * 201 bytes: past the 4096 of a Linux path
    CommandRun run = zentoro("backup");
    std::system(("rm -rf '" + path("backup") + "/" + std::string(200, 'd') + "'").c_str());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("File name too long"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("Summary: 1 converted: 1 Word document; 0 passed over; 1 failed\n"), std::string::npos)
        << run.out;
}

TEST_F(CommandLine, AFolderThatCanBeListedButNotSearchedFailsItsFiles) {
    fs::create_directories(path("backup/Listed"));
    writeFile(path("backup/Listed/letter"), sampleDocument());
    ASSERT_EQ(::chmod(path("backup/Listed").c_str(), 0444), 0);
    // Root searches any folder; without that capability the mode counts.
    std::string wrapper = ::geteuid() == 0 ? "setpriv --bounding-set -dac_override,-dac_read_search" : "";
    CommandRun run = zentoro("backup", wrapper);
    ::chmod(path("backup/Listed").c_str(), 0755);
    if (run.status == 0 && run.out.find("Listed/letter ->") != std::string::npos) {
        GTEST_SKIP() << "cannot take away the capability to search any folder here";
    }
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_EQ(run.err, "backup/Listed/letter: cannot reach: Permission denied\n");
}

// A tmpfs of 64 KiB: room for a small document's RTF, not a large one's.
// The small document's output folder is a tmpfs of its own: a folder run
// converts the two documents at once, and a large output filling the
// space the small one needs would make the small one's fate a matter of
// which thread ran first.
class FullDisk : public CommandLine {
protected:
    void SetUp() override {
        CommandLine::SetUp();
        fs::create_directories(path("small"));
        if (!mount("small")) GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
        fs::create_directories(path("small/converted/letters"));
        ASSERT_TRUE(mount("small/converted/letters"));
        writeFile(path("large"), scaledDocument(200 * 1000));
    }
    void TearDown() override {
        for (auto folder = mounted_.rbegin(); folder != mounted_.rend(); ++folder) ::umount(folder->c_str());
    }
    bool mount(const std::string& folder) {
        if (::mount("tmpfs", path(folder).c_str(), "tmpfs", 0, "size=64k") != 0) return false;
        mounted_.push_back(path(folder));
        return true;
    }
    std::vector<std::string> mounted_;
};

TEST_F(FullDisk, FailsWithTheReasonAndLeavesNoPartOfAFileAndTheEarlierOutputWhole) {
    writeFile(path("small/large.rtf"), Bytes().text("{\\rtf1 an earlier conversion}").data);
    CommandRun run = zentoro("-o small/large.rtf large");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "large: Conversion failed: cannot write small/large.rtf: No space left on device\n");
    EXPECT_EQ(readFile(path("small/large.rtf")), "{\\rtf1 an earlier conversion}");
    EXPECT_TRUE(temporaryFilesIn(path("small")).empty());

    fs::create_directories(path("backup/letters"));
    writeFile(path("backup/large"), scaledDocument(200 * 1000));
    writeFile(path("backup/letters/letter"), sampleDocument());
    CommandRun folder = zentoro("--output-dir small/converted backup");
    EXPECT_EQ(folder.status, 1);
    EXPECT_FALSE(fs::exists(path("small/converted/large.rtf"))) << "no empty or partial output";
    EXPECT_EQ(readFile(path("small/converted/letters/letter.rtf")), sampleRtf()) << folder.err;
    EXPECT_TRUE(temporaryFilesIn(path("small")).empty());
}

// Starts zentoro in `dir` with its output and errors going to files.
pid_t start(const fs::path& dir, const std::vector<std::string>& arguments) {
    pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    int out = ::open(".out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(".err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(ZENTORO_CLI_PATH)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(ZENTORO_CLI_PATH, argv.data());
    ::_exit(127);
}

TEST_F(CommandLine, AnInterruptedFolderRunRemovesItsUnfinishedOutputAndPrintsTheSummarySoFar) {
    constexpr int Documents = 8;
    fs::create_directories(path("backup"));
    std::vector<uint8_t> large = scaledDocument(3 * Megabyte);
    for (int i = 0; i < Documents; ++i) writeFile(path("backup/doc" + std::to_string(i)), large);
    std::string earlier = "{\\rtf1 an earlier conversion}";
    writeFile(path("backup/doc7.rtf"), Bytes().text(earlier).data);

    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        for (int i = 0; i < Documents - 1; ++i) fs::remove(path("backup/doc" + std::to_string(i) + ".rtf"));
        pid_t pid = start(dir_, {"--original", "backup"});
        // Strike once the first output is in place, with the next ones being
        // written (under names of their own, or none).
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!fs::exists(path("backup/doc0.rtf")) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ::kill(pid, signal);
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        ASSERT_TRUE(WIFEXITED(raw)) << "killed by signal " << WTERMSIG(raw);
        EXPECT_EQ(WEXITSTATUS(raw), 128 + signal);

        std::string out = readFile(path(".out"));
        std::string err = readFile(path(".err"));
        EXPECT_EQ(err, "zentoro: interrupted\n") << signal;
        EXPECT_NE(out.find("Summary: "), std::string::npos) << out;
        EXPECT_TRUE(temporaryFilesIn(path("backup")).empty()) << signal;
        EXPECT_EQ(readFile(path("backup/doc7.rtf")), earlier);
        int converted = 0;
        std::string rtf = convertBytes(large).rtf;
        for (int i = 0; i < Documents - 1; ++i) {
            std::string output = path("backup/doc" + std::to_string(i) + ".rtf");
            if (!fs::exists(output)) continue;
            ++converted;
            EXPECT_EQ(fs::file_size(output), rtf.size()) << output << " is whole";
        }
        EXPECT_GE(converted, 1);
        EXPECT_LT(converted, Documents - 1) << "the run stopped early";
        EXPECT_NE(out.find("Summary: " + std::to_string(converted) + " converted"), std::string::npos) << out;
    }
}


// Starts zentoro in `dir` with standard input and output on the given
// descriptors and standard error in `dir`/.err; `parentsEnd`, the other end
// of a pipe, is closed in the child.
pid_t startWith(const fs::path& dir, int input, int output, int parentsEnd, const std::vector<std::string>& arguments) {
    pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::close(parentsEnd);
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    int err = ::open(".err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(input, STDIN_FILENO);
    ::dup2(output, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(ZENTORO_CLI_PATH)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(ZENTORO_CLI_PATH, argv.data());
    ::_exit(127);
}

int exitStatusOf(pid_t pid) {
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

// `zentoro DIR | head -1`: the reader goes away after the first lines; the
// run stops there with status 1 and a line that says why, not killed by
// SIGPIPE, and leaves no temporary file behind.
TEST_F(CommandLine, AReaderThatGoesAwayStopsTheRunWithStatusOne) {
    constexpr int Documents = 400;
    fs::create_directories(path("many"));
    for (int i = 0; i < Documents; ++i) writeFile(path("many/doc" + std::to_string(i)), sampleDocument());
    writeFile(path("large"), scaledDocument(2 * Megabyte));
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"a folder into another", {"--output-dir", "out", "many"}},
             {"a folder as text beside its documents", {"-t", "text", "many"}},
             {"a large document to standard output", {"-o", "-", "large"}},
         }) {
        fs::remove_all(path("out"));
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        int devNull = ::open("/dev/null", O_RDONLY);
        pid_t pid = startWith(dir_, devNull, pipe[1], pipe[0], c.arguments);
        ::close(pipe[1]);
        ::close(devNull);
        char first[64];
        EXPECT_GT(::read(pipe[0], first, sizeof first), 0) << c.what;
        ::close(pipe[0]);
        EXPECT_EQ(exitStatusOf(pid), 1) << c.what;
        std::string err = readFile(path(".err"));
        EXPECT_NE(err.find("zentoro: stopped: the pipe it wrote to was closed\n"), std::string::npos) << c.what << err;
        EXPECT_TRUE(temporaryFilesIn(dir_).empty()) << c.what;
        if (!fs::exists(path("out"))) continue;
        size_t converted = 0;
        for (auto it = fs::recursive_directory_iterator(path("out")); it != fs::recursive_directory_iterator(); ++it) {
            converted += it->is_regular_file();
        }
        EXPECT_LT(converted, static_cast<size_t>(Documents)) << c.what << ": the run went on";
    }
}

// Ctrl-C while the document is read from standard input: an interruption,
// not a failure to read.
TEST_F(CommandLine, CtrlCWhileReadingStandardInputIsAnInterruption) {
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    int devNull = ::open("/dev/null", O_WRONLY);
    pid_t pid = startWith(dir_, pipe[0], devNull, pipe[1], {"-"});
    ::close(pipe[0]);
    ::close(devNull);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(pid, SIGINT);
    EXPECT_EQ(exitStatusOf(pid), 128 + SIGINT);
    ::close(pipe[1]);
    EXPECT_EQ(readFile(path(".err")), "zentoro: interrupted\n");
}

}  // namespace
}  // namespace zentoro
