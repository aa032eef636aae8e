// The two ways into a conversion: from a file, and from bytes in memory.
// Both check the header and then translate the sections the same way.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

#include "reader/conversion_limits.h"
#include "convert/convert_streams.h"
#include "convert/native_path.h"
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
    return std::filesystem::equivalent(pathFromNative(a), pathFromNative(b), error);
}

size_t fileSizeHint(const char* path) {
    std::error_code error;
    auto size = std::filesystem::file_size(pathFromNative(path), error);
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

// Translates a document whose header has passed the check; fails when the
// output could not be written or a limit stopped the translation.
bool translateDocument(ConversionState& s) {
    s.output.sizeLimit = outputLimitFor(s.input.size);
    s.input.readLimit = readLimitFor(s.input.size);
    translateSections(s);
    return finishOutput(s.output) && !s.input.readLimitExceeded;
}

}  // namespace

int convertStreams(std::FILE* input, std::FILE* output, size_t sizeHint) {
    auto state = std::make_unique<ConversionState>();
    ConversionState& s = *state;
    s.output.file = output;

    std::vector<unsigned char> bytes(WordHeaderCheckSize);
    bytes.resize(std::fread(bytes.data(), 1, WordHeaderCheckSize, input));
    InputStream header{bytes.data(), bytes.size(), 0};
    if (!checkHeaderUids(header)) return 1;

    // Room for the read that finds the end too: growing the buffer there
    // would copy the whole document and double the peak memory.
    bytes.reserve(std::max(sizeHint, bytes.size()) + ChunkSize);
    readRest(input, bytes);
    // What could be read is still converted, but a document that could not
    // be read to its end is not reported as converted.
    bool readWhole = std::ferror(input) == 0;
    s.input = InputStream{bytes.data(), bytes.size(), 0};
    return translateDocument(s) && readWhole ? 0 : 1;
}

int convertDocument(const char* inputPath, const char* outputPath) {
    if (inputPath == nullptr || outputPath == nullptr) return 1;
    // Opening the output would truncate the very document being read.
    if (namesSameFile(inputPath, outputPath)) return 1;
    File input(std::fopen(inputPath, "rb"));
    if (!input) return 1;
    File output(std::fopen(outputPath, "wb"));
    if (!output) return 1;
    int result = 1;
    try {
        result = convertStreams(input.get(), output.get(), fileSizeHint(inputPath));
    } catch (const std::bad_alloc&) {
        result = 1;
    }
    if (std::fclose(output.release()) != 0) result = 1;
    return result;
}

int convertDocumentBytes(const unsigned char* data, size_t size, std::FILE* output) {
    try {
        auto state = std::make_unique<ConversionState>();
        ConversionState& s = *state;
        s.output.file = output;
        s.input = InputStream{data, std::min(size, MaxInputSize), 0};
        if (!checkHeaderUids(s.input)) return 1;
        return translateDocument(s) ? 0 : 1;
    } catch (const std::bad_alloc&) {
        return 1;
    }
}

}  // namespace zentoro
