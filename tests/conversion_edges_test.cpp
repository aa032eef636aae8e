// What the conversion entry points report and what they hold on to: a
// failure without a system cause carries no errno, every entry point
// gives a document the same verdict, and nothing opened or mapped for a
// conversion outlives it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "convert/convert_to_format.h"
#include "convert/document_bytes.h"
#include "convert/inspect_document.h"
#include "convert/request_input.h"
#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/scaled_document.h"
#include "tests/builder/temporary_folder.h"
#include "tests/support/own_device.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

TEST(ConversionEdges, EveryEntryPointGivesTheSameVerdictAndNoErrnoWithoutASystemCause) {
    TemporaryFolder folder("verdicts");
    std::vector<uint8_t> cut = sampleDocument();
    cut.resize(cut.size() - 1);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        Failure failure;
    };
    const Case cases[] = {
        {"the sample", sampleDocument(), Failure::None},
        {"the sample cut short", cut, Failure::DocumentDamaged},
        {"text", Bytes().text("just some text, long enough for a header\n").data, Failure::NotWordDocument},
    };
    for (const Case& c : cases) {
        writeFile(folder.path("doc"), c.bytes);
        for (OutputFormat format : {OutputFormat::Rtf, OutputFormat::RtfFaithful, OutputFormat::Text}) {
            std::string shown = std::string(c.name) + " to " + std::string(outputFormatName(format));
            std::string memory;
            File scratch(std::tmpfile());
            ASSERT_TRUE(scratch);
            std::string input = folder.path("doc");
            std::string output = folder.path("out");
            ConversionRequest quiet;
            quiet.inputPath = input.c_str();
            quiet.outputPath = output.c_str();
            quiet.diagnostics = nullptr;
            const ConversionResult results[] = {
                convertDocumentBytesToString(format, c.bytes.data(), c.bytes.size(), memory),
                convertDocumentBytesTo(format, c.bytes.data(), c.bytes.size(), scratch.get()),
                convertRequestTo(format, quiet),
            };
            for (const ConversionResult& result : results) {
                EXPECT_EQ(result.failure, c.failure) << shown;
                EXPECT_EQ(result.systemError, 0) << shown;
            }
            fs::remove(folder.path("out"));
        }
    }
}

size_t openDescriptors() {
    size_t count = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

size_t mappingsOf(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    size_t count = 0;
    for (std::string line; std::getline(maps, line);) {
        if (line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0) ++count;
    }
    return count;
}

// Descriptors and mappings taken for a conversion, refused or failed, are
// given back: each operation, done a few times, leaves as many open as
// before.
TEST(ConversionEdges, NothingOpenedOrMappedOutlivesTheOperation) {
    if (!fs::is_directory("/proc/self/fd")) GTEST_SKIP() << "no /proc/self/fd to count descriptors in";
    TemporaryFolder folder("leaks");
    std::string doc = folder.path("doc");
    std::string large = folder.path("large");
    writeFile(doc, sampleDocument());
    writeFile(large, scaledDocument(4 * SmallestMappedFile));
    ASSERT_EQ(::mkfifo(folder.path("fifo").c_str(), 0600), 0);
    bool device = makeFullDevice(folder.path("full"));
    auto mapLarge = [&](DocumentBytes& bytes) {
        File file(std::fopen(large.c_str(), "rb"));
        ASSERT_TRUE(file);
        ASSERT_TRUE(bytes.map(file.get()));
    };
    struct Case {
        const char* name;
        std::function<void()> operation;
    };
    const Case cases[] = {
        {"a FIFO refused as input",
         [&] {
             EXPECT_EQ(convertDocumentTo(OutputFormat::Rtf, folder.path("fifo").c_str(), folder.path("out").c_str()).failure,
                       Failure::InputNotRegularFile);
         }},
        {"a header checked", [&] { EXPECT_EQ(checkWordFile(doc.c_str()), 0); }},
        {"a conversion whose output could not be stored",
         [&] {
             if (!device) return;
             EXPECT_EQ(convertDocumentTo(OutputFormat::Text, doc.c_str(), folder.path("full").c_str()).failure,
                       Failure::OutputUnwritable);
         }},
        {"a large document converted", [&] { EXPECT_TRUE(convertDocumentTo(OutputFormat::Rtf, large.c_str(), folder.path("out").c_str()).succeeded()); }},
        {"a mapping dropped",
         [&] {
             DocumentBytes bytes;
             mapLarge(bytes);
         }},
        {"a mapping mapped again",
         [&] {
             DocumentBytes bytes;
             mapLarge(bytes);
             mapLarge(bytes);
         }},
        {"a mapping moved over",
         [&] {
             DocumentBytes bytes;
             mapLarge(bytes);
             DocumentBytes other;
             mapLarge(other);
             bytes = std::move(other);
             DocumentBytes moved(std::move(bytes));
             EXPECT_TRUE(moved.mapped());
         }},
    };
    for (const Case& c : cases) {
        size_t descriptors = openDescriptors();
        for (int i = 0; i < 3; ++i) c.operation();
        EXPECT_EQ(openDescriptors(), descriptors) << c.name;
        EXPECT_EQ(mappingsOf(large), 0u) << c.name;
    }
}

// Where the reading goes: only the streaming translation maps the input
// (it alone reads under a guard against the file shrinking), and a read
// error, moved with the bytes, is not forgotten.
TEST(ConversionEdges, MappingFollowsThePolicyAndAReadErrorMovesWithTheBytes) {
    TemporaryFolder folder("mapping");
    writeFile(folder.path("large"), scaledDocument(4 * SmallestMappedFile));
    writeFile(folder.path("small"), sampleDocument());
    struct Case {
        const char* input;
        InputMapping mapping;
        bool mapped;
    };
    for (const Case& c : {Case{"large", InputMapping::Allowed, true}, Case{"large", InputMapping::Never, false},
                          Case{"small", InputMapping::Allowed, false}, Case{"small", InputMapping::Never, false}}) {
        ConversionRequest request;
        std::string path = folder.path(c.input);
        request.inputPath = path.c_str();
        RequestInput input;
        ASSERT_TRUE(readRequestInput(request, c.mapping, input).succeeded()) << c.input;
        EXPECT_EQ(input.bytes.mapped(), c.mapped) << c.input << (c.mapping == InputMapping::Allowed ? ", allowed" : ", never");
        EXPECT_EQ(input.bytes.bytes().size(), fs::file_size(path)) << c.input;
    }

    // A folder opened as a stream fails its first read.
    File unreadable(std::fopen(folder.root().c_str(), "rb"));
    ASSERT_TRUE(unreadable);
    DocumentBytes failed;
    failed.read(unreadable.get(), 100);
    ASSERT_FALSE(failed.readWhole());
    DocumentBytes assigned;
    assigned = std::move(failed);
    EXPECT_FALSE(assigned.readWhole());
    DocumentBytes constructed(std::move(assigned));
    EXPECT_FALSE(constructed.readWhole());
}


// Room is taken for what the input holds and a chunk more, never for the
// largest document, whatever the input's size and whether it is known.
TEST(ConversionEdges, ASmallInputReservesLittle) {
    TemporaryFolder folder("reserve");
    std::vector<uint8_t> sample = sampleDocument();
    writeFile(folder.path("empty"), {});
    writeFile(folder.path("small"), sample);
    constexpr size_t Bound = 256 * 1024;
    struct Case {
        const char* input;
        bool descriptor;
        size_t sizeHint;
    };
    for (const Case& c : {Case{"empty", true, 0}, Case{"small", true, 0}, Case{"small", true, sample.size()},
                          Case{"empty", false, 0}, Case{"small", false, 0}, Case{"small", false, sample.size()}}) {
        std::string path = folder.path(c.input);
        DocumentBytes bytes;
        if (c.descriptor) {
            int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            EXPECT_EQ(bytes.read(fd, c.sizeHint), 0);
            ::close(fd);
        } else {
            File file(std::fopen(path.c_str(), "rb"));
            ASSERT_TRUE(file);
            bytes.read(file.get(), MaxDocumentBytes, c.sizeHint);
        }
        EXPECT_EQ(bytes.bytes().size(), fs::file_size(path)) << c.input;
        EXPECT_LE(bytes.reserved(), Bound) << c.input << (c.descriptor ? " by descriptor" : " as a stream") << ", size "
                                           << c.sizeHint;
    }
}


// A document that ends inside its last section, the 13 bytes the
// translation reads past, is damaged wherever it is cut.
TEST(ConversionEdges, ADocumentCutInsideItsIgnoredSectionIsDamaged) {
    std::vector<uint8_t> whole =
        WordDocument().dictionaryAtStart().applicationId().styles(StyleSection()).text("x\x06").ignoredSection().build();
    ASSERT_TRUE(convertDocumentBytesWithResult(whole.data(), whole.size(), nullptr).succeeded());
    for (size_t cut = 1; cut <= 13; ++cut) {
        ConversionResult result = convertDocumentBytesWithResult(whole.data(), whole.size() - cut, nullptr);
        EXPECT_EQ(result.failure, Failure::DocumentDamaged) << cut << " bytes cut";
    }
}


// A descriptor whose reads fail after the header: the document read that
// far is not reported as converted. The descriptor reads this process's
// own memory, where the pages after the document are not mapped.
TEST(ConversionEdges, AReadErrorAfterTheHeaderOnADescriptorFailsTheConversion) {
    std::vector<uint8_t> document = sampleDocument();
    size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    size_t pages = (document.size() + page - 1) / page;
    void* area = ::mmap(nullptr, (pages + 1) * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(area, MAP_FAILED);
    auto* end = static_cast<unsigned char*>(area) + pages * page;
    ASSERT_EQ(::munmap(end, page), 0);
    unsigned char* start = end - document.size();
    std::copy(document.begin(), document.end(), start);
    for (OutputFormat format : {OutputFormat::Rtf, OutputFormat::RtfFaithful}) {
        int fd = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
        if (fd < 0) GTEST_SKIP() << "cannot read /proc/self/mem";
        ASSERT_EQ(::lseek(fd, static_cast<off_t>(reinterpret_cast<uintptr_t>(start)), SEEK_SET),
                  static_cast<off_t>(reinterpret_cast<uintptr_t>(start)));
        File output(std::tmpfile());
        ConversionRequest request;
        request.inputPath = "memory";
        request.openedInputDescriptor = fd;
        request.openedInputSize = document.size() + 100;  // more than there is to read
        request.outputStream = output.get();
        request.diagnostics = nullptr;
        ConversionResult result = convertRequestTo(format, request);
        ::close(fd);
        EXPECT_EQ(result.failure, Failure::InputUnreadable) << outputFormatName(format);
        EXPECT_EQ(result.systemError, EIO) << outputFormatName(format);
        EXPECT_FALSE(result.partialOutputKept) << outputFormatName(format);
    }
    ::munmap(area, pages * page);
}

// A file that is no Word document, shorter than a header too, is refused
// with the same message however the caller opened it, and without a stream
// for messages, silently.
TEST(ConversionEdges, AFileThatIsNoWordDocumentIsRefusedAlikeHoweverItWasOpened) {
    TemporaryFolder folder("not-word");
    std::string path = folder.path("notes.txt");
    enum class Way { Path, Stream, Descriptor };
    for (const char* text : {"Not a document of the handheld, but long enough to hold a header.", "Notes"}) {
        writeFile(path, Bytes().text(text).data);
        std::string firstMessage;
        for (Way way : {Way::Path, Way::Stream, Way::Descriptor}) {
            for (bool told : {true, false}) {
                File opened(way == Way::Stream ? std::fopen(path.c_str(), "rb") : nullptr);
                int fd = way == Way::Descriptor ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC) : -1;
                File messages(std::tmpfile());
                File output(std::tmpfile());
                ConversionRequest request;
                request.inputPath = path.c_str();
                request.openedInput = opened.get();
                request.openedInputDescriptor = fd;
                request.openedInputSize = static_cast<size_t>(fs::file_size(path));
                request.outputStream = output.get();
                request.diagnostics = told ? messages.get() : nullptr;
                ConversionResult result = convertRequestTo(OutputFormat::RtfFaithful, request);
                if (fd >= 0) ::close(fd);
                EXPECT_EQ(result.failure, Failure::NotWordDocument) << static_cast<int>(way);
                std::rewind(messages.get());
                std::string message(256, '\0');
                message.resize(std::fread(message.data(), 1, message.size(), messages.get()));
                if (!told) continue;
                EXPECT_FALSE(message.empty()) << static_cast<int>(way);
                if (firstMessage.empty()) firstMessage = message;
                EXPECT_EQ(message, firstMessage) << static_cast<int>(way);
            }
        }
    }
}

// Inspecting a file, as a check of a folder does, prints nothing of its own.
TEST(ConversionEdges, InspectingAFileThatIsNoWordDocumentPrintsNothing) {
    TemporaryFolder folder("inspect");
    std::string path = folder.path("notes.txt");
    writeFile(path, Bytes().text("Not a document of the handheld, but long enough to hold a header.").data);
    ::testing::internal::CaptureStdout();
    ConversionResult result = inspectDocument(path.c_str());
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(result.failure, Failure::NotWordDocument);
}

// A document the caller opened is read from its descriptor, even where that
// is descriptor 0 (a program started without standard input): the path is
// only its name and is not opened again.
TEST(ConversionEdges, ADocumentOnDescriptorZeroIsReadFromIt) {
    TemporaryFolder folder("descriptor-zero");
    std::string path = folder.path("doc");
    std::vector<uint8_t> document = sampleDocument();
    writeFile(path, document);
    int savedInput = ::dup(0);
    ASSERT_GE(savedInput, 0);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::dup2(fd, 0), 0);
    ::close(fd);
    File output(std::tmpfile());
    ConversionRequest request;
    request.inputPath = "named-but-never-opened";
    request.openedInputDescriptor = 0;
    request.openedInputSize = document.size();
    request.outputStream = output.get();
    request.diagnostics = nullptr;
    ConversionResult result = convertRequestTo(OutputFormat::RtfFaithful, request);
    ::dup2(savedInput, 0);
    ::close(savedInput);
    EXPECT_TRUE(result.succeeded()) << static_cast<int>(result.failure);
}

// A request that names no input or no output is refused as invalid on every
// road, by paths or by a request, and claims no part of an output.
TEST(ConversionEdges, ARequestWithoutInputOrOutputIsInvalid) {
    File output(std::tmpfile());
    TemporaryFolder folder("no-input-or-output");
    std::string input = folder.path("doc");
    std::string named = folder.path("out");
    writeFile(input, sampleDocument());
    for (OutputFormat format : {OutputFormat::Rtf, OutputFormat::RtfFaithful, OutputFormat::Text}) {
        for (bool withInput : {false, true}) {
            ConversionRequest request;
            request.inputPath = withInput ? input.c_str() : nullptr;
            request.outputStream = withInput ? nullptr : output.get();
            request.diagnostics = nullptr;
            SCOPED_TRACE(std::string(outputFormatName(format)) + (withInput ? ", no output" : ", no input"));
            for (const ConversionResult& result :
                 {convertRequestTo(format, request),
                  convertDocumentTo(format, request.inputPath, withInput ? nullptr : named.c_str())}) {
                EXPECT_EQ(result.failure, Failure::InputUnopenable);
                EXPECT_EQ(result.systemError, EINVAL);
                EXPECT_FALSE(result.partialOutputKept);
            }
            EXPECT_FALSE(fs::exists(named));
        }
    }
}

}  // namespace
}  // namespace zentoro
