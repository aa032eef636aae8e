// An output path where a device or FIFO stands, or a link to one, is
// written in place: never renamed over, never left with a temporary file
// beside it. The devices are the test's own, made in its folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/convert_to_format.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/temporary_folder.h"
#include "tests/support/own_device.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

mode_t typeOf(const std::string& path) {
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 ? (status.st_mode & S_IFMT) : 0;
}

TEST(DeviceOutputs, AreWrittenInPlaceAndNeverReplaced) {
    TemporaryFolder folder("devices");
    writeFile(folder.path("doc"), sampleDocument());
    if (!makeFullDevice(folder.path("full"))) GTEST_SKIP() << "cannot make a device in the test's folder (needs root)";
    ASSERT_EQ(::mkfifo(folder.path("fifo").c_str(), 0600), 0);
    fs::create_symlink("full", folder.path("to-full"));
    fs::create_symlink("fifo", folder.path("to-fifo"));
    // Held open for reading and writing, so that the conversion's open does
    // not wait for a reader; the sample's output fits in the pipe.
    int reader = ::open(folder.path("fifo").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    // A failed output closes what it opened and nothing else, standard input
    // least of all.
    struct stat input;
    bool inputOpen = ::fstat(STDIN_FILENO, &input) == 0;

    struct Case {
        const char* output;
        Failure failure;
        int systemError;
    };
    for (OutputFormat format : {OutputFormat::Rtf, OutputFormat::RtfFaithful, OutputFormat::Text}) {
        std::string expected;
        WriteOptions options;
        options.documentName = "doc";
        ASSERT_TRUE(convertDocumentBytesToString(format, sampleDocument().data(), sampleDocument().size(), expected,
                                                 options)
                        .succeeded());
        for (const Case& c : {Case{"full", Failure::OutputUnwritable, ENOSPC},
                              Case{"to-full", Failure::OutputUnwritable, ENOSPC},
                              Case{"fifo", Failure::None, 0}, Case{"to-fifo", Failure::None, 0}}) {
            std::string shown = std::string(outputFormatName(format)) + " to " + c.output;
            ConversionResult result = convertDocumentTo(format, folder.path("doc").c_str(), folder.path(c.output).c_str());
            EXPECT_EQ(result.failure, c.failure) << shown;
            EXPECT_EQ(result.systemError, c.systemError) << shown;
            if (c.failure == Failure::None) {
                std::string got(expected.size() + 1, '\0');
                ssize_t n = ::read(reader, got.data(), got.size());
                got.resize(n < 0 ? 0 : static_cast<size_t>(n));
                EXPECT_EQ(got, expected) << shown;
            }
            EXPECT_EQ(typeOf(folder.path("full")), S_IFCHR) << shown;
            EXPECT_EQ(typeOf(folder.path("fifo")), S_IFIFO) << shown;
            EXPECT_EQ(typeOf(folder.path("to-full")), S_IFLNK) << shown;
            EXPECT_EQ(typeOf(folder.path("to-fifo")), S_IFLNK) << shown;
            size_t entries = 0;
            for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(folder.root())) ++entries;
            EXPECT_EQ(entries, 5u) << shown << ": a file was left beside the outputs";
            struct stat now;
            if (inputOpen) {
                EXPECT_TRUE(::fstat(STDIN_FILENO, &now) == 0 && now.st_ino == input.st_ino) << shown << ": standard input closed";
            }
        }
    }
    ::close(reader);
}

// What a damaged document still holds goes into a FIFO as it would into a
// new file, and the result says it is there.
TEST(DeviceOutputs, TakeWhatADamagedDocumentStillHolds) {
    TemporaryFolder folder("devices");
    std::vector<uint8_t> cut = sampleDocument();
    cut.pop_back();
    writeFile(folder.path("cut"), cut);
    ASSERT_EQ(::mkfifo(folder.path("fifo").c_str(), 0600), 0);
    int reader = ::open(folder.path("fifo").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    for (OutputFormat format : {OutputFormat::Rtf, OutputFormat::RtfFaithful, OutputFormat::Text}) {
        SCOPED_TRACE(outputFormatName(format));
        std::string expected;
        convertDocumentBytesToString(format, cut.data(), cut.size(), expected);
        ConversionResult result = convertDocumentTo(format, folder.path("cut").c_str(), folder.path("fifo").c_str());
        EXPECT_EQ(result.failure, Failure::DocumentDamaged);
        EXPECT_TRUE(result.partialOutputKept);
        std::string got(expected.size() + 1, '\0');
        ssize_t n = ::read(reader, got.data(), got.size());
        got.resize(n < 0 ? 0 : static_cast<size_t>(n));
        EXPECT_EQ(got, expected);
        EXPECT_FALSE(expected.empty());
    }
    ::close(reader);
}

}  // namespace
}  // namespace zentoro
