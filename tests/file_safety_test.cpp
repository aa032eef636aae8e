// What a conversion does to the files it is given: the input is never
// changed, the output never replaces the input under another name, and a
// conversion that fails after creating its output says so.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "reader/conversion_limits.h"
#include "convert/convert_streams.h"
#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/temporary_folder.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class FileSafety : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder_.path(name); }

    // Writes the document as "doc" and returns its bytes as text.
    std::string writeDocument(const std::vector<uint8_t>& bytes) {
        writeFile(path("doc"), bytes);
        return std::string(bytes.begin(), bytes.end());
    }

    TemporaryFolder folder_{"files"};
    const fs::path& dir_ = folder_.root();
};

TEST_F(FileSafety, InputIsLeftAsItWasWhetherTheConversionSucceedsOrFails) {
    for (const std::vector<uint8_t>& bytes : {richDocument(), heavyStyleDocument(1000, 3000, StyleRecords::Writing)}) {
        std::string before = writeDocument(bytes);
        fs::file_time_type modified = fs::last_write_time(path("doc"));
        int result = convertDocument(path("doc").c_str(), path("doc.rtf").c_str());
        EXPECT_EQ(result, bytes.size() < 1000 ? 0 : 1);  // the rich document converts, the other passes the limit
        EXPECT_EQ(readFile(path("doc")), before);
        EXPECT_EQ(fs::last_write_time(path("doc")), modified);
    }
}

TEST_F(FileSafety, OutputThroughALinkToTheInputIsRefused) {
    std::string before = writeDocument(richDocument());
    fs::create_symlink(path("doc"), path("symlink"));
    fs::create_hard_link(path("doc"), path("hardlink"));
    for (const char* link : {"symlink", "hardlink"}) {
        EXPECT_EQ(convertDocument(path("doc").c_str(), path(link).c_str()), 1) << link;
        EXPECT_EQ(convertDocument(path(link).c_str(), path("doc").c_str()), 1) << link;
        EXPECT_EQ(readFile(path("doc")), before) << link;
    }
}

TEST_F(FileSafety, ConversionStoppedByTheOutputLimitFailsAndKeepsNoMoreThanTheLimit) {
    std::vector<uint8_t> bytes = heavyStyleDocument(1000, 3000, StyleRecords::Writing);
    writeDocument(bytes);
    EXPECT_EQ(convertDocument(path("doc").c_str(), path("doc.rtf").c_str()), 1);
    ASSERT_TRUE(fs::exists(path("doc.rtf")));
    EXPECT_LE(fs::file_size(path("doc.rtf")), outputLimitFor(bytes.size()));
}

// A read-only stream over `bytes` whose reads fail, as a damaged disk's
// would, once `readable` bytes have been delivered.
class FailingInput {
public:
    FailingInput(std::vector<uint8_t> bytes, size_t readable) : bytes_(std::move(bytes)), readable_(readable) {
        cookie_io_functions_t functions{};
        functions.read = &FailingInput::read;
        file_ = fopencookie(this, "rb", functions);
        std::setvbuf(file_, nullptr, _IONBF, 0);
    }
    ~FailingInput() { std::fclose(file_); }
    FailingInput(const FailingInput&) = delete;
    FailingInput& operator=(const FailingInput&) = delete;
    std::FILE* file() const { return file_; }

private:
    static ssize_t read(void* cookie, char* buffer, size_t size) {
        auto* self = static_cast<FailingInput*>(cookie);
        if (self->pos_ >= self->bytes_.size()) return 0;
        if (self->pos_ >= self->readable_) {
            errno = EIO;
            return -1;
        }
        size_t count = std::min({size, self->readable_ - self->pos_, self->bytes_.size() - self->pos_});
        std::memcpy(buffer, self->bytes_.data() + self->pos_, count);
        self->pos_ += count;
        return static_cast<ssize_t>(count);
    }

    std::vector<uint8_t> bytes_;
    size_t readable_;
    size_t pos_ = 0;
    std::FILE* file_;
};

TEST(ReadFailure, DocumentThatCannotBeReadToItsEndFailsAfterConvertingWhatWasRead) {
    std::vector<uint8_t> bytes = richDocumentDictionaryFirst();
    std::FILE* output = std::tmpfile();
    ASSERT_NE(output, nullptr);
    {
        FailingInput whole(bytes, bytes.size());
        EXPECT_EQ(convertStreams(whole.file(), output, bytes.size()), 0);
    }
    long wholeSize = std::ftell(output);
    std::rewind(output);
    {
        FailingInput damaged(bytes, bytes.size() / 2);
        EXPECT_EQ(convertStreams(damaged.file(), output, bytes.size()), 1);
    }
    long partSize = std::ftell(output);
    EXPECT_GT(partSize, 0);
    EXPECT_LT(partSize, wholeSize);
    std::fclose(output);
}

}  // namespace
}  // namespace zentoro
