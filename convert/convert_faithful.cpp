// The faithful conversion: the document read whole into the model, then
// written by the faithful RTF writer.
#include <cerrno>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

#include "convert/zentoro.h"
#include "model/read_document.h"
#include "reader/conversion_limits.h"
#include "write/faithful_rtf.h"

namespace zentoro {

namespace {

// Positions in a document are 32-bit, so nothing past this is ever read.
constexpr size_t MaxInputSize = 0x7FFFFFFF;
constexpr size_t ChunkSize = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool namesSameFile(const char* a, const char* b) {
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(a), std::filesystem::path(b), error);
}

// The whole file, up to MaxInputSize bytes; false on a read error.
bool readWholeFile(std::FILE* file, std::vector<unsigned char>& bytes) {
    while (bytes.size() < MaxInputSize) {
        size_t want = std::min(ChunkSize, MaxInputSize - bytes.size());
        size_t had = bytes.size();
        bytes.resize(had + want);
        size_t got = std::fread(bytes.data() + had, 1, want, file);
        bytes.resize(had + got);
        if (got < want) break;
    }
    return std::ferror(file) == 0;
}

ConversionResult writeDocument(const Document& document, size_t inputSize, std::FILE* file, std::string* memory) {
    auto sink = std::make_unique<ByteSink>();
    sink->file = file;
    sink->memory = memory;
    sink->sizeLimit = outputLimitFor(inputSize);
    if (writeFaithfulRtf(document, *sink)) return {};
    if (sink->limitReached) return {Failure::LimitReached};
    return {Failure::OutputUnwritable, file != nullptr ? errno : 0};
}

ConversionResult convertBytes(std::span<const unsigned char> bytes, std::FILE* file, std::string* memory) {
    try {
        Document document;
        ConversionResult read = readDocument(bytes.first(std::min(bytes.size(), MaxInputSize)), document);
        if (!read.succeeded()) return read;
        return writeDocument(document, bytes.size(), file, memory);
    } catch (const std::bad_alloc&) {
        return {Failure::OutOfMemory};
    }
}

}  // namespace

ConversionResult convertDocumentFaithful(const char* inputPath, const char* outputPath) {
    if (inputPath == nullptr || outputPath == nullptr) return {Failure::InputUnreadable};
    if (namesSameFile(inputPath, outputPath)) return {Failure::SameFile};
    std::vector<unsigned char> bytes;
    {
        File input(std::fopen(inputPath, "rb"));
        if (!input) return {Failure::InputUnreadable, errno};
        try {
            if (!readWholeFile(input.get(), bytes)) return {Failure::InputUnreadable, errno};
        } catch (const std::bad_alloc&) {
            return {Failure::OutOfMemory};
        }
    }
    // The document is read whole before the output is created, so that a
    // document that cannot be read leaves no output behind.
    try {
        Document document;
        ConversionResult read = readDocument(bytes, document);
        if (!read.succeeded()) return read;
        File output(std::fopen(outputPath, "wb"));
        if (!output) return {Failure::OutputUnwritable, errno};
        ConversionResult written = writeDocument(document, bytes.size(), output.get(), nullptr);
        if (std::fclose(output.release()) != 0 && written.succeeded()) return {Failure::OutputUnwritable, errno};
        return written;
    } catch (const std::bad_alloc&) {
        return {Failure::OutOfMemory};
    }
}

ConversionResult convertDocumentFaithfulBytes(const unsigned char* data, size_t size, std::FILE* output) {
    return convertBytes(std::span<const unsigned char>(data, size), output, nullptr);
}

ConversionResult convertDocumentFaithfulToString(const unsigned char* data, size_t size, std::string& rtf) {
    return convertBytes(std::span<const unsigned char>(data, size), nullptr, &rtf);
}

}  // namespace zentoro
