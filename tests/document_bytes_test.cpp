// How a conversion gets at its input: large files are mapped, everything
// else is read, and both roads give the readers the same bytes and the
// conversion the same output. A file that shrinks under its mapping makes
// the conversion fail instead of killing the process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "convert/document_bytes.h"
#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/scaled_document.h"
#include "tests/builder/temporary_folder.h"

namespace zentoro {
namespace {

using namespace testing;


std::vector<uint8_t> patternBytes(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return bytes;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Takes the input as a conversion does: mapped when possible, else read.
DocumentBytes takeInput(std::FILE* stream) {
    DocumentBytes input;
    if (!input.map(stream)) input.read(stream, MaxDocumentBytes);
    return input;
}

TEST(DocumentBytes, MapsLargeRegularFilesAndReadsTheRestWithTheSameBytes) {
    struct Case {
        const char* name;
        size_t size;
        bool mapped;
    };
    const Case cases[] = {
        {"empty", 0, false},
        {"one byte", 1, false},
        {"just below the mapping size", SmallestMappedFile - 1, false},
        {"the mapping size", SmallestMappedFile, true},
        {"several pages and a part", 3 * SmallestMappedFile + 123, true},
    };
    TemporaryFolder folder("input");
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = patternBytes(c.size);
        writeFile(folder.path("file"), bytes);
        File stream(std::fopen(folder.path("file").c_str(), "rb"));
        ASSERT_TRUE(stream) << c.name;
        DocumentBytes input = takeInput(stream.get());
        EXPECT_EQ(input.mapped(), c.mapped) << c.name;
        EXPECT_TRUE(input.readWhole()) << c.name;
        std::vector<uint8_t> seen(input.bytes().begin(), input.bytes().end());
        EXPECT_EQ(seen, bytes) << c.name;
    }
}

// A file opened and sized earlier is read from its descriptor to its end,
// whether it has since grown or shrunk; a read that fails says why.
TEST(DocumentBytes, DescriptorIsReadToTheEndWhateverSizeTheFileWasFoundToHave) {
    struct Case {
        const char* name;
        size_t size;
        size_t found;  // the size given to the read
    };
    const Case cases[] = {
        {"as found", 5000, 5000},
        {"empty", 0, 0},
        {"grown by a byte", 5001, 5000},
        {"grown past a whole chunk", 3 * SmallestMappedFile + 5, 10},
        {"shrunk", 4000, 5000},
        {"emptied", 0, 5000},
    };
    TemporaryFolder folder("input-descriptor");
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = patternBytes(c.size);
        writeFile(folder.path("file"), bytes);
        int fd = ::open(folder.path("file").c_str(), O_RDONLY);
        ASSERT_GE(fd, 0) << c.name;
        DocumentBytes input;
        EXPECT_EQ(input.read(fd, c.found), 0) << c.name;
        ::close(fd);
        EXPECT_TRUE(input.readWhole()) << c.name;
        EXPECT_EQ(std::vector<uint8_t>(input.bytes().begin(), input.bytes().end()), bytes) << c.name;
    }
    int folderFd = ::open(folder.root().c_str(), O_RDONLY);
    ASSERT_GE(folderFd, 0);
    DocumentBytes unreadable;
    EXPECT_EQ(unreadable.read(folderFd, 100), EISDIR);
    ::close(folderFd);
    EXPECT_FALSE(unreadable.readWhole());
    EXPECT_TRUE(unreadable.bytes().empty());
}

TEST(DocumentBytes, PipeIsReadToItsEnd) {
    std::vector<uint8_t> bytes = patternBytes(5 * SmallestMappedFile + 9);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::thread writer([&] {
        EXPECT_EQ(write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(ends[1]);
    });
    File stream(fdopen(ends[0], "rb"));
    DocumentBytes input = takeInput(stream.get());
    writer.join();
    EXPECT_FALSE(input.mapped());
    EXPECT_EQ(std::vector<uint8_t>(input.bytes().begin(), input.bytes().end()), bytes);
}

// A stream is taken in the pieces asked for, as the header is read before
// the rest: each read adds at most what it asks for.
TEST(DocumentBytes, StreamIsReadInThePiecesAskedFor) {
    std::vector<uint8_t> bytes = patternBytes(3 * 65536 + 5);
    File stream(std::tmpfile());
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), stream.get()), bytes.size());
    std::rewind(stream.get());
    DocumentBytes input;
    for (size_t total : {size_t{16}, size_t{116}, size_t{65652}, bytes.size()}) {
        input.read(stream.get(), total - input.bytes().size());
        EXPECT_EQ(std::vector<uint8_t>(input.bytes().begin(), input.bytes().end()),
                  std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(total)));
    }
    EXPECT_TRUE(input.readWhole());
}

// A document large enough to be mapped converts to what the same bytes in
// memory convert to, from a file and from a pipe alike.
TEST(DocumentBytes, MappedAndPipedDocumentsConvertLikeTheSameBytesInMemory) {
    std::vector<uint8_t> document = scaledDocument(200000);
    ASSERT_GE(document.size(), SmallestMappedFile);
    Conversion inMemory = convertBytes(document);
    ASSERT_EQ(inMemory.result, 0);

    TemporaryFolder folder("input");
    writeFile(folder.path("doc"), document);
    ASSERT_EQ(convertDocument(folder.path("doc").c_str(), folder.path("doc.rtf").c_str()), 0);
    EXPECT_TRUE(readFile(folder.path("doc.rtf")) == inMemory.rtf) << "mapped file";

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::thread writer([&] {
        EXPECT_EQ(write(ends[1], document.data(), document.size()), static_cast<ssize_t>(document.size()));
        close(ends[1]);
    });
    // A named input must be a regular file, so the pipe comes in as a stream.
    std::FILE* piped = fdopen(ends[0], "rb");
    std::FILE* output = std::fopen(folder.path("piped.rtf").c_str(), "wb");
    EXPECT_TRUE(convertStream(piped, output).succeeded());
    writer.join();
    std::fclose(output);
    std::fclose(piped);
    EXPECT_TRUE(readFile(folder.path("piped.rtf")) == inMemory.rtf) << "pipe";
}

// Maps a file of `size` bytes, then cuts it to `shrunkTo` behind the mapping's back.
DocumentBytes mapThenShrink(const TemporaryFolder& folder, const std::string& name, size_t size, off_t shrunkTo) {
    std::string path = folder.path(name);
    writeFile(path, patternBytes(size));
    File stream(std::fopen(path.c_str(), "rb"));
    DocumentBytes input;
    EXPECT_TRUE(stream && input.map(stream.get()));
    EXPECT_EQ(truncate(path.c_str(), shrunkTo), 0);
    return input;
}

struct Touch {
    std::span<const unsigned char> bytes;
    size_t offset;
    unsigned sum = 0;
    bool finished = false;
};

void touch(void* context) {
    auto* t = static_cast<Touch*>(context);
    t->sum += *static_cast<const volatile unsigned char*>(t->bytes.data() + t->offset);
    t->finished = true;
}

TEST(DocumentBytes, ReadingPastTheEndOfAShrunkFileFailsTheGuardedCall) {
    constexpr size_t Size = 4 * SmallestMappedFile;
    struct Case {
        const char* name;
        off_t shrunkTo;
        size_t offset;
        bool survives;
    };
    const Case cases[] = {
        {"not shrunk", Size, Size - 1, true},
        {"read before the new end", Size / 2, 10, true},
        {"read past the new end", Size / 2, Size - 1, false},
        {"emptied", 0, 0, false},
    };
    TemporaryFolder folder("shrink");
    for (const Case& c : cases) {
        DocumentBytes input = mapThenShrink(folder, c.name, Size, c.shrunkTo);
        Touch t{input.bytes(), c.offset};
        EXPECT_EQ(readGuarded(input, touch, &t), c.survives) << c.name;
        EXPECT_EQ(t.finished, c.survives) << c.name;
    }
    // The guard is gone afterwards and another guarded call works as before.
    DocumentBytes intact = mapThenShrink(folder, "intact", Size, Size);
    Touch t{intact.bytes(), Size - 1};
    EXPECT_TRUE(readGuarded(intact, touch, &t));
}

TEST(DocumentBytesDeathTest, FaultOutsideAGuardedCallStillEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TemporaryFolder folder("unguarded");
    auto faultUnguarded = [&] {
        DocumentBytes guarded = mapThenShrink(folder, "guarded", SmallestMappedFile, SmallestMappedFile);
        Touch t{guarded.bytes(), 0};
        readGuarded(guarded, touch, &t);  // installs the handler
        DocumentBytes shrunk = mapThenShrink(folder, "shrunk", SmallestMappedFile, 0);
        // The process dies here without its destructors: its folder goes
        // now, the mappings staying as they are.
        std::filesystem::remove_all(folder.root());
        Touch outside{shrunk.bytes(), 0};
        touch(&outside);
    };
    // Killed by SIGBUS, or ended by a handler that was there before (a
    // sanitizer's reports the fault and exits).
    EXPECT_DEATH(faultUnguarded(), "");
    auto sentByAProcess = [&] {
        DocumentBytes guarded = mapThenShrink(folder, "guarded", SmallestMappedFile, SmallestMappedFile);
        std::filesystem::remove_all(folder.root());
        Touch t{guarded.bytes(), 0};
        readGuarded(guarded, [](void*) { kill(getpid(), SIGBUS); }, &t);
    };
    EXPECT_DEATH(sentByAProcess(), "");
}

void exitFromBusError(int) { _exit(42); }
void exitFromBusErrorWithInfo(int, siginfo_t* info, void*) { _exit(info != nullptr && info->si_signo == SIGBUS ? 42 : 45); }

// Reads from deep down the stack, so that the fault's signal frame leaves
// what lay just below the caller untouched.
[[gnu::noinline]] void touchFromDeeper(Touch& t) {
    volatile char depth[64 * 1024];
    depth[0] = 1;
    touch(&t);
    depth[1] = depth[0];
}

// Once a guarded call has returned, a fault in the mapping it read is no
// longer its own: it goes to the handler that was there before, rather than
// jumping back into the call that has ended; one taking the signal's details
// is given them.
TEST(DocumentBytesDeathTest, AFaultAfterTheGuardedCallReturnedGoesToTheHandlerBefore) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TemporaryFolder folder("ended");
    auto faultAfterwards = [&](bool withInfo) {
        struct sigaction before {};
        if (withInfo) {
            before.sa_sigaction = exitFromBusErrorWithInfo;
            before.sa_flags = SA_SIGINFO;
        } else {
            before.sa_handler = exitFromBusError;
        }
        sigemptyset(&before.sa_mask);
        sigaction(SIGBUS, &before, nullptr);
        DocumentBytes input = mapThenShrink(folder, "input", 2 * SmallestMappedFile, SmallestMappedFile);
        std::filesystem::remove_all(folder.root());
        Touch inside{input.bytes(), 0};
        static int returns = 0;
        if (!readGuarded(input, touch, &inside)) _exit(44);
        // A jump into the ended call would return from it a second time.
        if (++returns > 1) _exit(43);
        Touch past{input.bytes(), 2 * SmallestMappedFile - 1};
        touchFromDeeper(past);
        _exit(0);
    };
    EXPECT_EXIT(faultAfterwards(false), ::testing::ExitedWithCode(42), "");
    EXPECT_EXIT(faultAfterwards(true), ::testing::ExitedWithCode(42), "");
}

}  // namespace
}  // namespace zentoro
