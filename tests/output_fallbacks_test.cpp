// The roads an output takes where the system lacks what the usual road
// needs: files without a name (a named temporary file instead), hard links
// (a rename after a check), linking a descriptor by itself (a link through
// /proc), and more outputs at once than the signal handler keeps names of.
// The faults are injected into a program of the tests' own; every road must
// put whole outputs in place, keep what must be kept, and leave no
// temporary file behind.
#include <array>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/vfs.h>

#include "convert/convert_to_format.h"
#include "convert/output_format.h"
#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/scaled_document.h"
#include "tests/builder/sketch_sample.h"
#include "tests/builder/temporary_folder.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

std::vector<std::string> leftovers(const fs::path& root) {
    std::vector<std::string> found;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        std::string name = entry.path().filename().string();
        if (name.rfind(".zentoro-", 0) == 0) found.push_back(name);
    }
    return found;
}

// The program's result lines, each "<failure> <errno>", with " kept" where
// what was converted was left at the output path.
std::vector<std::string> results(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct Faults {
    const char* list;
    const char* struck;  // what the report must show, beside the counts of 0
    int error = 0;       // the errno a failure it causes carries
};

constexpr Faults FaultSets[] = {
    {"", ""},
    {"no-tmpfile", "no-tmpfile="},
    {"no-tmpfile,no-links", "no-links="},
    {"no-empty-path", "no-empty-path="},
    {"no-empty-path-eperm", "no-empty-path="},
};



std::string ok() { return "0 0"; }
std::string failed(Failure failure) { return std::to_string(static_cast<int>(failure)) + " 0"; }

class OutputFallbacks : public ::testing::TestWithParam<Faults> {
protected:
    // Runs fault_outputs with the faults in place; its result lines. Its
    // standard input is closed, so that the first file it opens is
    // descriptor 0, as in a program started without one.
    std::vector<std::string> run(const std::string& arguments) {
        std::string command = std::string("LD_PRELOAD='") + ZENTORO_FAULT_LIBRARY + "' ZENTORO_FAULTS='" +
                              GetParam().list + "' '" + ZENTORO_FAULT_OUTPUTS + "' " + arguments + " 0<&-";
        CommandRun run = runIn(folder_, command);
        err_ = run.err;
        EXPECT_EQ(run.status, 0) << command << "\n" << run.err;
        std::string struck = GetParam().struck;
        if (size_t at = run.err.find(struck); !struck.empty() && at != std::string::npos) {
            struck_ += std::atoi(run.err.c_str() + at + struck.size());
        }
        if (size_t at = run.err.find("descriptors left: "); at != std::string::npos) {
            descriptorsLeft_ += std::atoi(run.err.c_str() + at + 18);
        }
        EXPECT_NE(run.err.find("faults: "), std::string::npos) << "the faults were not injected:\n" << run.err;
        return results(run.out);
    }
    std::string path(const std::string& name) const { return folder_.path(name); }
    // A count from the last run's fault report, "name=N"; -1 without one.
    int reported(const std::string& name) const {
        size_t at = err_.find(" " + name + "=");
        return at == std::string::npos ? -1 : std::atoi(err_.c_str() + at + name.size() + 2);
    }

    TemporaryFolder folder_{"fallbacks"};
    std::string err_;  // the last run's standard error
    int struck_ = 0;  // how often the fault meant struck
    int descriptorsLeft_ = 0;
};

TEST_P(OutputFallbacks, PutWholeOutputsInPlaceKeepWhatMustBeKeptAndLeaveNothingBehind) {
    writeFile(path("doc"), sampleDocument());
    std::vector<uint8_t> cut = sampleDocument();
    cut.resize(cut.size() / 2);
    writeFile(path("cut"), cut);
    std::string rtf = convertBytes(sampleDocument()).rtf;
    const std::string earlier = "{\\rtf1 earlier}";
    auto earlierFile = [&](const std::string& name) { writeFile(path(name), Bytes().text(earlier).data); };
    const std::vector<uint8_t> document = sampleDocument();
    const std::string word(document.begin(), document.end());

    struct Case {
        const char* name;
        std::function<void()> before;
        std::string arguments;
        std::vector<std::string> expected;
        const char* output;
        std::string content;
    };
    const Case cases[] = {
        {"a new output", [] {}, "convert replace doc new.rtf", {ok()}, "new.rtf", rtf},
        {"a new output found absent", [] {}, "convert absent doc absent.rtf", {ok()}, "absent.rtf", rtf},
        {"an output replaced", [&] { earlierFile("old.rtf"); }, "convert replace doc old.rtf", {ok()}, "old.rtf", rtf},
        {"an output kept", [&] { earlierFile("kept.rtf"); }, "convert keep doc kept.rtf", {failed(Failure::OutputExists)},
         "kept.rtf", earlier},
        {"a damaged document's part replaces no output", [&] { earlierFile("whole.rtf"); }, "convert replace cut whole.rtf",
         {failed(Failure::DocumentDamaged)}, "whole.rtf", earlier},
        {"a file that appeared is kept", [] {}, "appear keep appeared.txt", {failed(Failure::OutputExists)},
         "appeared.txt", "appeared"},
        {"a file that appeared is replaced", [] {}, "appear replace replaced.txt", {ok()}, "replaced.txt", "new"},
        {"a FIFO that appeared is replaced", [] {}, "appear replace fifo.txt fifo", {ok()}, "fifo.txt", "new"},
        {"a Word document at the output is kept", [&] { writeFile(path("word.rtf"), sampleDocument()); },
         "convert keep-word doc word.rtf", {failed(Failure::OutputIsWordDocument)}, "word.rtf", word},
        {"more outputs at once than the signal handler holds", [] {},
         "many 70 many", std::vector<std::string>(70, ok()), "many/69.txt", "69"},
    };
    for (const Case& c : cases) {
        fs::create_directories(path("many"));
        c.before();
        EXPECT_EQ(run(c.arguments), c.expected) << c.name;
        // Read only a regular file: a FIFO left in place would block the read.
        ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(path(c.output)))) << c.name;
        EXPECT_EQ(readFile(path(c.output)), c.content) << c.name;
        // Permissions come from the umask or from a file that stood there, never from nowhere.
        EXPECT_EQ(fs::status(path(c.output)).permissions() & ~fs::perms::all, fs::perms::none) << c.name;
        EXPECT_EQ(leftovers(folder_.root()), std::vector<std::string>{}) << c.name;
    }
    // The fault was met, or the road under test was never taken.
    EXPECT_EQ(descriptorsLeft_, 0) << "descriptors left open";
    if (*GetParam().struck != '\0') {
        EXPECT_GT(struck_, 0) << GetParam().struck;
    }
    for (int i = 0; i < 70; ++i) EXPECT_EQ(readFile(path("many/" + std::to_string(i) + ".txt")), std::to_string(i));
}

// An output discarded, as a failed conversion does, leaves nothing open
// or behind; a signal removes the temporary file of every output being
// written, as many as its handler holds, whatever outputs were committed
// or discarded before it.
TEST_P(OutputFallbacks, OutputsNeverPutInPlaceLeaveNothingBehind) {
    EXPECT_EQ(run("discard discarded.txt"), std::vector<std::string>{ok()});
    EXPECT_FALSE(fs::exists(path("discarded.txt")));
    EXPECT_EQ(descriptorsLeft_, 0) << "descriptors left open";
    EXPECT_EQ(run("interrupt ."), std::vector<std::string>{ok()});
    EXPECT_FALSE(fs::exists(path("begun-63.txt")));
    EXPECT_EQ(leftovers(folder_.root()), std::vector<std::string>{});
}

TEST_P(OutputFallbacks, ACommittedOutputIsBeyondDiscarding) {
    EXPECT_EQ(run("commit first.txt second.txt"), std::vector<std::string>(4, ok()));
    EXPECT_EQ(readFile(path("first.txt")), "first");
    EXPECT_EQ(readFile(path("second.txt")), "second");
    EXPECT_EQ(descriptorsLeft_, 0) << "descriptors left open";
}

INSTANTIATE_TEST_SUITE_P(Faults, OutputFallbacks, ::testing::ValuesIn(FaultSets),
                         [](const ::testing::TestParamInfo<Faults>& info) {
                             std::string name = *info.param.list ? info.param.list : "none";
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

// Where no stream can be made for the output file, named or not, the conversion fails
// with the reason, and neither the file nor its descriptor is left.
class StreamlessOutput : public OutputFallbacks {};

TEST_P(StreamlessOutput, FailsWithTheReasonAndLeavesNothingOpenOrBehind) {
    writeFile(path("doc"), sampleDocument());
    std::string unwritable = std::to_string(static_cast<int>(Failure::OutputUnwritable)) + " " + std::to_string(ENOMEM);
    EXPECT_EQ(run("convert replace doc new.rtf"), std::vector<std::string>{unwritable});
    EXPECT_FALSE(fs::exists(path("new.rtf")));
    EXPECT_EQ(leftovers(folder_.root()), std::vector<std::string>{});
    EXPECT_GT(struck_, 0);
    EXPECT_EQ(descriptorsLeft_, 0);
}

INSTANTIATE_TEST_SUITE_P(Faults, StreamlessOutput,
                         ::testing::Values(Faults{"no-tmpfile,no-fdopen", "no-fdopen="}, Faults{"nfs,no-fdopen", "no-fdopen="}),
                         [](const ::testing::TestParamInfo<Faults>& info) {
                             return std::string(info.index == 0 ? "no_tmpfile_no_fdopen" : "unnamed_on_nfs_no_fdopen");
                         });

// On a file system that stores everything before close (ext4, tmpfs, xfs,
// btrfs) an output is written through a stream of the library's own on its
// descriptor: no C library stream is made, so a C library that cannot make
// one does not fail the conversion.
class LocalOutput : public OutputFallbacks {};

TEST_P(LocalOutput, NeedsNoStreamOfTheCLibrary) {
    constexpr long Local[] = {0xEF53, 0x01021994, 0x58465342, 0x9123683E};
    struct statfs system;
    ASSERT_EQ(::statfs(folder_.root().c_str(), &system), 0);
    if (std::find(std::begin(Local), std::end(Local), static_cast<long>(system.f_type)) == std::end(Local)) {
        GTEST_SKIP() << "the scratch folder's file system may report a failure at close";
    }
    writeFile(path("doc"), sampleDocument());
    EXPECT_EQ(run("convert replace doc new.rtf"), std::vector<std::string>{ok()});
    EXPECT_EQ(readFile(path("new.rtf")), convertBytes(sampleDocument()).rtf);
    EXPECT_EQ(reported("no-fdopen"), 0);
}

INSTANTIATE_TEST_SUITE_P(Faults, LocalOutput, ::testing::Values(Faults{"no-fdopen", ""}),
                         [](const ::testing::TestParamInfo<Faults>&) { return std::string("no_fdopen"); });

// A close that reports a failure (NFS and FUSE may report a write only
// then) fails the conversion with that reason, on every road: no output
// appears, an earlier one stays whole, and nothing stays open or behind.
class FailingClose : public OutputFallbacks {};

TEST_P(FailingClose, FailsWithTheReasonAndKeepsTheEarlierOutputWhole) {
    writeFile(path("doc"), sampleDocument());
    const std::string earlier = "{\\rtf1 earlier}";
    writeFile(path("old.rtf"), Bytes().text(earlier).data);
    const std::vector<std::string> unwritable{std::to_string(static_cast<int>(Failure::OutputUnwritable)) + " " +
                                              std::to_string(EIO)};
    EXPECT_EQ(run("convert replace doc new.rtf"), unwritable);
    EXPECT_FALSE(fs::exists(path("new.rtf")));
    EXPECT_EQ(run("convert absent doc absent.rtf"), unwritable);
    EXPECT_FALSE(fs::exists(path("absent.rtf")));
    EXPECT_EQ(run("convert replace doc old.rtf"), unwritable);
    EXPECT_EQ(readFile(path("old.rtf")), earlier);
    EXPECT_EQ(leftovers(folder_.root()), std::vector<std::string>{});
    // Pictures, written beside Markdown or extracted, fail alike and are
    // not left in part.
    writeFile(path("sketches"), sketchSampleDocument().bytes);
    fs::create_directories(path("pictures"));
    EXPECT_EQ(run("markdown sketches pictures"), std::vector<std::string>{failed(Failure::OutputUnwritable)});
    EXPECT_EQ(run("pictures sketches pictures"), unwritable);
    EXPECT_TRUE(fs::is_empty(path("pictures")));
    EXPECT_EQ(struck_, 4 + static_cast<int>(sampleSketches().size())) << "closes failed";
    EXPECT_EQ(descriptorsLeft_, 0);
}

// Unnamed files on a file system silent at close, unnamed files where close
// may fail, named temporary files.
std::string closeRoadName(const ::testing::TestParamInfo<Faults>& info) {
    static constexpr std::array<const char*, 3> names{"unnamed", "unnamed_on_nfs", "named"};
    return names.at(info.index);
}

INSTANTIATE_TEST_SUITE_P(Faults, FailingClose,
                         ::testing::Values(Faults{"close-fails", "close-fails="},
                                           Faults{"close-fails,nfs", "close-fails="},
                                           Faults{"close-fails,no-tmpfile", "close-fails="}),
                         closeRoadName);

// A rename that fails when the output replaces an earlier one, or every
// temporary name tried taken already (on both roads, where the output is
// linked to a temporary name first or written under one), fails with the
// reason and leaves the earlier output whole and no temporary file behind.
class FailingReplace : public OutputFallbacks {};

TEST_P(FailingReplace, FailsWithTheReasonAndLeavesNoTemporaryFile) {
    writeFile(path("doc"), sampleDocument());
    const std::string earlier = "{\\rtf1 earlier}";
    writeFile(path("old.rtf"), Bytes().text(earlier).data);
    EXPECT_EQ(run("convert replace doc old.rtf"),
              std::vector<std::string>{std::to_string(static_cast<int>(Failure::OutputUnwritable)) + " " +
                                       std::to_string(GetParam().error)});
    EXPECT_EQ(readFile(path("old.rtf")), earlier);
    EXPECT_EQ(leftovers(folder_.root()), std::vector<std::string>{});
    EXPECT_GT(struck_, 0);
    EXPECT_EQ(descriptorsLeft_, 0);
}

std::string replaceRoadName(const ::testing::TestParamInfo<Faults>& info) {
    static constexpr std::array<const char*, 4> names{"rename_fails_unnamed", "rename_fails_named",
                                                      "names_taken_unnamed", "names_taken_named"};
    return names.at(info.index);
}

INSTANTIATE_TEST_SUITE_P(Faults, FailingReplace,
                         ::testing::Values(Faults{"rename-fails", "rename-fails=", EIO},
                                           Faults{"rename-fails,no-tmpfile", "rename-fails=", EIO},
                                           Faults{"temporaries-taken", "temporaries-taken=", EEXIST},
                                           Faults{"temporaries-taken,no-tmpfile", "temporaries-taken=", EEXIST}),
                         replaceRoadName);

// What the output roads learn about the system they ask once: whether a
// folder's file system may fail at close (once per folder in a row), and
// that a descriptor cannot name its file by itself (once per process).
// Files are created without a name where the system allows it.
class AskedOnce : public OutputFallbacks {};

TEST_P(AskedOnce, ManyOutputsIntoOneFolderAskTheSystemOnce) {
    fs::create_directories(path("many"));
    EXPECT_EQ(run("many 70 many"), std::vector<std::string>(70, ok()));
    EXPECT_EQ(reported("unnamed"), 70);
    EXPECT_EQ(reported("statfs"), 1);
    if (*GetParam().struck != '\0') {
        EXPECT_EQ(reported("no-empty-path"), 1);
    }
    EXPECT_EQ(readFile(path("many/69.txt")), "69");
}

INSTANTIATE_TEST_SUITE_P(Faults, AskedOnce,
                         ::testing::Values(Faults{"", ""}, Faults{"no-empty-path", "no-empty-path="}),
                         [](const ::testing::TestParamInfo<Faults>& info) {
                             return std::string(info.index == 0 ? "none" : "no_empty_path");
                         });

// A descriptor opened for reading that no stream can be made for fails as
// an input that cannot be opened, and is closed.
class StreamlessInput : public OutputFallbacks {};

TEST_P(StreamlessInput, FailsAsUnopenableAndLeavesNothingOpen) {
    writeFile(path("doc"), sampleDocument());
    EXPECT_EQ(run("convert replace doc new.rtf"),
              std::vector<std::string>{std::to_string(static_cast<int>(Failure::InputUnopenable)) + " " +
                                       std::to_string(ENOMEM)});
    EXPECT_FALSE(fs::exists(path("new.rtf")));
    EXPECT_GT(struck_, 0);
    EXPECT_EQ(descriptorsLeft_, 0);
}

INSTANTIATE_TEST_SUITE_P(Faults, StreamlessInput, ::testing::Values(Faults{"no-read-fdopen", "no-read-fdopen="}),
                         [](const ::testing::TestParamInfo<Faults>&) { return std::string("no_read_fdopen"); });

// Where no second thread can be started, a large document converts on one
// to the same bytes, on each road that would have used a second.
class WithoutThreads : public OutputFallbacks {};

TEST_P(WithoutThreads, LargeDocumentsConvertOnOneThreadToTheSameBytes) {
    writeFile(path("large"), scaledDocument(Megabyte));
    for (OutputFormat format : {OutputFormat::Rtf, OutputFormat::RtfFaithful, OutputFormat::Text}) {
        std::string name(outputFormatName(format));
        SCOPED_TRACE(name);
        ASSERT_TRUE(convertDocumentTo(format, path("large").c_str(), path("two-threads").c_str()).succeeded());
        EXPECT_EQ(run("convert replace large one-thread " + name), std::vector<std::string>{ok()});
        EXPECT_EQ(readFile(path("one-thread")), readFile(path("two-threads")));
        EXPECT_GT(reported("no-threads"), 0);
    }
    EXPECT_EQ(descriptorsLeft_, 0);
}

INSTANTIATE_TEST_SUITE_P(Faults, WithoutThreads, ::testing::Values(Faults{"no-threads", "no-threads="}),
                         [](const ::testing::TestParamInfo<Faults>&) { return std::string("no_threads"); });

}  // namespace
}  // namespace zentoro
