// Folder runs on several workers tell and write exactly what a run on one
// worker does, whichever conversions end first; a signal with several
// outputs being written leaves none of them behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "convert/output_file.h"
#include "reader/word_uids.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/scaled_document.h"
#include "tests/builder/sketch_builder.h"
#include "tests/builder/temporary_folder.h"
#include "ui/batch_conversion.h"
#include "ui/interrupt_signals.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
    std::map<std::string, std::string> tree;  // every entry below the run's folder and what it holds
};

std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> found;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        fs::file_status status = it->symlink_status();
        std::string held = fs::is_regular_file(status) ? readFile(it->path().string())
                           : fs::is_directory(status)  ? "folder"
                                                       : "other";
        found[it->path().lexically_relative(root).string()] = held;
    }
    return found;
}

// Runs the conversions in a child process working in `folder`, with its
// standard output and error captured beside the folder, or both in `.out`
// as `2>&1` puts them.
Outcome runIn(const fs::path& folder, const ConsoleOptions& options, bool oneFile = false) {
    std::string out = folder.string() + ".out";
    std::string err = folder.string() + ".err";
    pid_t pid = ::fork();
    if (pid == 0) {
        int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int errFd = oneFile ? outFd : ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outFd < 0 || errFd < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        int status = runConversions(options);
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(status);
    }
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    outcome.out = readFile(out);
    if (!oneFile) outcome.err = readFile(err);
    outcome.tree = snapshot(folder);
    return outcome;
}

std::vector<uint8_t> wordDocumentWithText(const std::string& text) {
    return WordDocument().applicationId().styles(StyleSection{}).text(text).build();
}

std::vector<uint8_t> documentWithSketch(const Sketch& sketch) { return documentWithObjects({sketchBlock(sketch)}).bytes; }

// Successes, failures and files passed over, in an order where large
// documents come early and finish late: a backup walked, a second folder
// whose outputs clash with the first's, named files, a document whose
// output stands as a Word document, names that differ in case only, and
// documents of the same name with different pictures.
void buildFolders(const fs::path& root) {
    std::vector<uint8_t> large = scaledDocument(200 * 1024);
    for (int i = 0; i < 24; ++i) {
        std::string name = "backup/sub" + std::to_string(i % 3) + "/doc" + std::to_string(i);
        fs::create_directories((root / name).parent_path());
        writeFile((root / name).string(), i % 5 == 0 ? large : wordDocumentWithText("Text " + std::to_string(i) + "\x06"));
    }
    std::vector<uint8_t> damaged = wordDocumentWithText("cut short\x06");
    damaged.resize(damaged.size() / 2);
    writeFile((root / "backup/damaged").string(), damaged);
    writeFile((root / "backup/notes.txt").string(), Bytes().text("shopping list\n").data);
    writeFile((root / "backup/sheet").string(),
              WordDocument().headerUids(EpocFileUid, StandardDocumentUid, 0x10000088).build());
    writeFile((root / "backup/empty").string(), {});
    writeFile((root / "backup/Letter").string(), sampleDocument());
    writeFile((root / "backup/Letter.rtf").string(), sampleDocument());
    writeFile((root / "backup/Case").string(), wordDocumentWithText("Upper\x06"));
    writeFile((root / "backup/case").string(), wordDocumentWithText("lower\x06"));
    writeFile((root / "backup/sub1/doc1.rtf").string(), Bytes().text("{\\rtf1 an earlier conversion}").data);
    fs::create_directories(root / "more/sub0");
    writeFile((root / "more/sub0/doc0").string(), wordDocumentWithText("Clash\x06"));
    writeFile((root / "more/sub0/doc30").string(), large);
    writeFile((root / "named").string(), wordDocumentWithText("Named\x06"));
    writeFile((root / "named.txt").string(), Bytes().text("not a document\n").data);
    Sketch dot{3, 3, 2, false, Uncompressed, {3, 3, 3, 3, 0, 3, 3, 3, 3}};
    Sketch bar{7, 2, 24, true, TwentyFourBitRuns, std::vector<uint32_t>(14, 0xFF0000)};
    for (int i = 0; i < 4; ++i) {
        fs::path document = root / ("drawn/" + std::to_string(i) + "/picture");
        fs::create_directories(document.parent_path());
        writeFile(document.string(), documentWithSketch(i % 2 == 0 ? bar : dot));
    }
}

struct Case {
    const char* what;
    ConsoleOptions options;
    const char* shown;  // a line the run must show, on either stream
};

ConsoleOptions optionsFor(std::vector<std::string> inputs, void (*adjust)(ConsoleOptions&) = nullptr) {
    ConsoleOptions options;
    options.inputs = std::move(inputs);
    if (adjust != nullptr) adjust(options);
    return options;
}

TEST(FolderWorkers, SeveralWorkersReportAndWriteWhatOneWorkerDoes) {
    TemporaryFolder folder("workers");
    fs::path model = folder.root() / "model";
    buildFolders(model);
    std::vector<Case> cases = {
        {"two folders into one output folder, named files among them",
         optionsFor({"backup", "named", "more", "named.txt"}, [](ConsoleOptions& o) { o.outputDir = "out"; }),
         "more/sub0/doc0: refusing to write out/sub0/doc0.rtf, the output of backup/sub0/doc0 too\n"},
        {"beside the inputs, verbose, existing outputs kept",
         optionsFor({"backup", "more"}, [](ConsoleOptions& o) {
             o.verbose = true;
             o.noClobber = true;
         }),
         "backup/sub1/doc1: skipped, backup/sub1/doc1.rtf exists\n"},
        {"plain text, quiet", optionsFor({"backup"}, [](ConsoleOptions& o) {
             o.format = OutputFormat::Text;
             o.quiet = true;
         }),
         "backup/damaged: damaged (the file ends early): nothing could be recovered"},
        {"pictures of documents of one name", optionsFor({"drawn", "backup"}, [](ConsoleOptions& o) {
             o.extractPicturesDir = "pictures";
         }),
         "drawn/3/picture: 1 picture written to pictures\n"},
    };
    int run = 0;
    for (Case& c : cases) {
        Outcome expected;
        for (unsigned workers : {1u, 2u, 3u, 8u}) {
            fs::path copy = folder.root() / ("run" + std::to_string(run++));
            fs::copy(model, copy, fs::copy_options::recursive);
            ASSERT_EQ(::mkfifo((copy / "backup/pipe").c_str(), 0644), 0);
            c.options.workers = workers;
            Outcome outcome = runIn(copy, c.options);
            if (workers == 1) {
                expected = outcome;
                EXPECT_NE((outcome.out + outcome.err).find(c.shown), std::string::npos) << c.what << "\n" << outcome.err;
                continue;
            }
            EXPECT_EQ(outcome.status, expected.status) << c.what << ", " << workers << " workers";
            EXPECT_EQ(outcome.out, expected.out) << c.what << ", " << workers << " workers";
            EXPECT_EQ(outcome.err, expected.err) << c.what << ", " << workers << " workers";
            EXPECT_EQ(outcome.tree, expected.tree) << c.what << ", " << workers << " workers";
        }
    }
}

// Standard output and error into one file: every line where a run that
// wrote each line at once would put it, the named file's own message
// included, whichever worker finished first.
TEST(FolderWorkers, ReportsAndFailuresInOneFileKeepTheirOrder) {
    TemporaryFolder folder("workers-one-file");
    std::vector<uint8_t> damaged = wordDocumentWithText("cut short\x06");
    damaged.resize(damaged.size() / 2);
    std::vector<uint8_t> large = scaledDocument(200 * 1024);
    for (int i = 0; i < 4; ++i) {
        fs::path document = folder.root() / ("model/backup/doc" + std::to_string(i));
        fs::create_directories(document.parent_path());
        writeFile(document.string(), i == 0 ? large : wordDocumentWithText("Text\x06"));
    }
    writeFile(folder.path("model/backup/doc2"), damaged);
    fs::create_directories(folder.root() / "model/more");
    writeFile(folder.path("model/more/doc4"), wordDocumentWithText("More\x06"));
    writeFile(folder.path("model/named.txt"), Bytes().text("not a document\n").data);
    const std::string damagedLine =
        "backup/doc2: Conversion failed: the document ends early or points outside itself "
        "(what could be converted is in out/doc2.rtf)\n";
    const std::string namedLine = "named.txt: not a Word document: it is not an EPOC file\n";
    const std::string expected =
        "backup/doc0 -> out/doc0.rtf: Psion 5 Word file converted to RTF successfully\n"
        "backup/doc1 -> out/doc1.rtf: Psion 5 Word file converted to RTF successfully\n" +
        damagedLine +
        "backup/doc3 -> out/doc3.rtf: Psion 5 Word file converted to RTF successfully\n" +
        namedLine +
        "more/doc4 -> out/doc4.rtf: Psion 5 Word file converted to RTF successfully\n"
        "Summary: 4 converted: 4 Word documents; 0 passed over; 2 failed\n"
        "Failed:\n  " + damagedLine + "  " + namedLine;
    int run = 0;
    for (unsigned workers : {1u, 3u}) {
        fs::path copy = folder.root() / ("run" + std::to_string(run++));
        fs::copy(folder.root() / "model", copy, fs::copy_options::recursive);
        // The original conversion, which keeps the part of a damaged document.
        ConsoleOptions options = optionsFor({"backup", "named.txt", "more"}, [](ConsoleOptions& o) {
            o.outputDir = "out";
            o.format = OutputFormat::Rtf;
        });
        options.workers = workers;
        Outcome outcome = runIn(copy, options, true);
        EXPECT_EQ(outcome.status, 1) << workers << " workers";
        EXPECT_EQ(outcome.out, expected) << workers << " workers";
    }
}

// A signal while several outputs are being written, some of them over
// earlier files: none is put in place, the earlier files stay as they were
// and no temporary file is left. Run in a child: the signal ends every
// later output of the process.
TEST(FolderWorkers, ASignalWithSeveralOutputsBeingWrittenLeavesNoneBehind) {
    TemporaryFolder folder("workers-signal");
    constexpr int Outputs = 6;
    for (int i = 0; i < Outputs; i += 2) writeFile(folder.path("out" + std::to_string(i)), Bytes().text("earlier").data);
    auto before = snapshot(folder.root());
    pid_t pid = ::fork();
    if (pid == 0) {
        catchInterruptions();
        PendingOutput outputs[Outputs];
        for (int i = 0; i < Outputs; ++i) {
            std::string path = folder.path("out" + std::to_string(i));
            if (!beginOutput(path.c_str(), ExistingOutput::Replace, outputs[i]).succeeded()) ::_exit(10);
            std::fputs("{\\rtf1 unfinished}", outputs[i].file);
        }
        ::raise(SIGINT);
        if (interruptingSignal() != SIGINT) ::_exit(11);
        // Nor does an interrupted output claim to have kept a part.
        auto interrupted = [](const ConversionResult& r) {
            return r.failure == Failure::Interrupted && !r.partialOutputKept;
        };
        for (PendingOutput& output : outputs) {
            if (!interrupted(commitOutput(output, true))) ::_exit(12);
        }
        PendingOutput later;
        if (!interrupted(beginOutput(folder.path("later").c_str(), ExistingOutput::Replace, later))) ::_exit(13);
        ::_exit(0);
    }
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0) << "10: not begun, 11: signal not seen, 12: put in place, 13: begun after";
    EXPECT_EQ(snapshot(folder.root()), before);
}

}  // namespace
}  // namespace zentoro
