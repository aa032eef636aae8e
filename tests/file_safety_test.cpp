// What a conversion does to the files it is given: the input is never
// changed, the output never replaces the input under another name, and a
// conversion that fails after creating its output says so.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "reader/conversion_limits.h"
#include "convert/background_writer.h"
#include "convert/convert_to_format.h"
#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/temporary_folder.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/scaled_document.h"
#include "tests/builder/stress_documents.h"
#include "tests/support/own_device.h"

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
        EXPECT_TRUE(convertStream(whole.file(), output).succeeded());
    }
    long wholeSize = std::ftell(output);
    std::rewind(output);
    {
        FailingInput damaged(bytes, bytes.size() / 2);
        EXPECT_EQ(convertStream(damaged.file(), output).failure, Failure::InputUnreadable);
    }
    long partSize = std::ftell(output);
    EXPECT_GT(partSize, 0);
    EXPECT_LT(partSize, wholeSize);
    std::fclose(output);
}

// A conversion that fails on its input keeps what it converted only where
// no file stood; one that fails on its output keeps nothing. Either way an
// earlier file at the output path is left as it was, and no temporary file
// remains.
TEST_F(FileSafety, FailedConversionNeverReplacesAnEarlierOutputAndKeepsAPartOnlyWhereNoneStood) {
    std::vector<uint8_t> heavy = heavyStyleDocument(1000, 3000, StyleRecords::Writing);
    std::vector<uint8_t> rich = richDocumentDictionaryFirst();
    std::vector<uint8_t> cut = sampleDocument();
    cut.resize(cut.size() - 1);
    struct Case {
        const char* name;
        Failure failure;
        bool earlierOutput;
        bool partKept;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"limit, nothing before", Failure::LimitReached, false, true},
             {"limit, earlier output", Failure::LimitReached, true, false},
             {"cut short, nothing before", Failure::DocumentDamaged, false, true},
             {"cut short, earlier output", Failure::DocumentDamaged, true, false},
             {"read error, nothing before", Failure::InputUnreadable, false, true},
             {"read error, earlier output", Failure::InputUnreadable, true, false},
         }) {
        fs::remove(path("doc.rtf"));
        std::string earlier = "{\\rtf1 an earlier, good conversion}";
        if (c.earlierOutput) writeFile(path("doc.rtf"), std::vector<uint8_t>(earlier.begin(), earlier.end()));
        ConversionResult result;
        if (c.failure != Failure::InputUnreadable) {
            writeDocument(c.failure == Failure::LimitReached ? heavy : cut);
            result = convertDocumentWithResult(path("doc").c_str(), path("doc.rtf").c_str());
        } else {
            FailingInput damaged(rich, rich.size() / 2);
            ConversionRequest request;
            request.inputStream = damaged.file();
            std::string output = path("doc.rtf");
            request.outputPath = output.c_str();
            result = runConversion(request);
            EXPECT_EQ(result.systemError, EIO) << c.name;
        }
        EXPECT_EQ(result.failure, c.failure) << c.name;
        EXPECT_EQ(result.partialOutputKept, c.partKept) << c.name;
        if (c.earlierOutput) {
            EXPECT_TRUE(readFile(path("doc.rtf")) == earlier) << c.name;
        }
        if (c.partKept) {
            EXPECT_GT(fs::file_size(path("doc.rtf")), 0u) << c.name;
        }
        for (const auto& entry : fs::directory_iterator(dir_)) {
            EXPECT_NE(entry.path().filename().string().rfind(".zentoro-", 0), 0u) << c.name << ": " << entry.path();
        }
    }
}

TEST_F(FileSafety, ExistingOutputsAreKeptAsAsked) {
    writeDocument(richDocument());
    std::vector<uint8_t> word = WordDocument().applicationId().text("Another\x06").build();
    std::string rtf = "{\\rtf1 mine}";
    struct Case {
        ExistingOutput existing;
        bool wordDocumentThere;
        Failure failure;
    };
    for (const Case& c : std::initializer_list<Case>{
             {ExistingOutput::Replace, false, Failure::None},
             {ExistingOutput::Replace, true, Failure::None},
             {ExistingOutput::KeepWordDocument, false, Failure::None},
             {ExistingOutput::KeepWordDocument, true, Failure::OutputIsWordDocument},
             {ExistingOutput::Keep, false, Failure::OutputExists},
         }) {
        std::vector<uint8_t> before = c.wordDocumentThere ? word : std::vector<uint8_t>(rtf.begin(), rtf.end());
        writeFile(path("out"), before);
        std::string input = path("doc");
        std::string output = path("out");
        ConversionRequest request;
        request.inputPath = input.c_str();
        request.outputPath = output.c_str();
        request.existingOutput = c.existing;
        ConversionResult result = runConversion(request);
        EXPECT_EQ(result.failure, c.failure) << static_cast<int>(c.existing) << " " << c.wordDocumentThere;
        bool untouched = readFile(path("out")) == std::string(before.begin(), before.end());
        EXPECT_EQ(untouched, !result.succeeded()) << static_cast<int>(c.existing) << " " << c.wordDocumentThere;
    }
}

// An output begun where the caller found nothing is not looked at again
// until it is put in place: whatever has appeared there by then is kept or
// replaced as it would have been had it stood there from the start, and no
// temporary file is left either way.
TEST_F(FileSafety, WhatAppearsAtAnOutputFoundFreeIsCheckedBeforeItIsReplaced) {
    std::vector<uint8_t> word = WordDocument().applicationId().text("Another\x06").build();
    const std::string wordText(word.begin(), word.end());
    const std::string earlier = "{\\rtf1 earlier}";
    const std::string mine = "{\\rtf1 mine}";
    enum class Appears { Nothing, File, WordDocument, Folder };
    struct Case {
        const char* what;
        ExistingOutput existing;
        Appears appears;
        Failure failure;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"nothing", ExistingOutput::KeepWordDocument, Appears::Nothing, Failure::None},
             {"a file, replaced", ExistingOutput::KeepWordDocument, Appears::File, Failure::None},
             {"a Word document", ExistingOutput::KeepWordDocument, Appears::WordDocument, Failure::OutputIsWordDocument},
             {"a file, kept", ExistingOutput::Keep, Appears::File, Failure::OutputExists},
             {"a Word document, replaced", ExistingOutput::Replace, Appears::WordDocument, Failure::None},
             {"a folder", ExistingOutput::Replace, Appears::Folder, Failure::OutputUnwritable},
         }) {
        TemporaryFolder folder("appearing-output");
        std::string output = folder.path("out");
        PendingOutput pending;
        ASSERT_TRUE(beginOutput(output.c_str(), c.existing, pending, true).succeeded()) << c.what;
        if (c.appears == Appears::File) {
            writeFile(output, std::vector<uint8_t>(earlier.begin(), earlier.end()));
            ::chmod(output.c_str(), 0640);
        }
        if (c.appears == Appears::WordDocument) writeFile(output, word);
        if (c.appears == Appears::Folder) fs::create_directory(output);
        std::fputs(mine.c_str(), pending.file);
        ConversionResult result = commitOutput(pending, c.existing != ExistingOutput::Keep);
        EXPECT_EQ(result.failure, c.failure) << c.what;
        std::string kept = c.appears == Appears::File ? earlier : wordText;
        std::string expected = c.failure != Failure::None ? kept : mine;
        if (c.appears != Appears::Folder) {
            EXPECT_EQ(readFile(output), expected) << c.what;
        }
        struct stat status {};
        if (c.appears == Appears::File && result.succeeded() && ::stat(output.c_str(), &status) == 0) {
            EXPECT_EQ(status.st_mode & 0777, 0640u) << c.what << ": the replaced file's permissions";
        }
        if (c.appears == Appears::Nothing && ::stat(output.c_str(), &status) == 0) {
            mode_t mask = ::umask(0);
            ::umask(mask);
            EXPECT_EQ(status.st_mode & 0777, 0666u & ~mask) << c.what << ": a new file's permissions";
        }
        size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.root())) ++entries;
        EXPECT_EQ(entries, 1u) << c.what << ": a temporary file left";
    }
}

constexpr std::array EveryFormat{OutputFormat::Rtf, OutputFormat::RtfFaithful, OutputFormat::Text, OutputFormat::Html,
                                 OutputFormat::Markdown};

// Every format goes through the same opening, header check and output:
// whatever fails, an earlier output stays as it was, no temporary file is
// left, and the reason is the same.
TEST_F(FileSafety, EveryFormatFailsAlikeAndLeavesAnEarlierOutputAsItWas) {
    std::vector<uint8_t> sample = sampleDocument();
    std::vector<uint8_t> cut(sample.begin(), sample.begin() + 200);
    std::vector<uint8_t> notWord(40, 'x');
    std::string earlier = "an earlier, good conversion";
    struct Case {
        const char* name;
        const std::vector<uint8_t>* input;  // null: read from a stream that fails half-way
        const char* output;
        ExistingOutput existing;
        Failure failure;
    };
    for (OutputFormat format : EveryFormat) {
        for (const Case& c : std::initializer_list<Case>{
                 {"not a Word document", &notWord, "out", ExistingOutput::Replace, Failure::NotWordDocument},
                 {"cut short", &cut, "out", ExistingOutput::Replace, Failure::DocumentDamaged},
                 {"read error", nullptr, "out", ExistingOutput::Replace, Failure::InputUnreadable},
                 {"output kept", &sample, "out", ExistingOutput::Keep, Failure::OutputExists},
                 {"output is the input", &sample, "doc", ExistingOutput::Replace, Failure::SameFile},
             }) {
            std::string trace = std::string(outputFormatName(format)) + ", " + c.name;
            writeFile(path("out"), std::vector<uint8_t>(earlier.begin(), earlier.end()));
            std::string input = path("doc");
            std::string output = path(c.output);
            ConversionRequest request;
            request.outputPath = output.c_str();
            request.existingOutput = c.existing;
            request.diagnostics = nullptr;
            FailingInput failing(sample, sample.size() / 2);
            if (c.input != nullptr) {
                writeDocument(*c.input);
                request.inputPath = input.c_str();
            } else {
                request.inputStream = failing.file();
            }
            ConversionResult result = convertRequestTo(format, request);
            EXPECT_EQ(result.failure, c.failure) << trace;
            EXPECT_FALSE(result.partialOutputKept) << trace;
            EXPECT_TRUE(readFile(path("out")) == earlier) << trace;
            if (c.input != nullptr) {
                EXPECT_TRUE(readFile(input) == std::string(c.input->begin(), c.input->end())) << trace;
            }
            for (const auto& entry : fs::directory_iterator(dir_)) {
                EXPECT_NE(entry.path().filename().string().rfind(".zentoro-", 0), 0u) << trace << ": " << entry.path();
            }
        }
    }
}

// A stream that is no Word document is told of on the request's
// diagnostics, whatever the format, and gets no output.
TEST(ConversionRequest, EveryFormatTellsAHeaderMismatchToTheRequestsDiagnostics) {
    std::string notWord = "a letter, not a document";
    for (OutputFormat format : EveryFormat) {
        std::FILE* input = std::tmpfile();
        std::FILE* output = std::tmpfile();
        std::FILE* diagnostics = std::tmpfile();
        ASSERT_TRUE(input != nullptr && output != nullptr && diagnostics != nullptr);
        std::fputs(notWord.c_str(), input);
        std::rewind(input);
        ConversionRequest request;
        request.inputStream = input;
        request.outputStream = output;
        request.diagnostics = diagnostics;
        EXPECT_EQ(convertRequestTo(format, request).failure, Failure::NotWordDocument) << outputFormatName(format);
        EXPECT_EQ(std::ftell(output), 0) << outputFormatName(format);
        std::rewind(diagnostics);
        char told[128] = {};
        EXPECT_NE(std::fgets(told, sizeof told, diagnostics), nullptr) << outputFormatName(format);
        EXPECT_EQ(std::string(told), "This isn't an EPOC file - exiting program.\n") << outputFormatName(format);
        for (std::FILE* file : {input, output, diagnostics}) std::fclose(file);
    }
}

// A document at a path and the same bytes in memory convert alike, in
// every format (the faithful RTF from a file streams its body), for a small
// document and for one large enough to be written on a second thread.
TEST_F(FileSafety, EveryFormatWritesAFileAsItWritesTheSameBytesInMemory) {
    std::vector<uint8_t> large = scaledDocument(BackgroundWritingFrom / 2);
    ASSERT_GE(large.size(), BackgroundWritingFrom);
    WriteOptions options;
    options.documentName = "doc";
    options.picturesAsDataUris = true;
    for (const std::vector<uint8_t>& document : {sampleDocument(), large}) {
        writeDocument(document);
        for (OutputFormat format : EveryFormat) {
            std::string inMemory;
            ASSERT_TRUE(convertDocumentBytesToString(format, document.data(), document.size(), inMemory, options).succeeded());
            ConversionResult result = convertDocumentTo(format, path("doc").c_str(), path("out").c_str(), options);
            ASSERT_TRUE(result.succeeded()) << outputFormatName(format) << ": " << describeFailure(result.failure);
            EXPECT_TRUE(readFile(path("out")) == inMemory) << outputFormatName(format) << ", " << document.size() << " bytes";
        }
    }
}

// Bytes the system refuses to store fail the conversion with its reason,
// whether they were written on the conversion's thread or a second one.
TEST_F(FileSafety, OutputThatCannotBeStoredFailsWithTheSystemsReason) {
    if (!makeFullDevice(path("full"))) GTEST_SKIP() << "cannot make a device in the test's folder (needs root)";
    for (const std::vector<uint8_t>& document : {sampleDocument(), scaledDocument(BackgroundWritingFrom / 2)}) {
        writeDocument(document);
        for (OutputFormat format : {OutputFormat::Rtf, OutputFormat::RtfFaithful}) {
            ConversionResult result = convertDocumentTo(format, path("doc").c_str(), path("full").c_str());
            EXPECT_EQ(result.failure, Failure::OutputUnwritable) << outputFormatName(format) << ", " << document.size();
            EXPECT_EQ(result.systemError, ENOSPC) << outputFormatName(format) << ", " << document.size();
        }
    }
}

// Something put where a document was expected: a FIFO is refused at once
// rather than waited on, a folder is refused, and a symbolic link is not
// followed when the caller found a plain file there.
TEST_F(FileSafety, InputsThatAreNotPlainFilesAreRefusedWithoutWaiting) {
    writeDocument(richDocument());
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    fs::create_directories(path("folder"));
    fs::create_symlink("doc", path("link"));
    struct Case {
        const char* input;
        bool followLinks;
        Failure failure;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"fifo", true, Failure::InputNotRegularFile},
             {"folder", true, Failure::InputNotRegularFile},
             {"link", false, Failure::InputUnopenable},
             {"link", true, Failure::None},
             {"absent", true, Failure::InputUnopenable},
         }) {
        std::string input = path(c.input);
        std::string output = path("out.rtf");
        ConversionRequest request;
        request.inputPath = input.c_str();
        request.followInputLink = c.followLinks;
        request.outputPath = output.c_str();
        EXPECT_EQ(runConversion(request).failure, c.failure) << c.input << " " << c.followLinks;
        EXPECT_EQ(fs::exists(output), c.failure == Failure::None) << c.input << " " << c.followLinks;
        fs::remove(output);
    }
}

// A file that stores nothing and says nothing of why: the background
// writer reports the failed write as an input/output error, never as none.
TEST(BackgroundWriting, AWriteThatFailsWithoutAReasonIsAnInputOutputError) {
    cookie_io_functions_t io{nullptr, [](void*, const char*, size_t) -> ssize_t { return 0; }, nullptr, nullptr};
    std::FILE* file = fopencookie(nullptr, "w", io);
    ASSERT_NE(file, nullptr);
    BackgroundWriter writer;
    std::FILE* stream = writer.begin(file);
    const std::string block(BackgroundWritingFrom, 'x');
    std::fwrite(block.data(), 1, block.size(), stream);
    EXPECT_EQ(writer.finish(), EIO);
    std::fclose(file);
}

}  // namespace
}  // namespace zentoro
