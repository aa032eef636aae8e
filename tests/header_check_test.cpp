// checkWordFile and the header test of convertDocument: the three UIDs,
// their messages and what is left on disk.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

#include "reader/word_uids.h"
#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/temporary_folder.h"
#include "tests/builder/document_builder.h"
#include "tests/support/own_device.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr const char* NotEpoc = "This isn't an EPOC file - exiting program.\n";
constexpr const char* NotStandard = "This isn't a standard document - exiting program.\n";
constexpr const char* NotWord = "This isn't a Word document - exiting program.\n";

class HeaderCheck : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder_.path(name); }

    // Runs checkWordFile on the bytes and returns its result and message.
    std::pair<int, std::string> check(const std::vector<uint8_t>& bytes) {
        writeFile(path("doc"), bytes);
        StdoutCapture capture;
        int result = checkWordFile(path("doc").c_str());
        return {result, capture.finish()};
    }

    TemporaryFolder folder_{"header"};
    const fs::path& dir_ = folder_.root();
};

std::vector<uint8_t> headerBytes() {
    return Bytes().u32(EpocFileUid).u32(StandardDocumentUid).u32(WordDocumentUid).data;
}

TEST_F(HeaderCheck, AcceptsTheThreeWordUidsSilently) {
    EXPECT_EQ(check(headerBytes()), std::make_pair(0, std::string()));
}

TEST_F(HeaderCheck, EachChangedByteFailsWithTheMessageOfItsUid) {
    const char* messages[] = {NotEpoc, NotStandard, NotWord};
    for (size_t i = 0; i < 12; ++i) {
        std::vector<uint8_t> bytes = headerBytes();
        bytes[i] ^= 0x01;
        EXPECT_EQ(check(bytes), std::make_pair(1, std::string(messages[i / 4]))) << "byte " << i;
    }
}

TEST_F(HeaderCheck, ShortFileFailsAtTheFirstUidWhoseBytesAreMissing) {
    std::vector<uint8_t> bytes = headerBytes();
    EXPECT_EQ(check({}), std::make_pair(1, std::string(NotEpoc)));
    EXPECT_EQ(check({bytes.begin(), bytes.begin() + 6}), std::make_pair(1, std::string(NotStandard)));
    EXPECT_EQ(check({bytes.begin(), bytes.begin() + 11}), std::make_pair(1, std::string(NotWord)));
}

TEST_F(HeaderCheck, MissingFileFailsWithoutAMessage) {
    StdoutCapture capture;
    EXPECT_EQ(checkWordFile(path("absent").c_str()), 1);
    EXPECT_EQ(capture.finish(), "");
}

TEST_F(HeaderCheck, ConvertingAFileWithAWrongHeaderCreatesNoOutputAndKeepsAnEarlierOne) {
    std::vector<uint8_t> bytes = WordDocument().headerUids(EpocFileUid, StandardDocumentUid, 0x10000088).applicationId().build();
    writeFile(path("doc"), bytes);
    StdoutCapture capture;
    EXPECT_EQ(convertDocument(path("doc").c_str(), path("doc.rtf").c_str()), 1);
    EXPECT_EQ(capture.finish(), NotWord);
    EXPECT_FALSE(fs::exists(path("doc.rtf")));

    writeFile(path("thesis.rtf"), Bytes().text("{\\rtf1 an earlier, good conversion}").data);
    std::string before = readFile(path("thesis.rtf"));
    ConversionResult result = convertDocumentWithResult(path("doc").c_str(), path("thesis.rtf").c_str());
    EXPECT_EQ(result.failure, Failure::NotWordDocument);
    EXPECT_EQ(readFile(path("thesis.rtf")), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2) << "no temporary file left";
}

TEST_F(HeaderCheck, ConvertingAMissingFileCreatesNoOutput) {
    EXPECT_EQ(convertDocument(path("absent").c_str(), path("absent.rtf").c_str()), 1);
    EXPECT_FALSE(fs::exists(path("absent.rtf")));
}

TEST_F(HeaderCheck, ConvertingToAnOutputThatCannotBeCreatedFails) {
    writeFile(path("doc"), WordDocument().applicationId().build());
    EXPECT_EQ(convertDocument(path("doc").c_str(), path("no-such-dir/doc.rtf").c_str()), 1);
}

TEST_F(HeaderCheck, ConvertingOverTheInputFileIsRefusedAndLeavesItWhole) {
    std::vector<uint8_t> bytes = WordDocument().applicationId().build();
    writeFile(path("doc"), bytes);
    EXPECT_EQ(convertDocument(path("doc").c_str(), path("doc").c_str()), 1);
    EXPECT_EQ(convertDocument(path("doc").c_str(), (dir_ / "." / "doc").string().c_str()), 1);
    EXPECT_EQ(readFile(path("doc")), std::string(bytes.begin(), bytes.end()));
}

TEST_F(HeaderCheck, WriteFailureReportsFailure) {
    if (!makeFullDevice(path("full"))) GTEST_SKIP() << "cannot make a device in the test's folder (needs root)";
    writeFile(path("doc"), WordDocument().applicationId().build());
    EXPECT_EQ(convertDocument(path("doc").c_str(), path("full").c_str()), 1);
    EXPECT_TRUE(isCharacterDevice(path("full")));
}

}  // namespace
}  // namespace zentoro
