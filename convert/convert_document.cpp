// The two ways into a conversion: from a file, and from bytes in memory.
// Both check the header and then translate the sections the same way.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

#include "reader/conversion_limits.h"
#include "convert/convert_streams.h"
#include "reader/header_check.h"
#include "rtf/section_dispatch.h"
#include "convert/zentoro.h"

namespace zentoro {

namespace {

// Positions in a document are signed 32-bit, so nothing past this is ever read.
constexpr size_t MaxInputSize = 0x7FFFFFFF;

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

constexpr size_t ChunkSize = 64 * 1024;

// Appends the rest of the file to `bytes`, up to MaxInputSize bytes in all.
// A read error ends the input there; the stream's error flag records it.
void readRest(std::FILE* file, std::vector<unsigned char>& bytes) {
    while (bytes.size() < MaxInputSize) {
        size_t want = std::min(ChunkSize, MaxInputSize - bytes.size());
        size_t had = bytes.size();
        bytes.resize(had + want);
        size_t got = std::fread(bytes.data() + had, 1, want, file);
        bytes.resize(had + got);
        if (got < want) break;
    }
}

ConversionResult failedWith(Failure failure, int systemError = 0) { return ConversionResult{failure, systemError}; }

// Translates a document whose header has passed the check. What could be
// translated stays in the output whatever the result. It fails when a limit
// stopped the translation, the output could not be written, or the
// document is damaged: a read fell at or past its end, a count ran past it,
// or no style section opened the RTF document.
ConversionResult translateDocument(ConversionState& s) {
    s.output.sizeLimit = outputLimitFor(s.input.size);
    s.input.readLimit = readLimitFor(s.input.size);
    translateSections(s);
    bool written = finishOutput(s.output);
    if (s.input.readLimitExceeded || s.output.bytesWritten > s.output.sizeLimit) return failedWith(Failure::LimitReached);
    if (!written) return failedWith(Failure::OutputUnwritable, errno);
    if (s.input.endedEarly || !s.styleSectionSeen) return failedWith(Failure::DocumentDamaged);
    return {};
}

}  // namespace

ConversionResult convertStreamsWithResult(std::FILE* input, std::FILE* output, size_t sizeHint) {
    auto state = std::make_unique<ConversionState>();
    ConversionState& s = *state;
    s.output.file = output;

    std::vector<unsigned char> bytes(WordHeaderCheckSize);
    bytes.resize(std::fread(bytes.data(), 1, WordHeaderCheckSize, input));
    if (std::ferror(input)) return failedWith(Failure::InputUnreadable, errno);
    InputStream header{bytes.data(), bytes.size(), 0};
    if (!checkHeaderUids(header)) return failedWith(Failure::NotWordDocument);

    // Room for the read that finds the end too: growing the buffer there
    // would copy the whole document and double the peak memory.
    bytes.reserve(std::max(sizeHint, bytes.size()) + ChunkSize);
    readRest(input, bytes);
    // What could be read is still converted, but a document that could not
    // be read to its end is not reported as converted.
    int readError = std::ferror(input) ? errno : 0;
    s.input = InputStream{bytes.data(), bytes.size(), 0};
    ConversionResult result = translateDocument(s);
    if (readError != 0 || std::ferror(input)) return failedWith(Failure::InputUnreadable, readError);
    return result;
}

int convertStreams(std::FILE* input, std::FILE* output, size_t sizeHint) {
    return convertStreamsWithResult(input, output, sizeHint).succeeded() ? 0 : 1;
}

ConversionResult convertDocumentWithResult(const char* inputPath, const char* outputPath) {
    if (inputPath == nullptr || outputPath == nullptr) return failedWith(Failure::InputUnreadable, EINVAL);
    // Opening the output would truncate the very document being read.
    if (namesSameFile(inputPath, outputPath)) return failedWith(Failure::SameFile);
    File input(std::fopen(inputPath, "rb"));
    if (!input) return failedWith(Failure::InputUnreadable, errno);
    File output(std::fopen(outputPath, "wb"));
    if (!output) return failedWith(Failure::OutputUnwritable, errno);
    ConversionResult result;
    try {
        result = convertStreamsWithResult(input.get(), output.get(), fileSizeHint(inputPath));
    } catch (const std::bad_alloc&) {
        result = failedWith(Failure::OutOfMemory);
    }
    if (std::fclose(output.release()) != 0 && result.succeeded()) result = failedWith(Failure::OutputUnwritable, errno);
    return result;
}

int convertDocument(const char* inputPath, const char* outputPath) {
    return convertDocumentWithResult(inputPath, outputPath).succeeded() ? 0 : 1;
}

ConversionResult convertDocumentBytesWithResult(const unsigned char* data, size_t size, std::FILE* output) {
    try {
        auto state = std::make_unique<ConversionState>();
        ConversionState& s = *state;
        s.output.file = output;
        s.input = InputStream{data, std::min(size, MaxInputSize), 0};
        if (!checkHeaderUids(s.input)) return failedWith(Failure::NotWordDocument);
        return translateDocument(s);
    } catch (const std::bad_alloc&) {
        return failedWith(Failure::OutOfMemory);
    }
}

int convertDocumentBytes(const unsigned char* data, size_t size, std::FILE* output) {
    return convertDocumentBytesWithResult(data, size, output).succeeded() ? 0 : 1;
}

}  // namespace zentoro
