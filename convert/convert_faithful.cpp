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

size_t fileSizeHint(const char* path) {
    std::error_code error;
    auto size = std::filesystem::file_size(std::filesystem::path(path), error);
    return error ? 0 : static_cast<size_t>(std::min<std::uintmax_t>(size, MaxInputSize));
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

// Where the RTF goes: a file, or a string.
struct Destination {
    std::FILE* file = nullptr;
    std::string* memory = nullptr;
    const char* path = nullptr;  // the file to create once the document has been read
};

// Reads the document, writing each body paragraph as it is read, and then
// the whole RTF; the output is created only once the document has been read
// whole, so that a document that cannot be read leaves none behind.
ConversionResult convertBytes(std::span<const unsigned char> bytes, Destination destination) {
    try {
        bytes = bytes.first(std::min(bytes.size(), MaxInputSize));
        uint64_t limit = outputLimitFor(bytes.size());
        Document document;
        auto stream = std::make_unique<FaithfulRtfStream>();
        // Real documents' RTF is under twice their size; a longer one grows the buffer.
        beginFaithfulRtf(*stream, limit, 2 * bytes.size());
        ConversionResult read = readDocumentStreaming(bytes, document, [&](const Paragraph& paragraph) {
            writeFaithfulBodyParagraph(*stream, document, paragraph);
        });
        if (!read.succeeded()) return read;
        if (stream->bodySink.limitReached) return {Failure::LimitReached};
        File output;
        if (destination.path != nullptr) {
            output.reset(std::fopen(destination.path, "wb"));
            if (!output) return {Failure::OutputUnwritable, errno};
            destination.file = output.get();
        }
        auto sink = std::make_unique<ByteSink>();
        sink->file = destination.file;
        sink->memory = destination.memory;
        sink->sizeLimit = limit;
        bool written = finishFaithfulRtf(*stream, document, *sink);
        if (sink->limitReached) return {Failure::LimitReached};
        if (!written) return {Failure::OutputUnwritable, destination.file != nullptr ? errno : 0};
        if (output && std::fclose(output.release()) != 0) return {Failure::OutputUnwritable, errno};
        return {};
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
            // Room for the read that finds the end too, so that the buffer never grows by copying.
            bytes.reserve(fileSizeHint(inputPath) + ChunkSize);
            if (!readWholeFile(input.get(), bytes)) return {Failure::InputUnreadable, errno};
        } catch (const std::bad_alloc&) {
            return {Failure::OutOfMemory};
        }
    }
    Destination destination;
    destination.path = outputPath;
    return convertBytes(bytes, destination);
}

ConversionResult convertDocumentFaithfulBytes(const unsigned char* data, size_t size, std::FILE* output) {
    Destination destination;
    destination.file = output;
    return convertBytes(std::span<const unsigned char>(data, size), destination);
}

ConversionResult convertDocumentFaithfulToString(const unsigned char* data, size_t size, std::string& rtf) {
    Destination destination;
    destination.memory = &rtf;
    return convertBytes(std::span<const unsigned char>(data, size), destination);
}

}  // namespace zentoro
