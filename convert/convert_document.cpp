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
#include "convert/document_bytes.h"
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

void setLimits(ConversionState& s) {
    s.output.sizeLimit = outputLimitFor(s.input.size);
    s.input.readLimit = readLimitFor(s.input.size);
}

// False when the output could not be written or a limit stopped the translation.
bool finishTranslation(ConversionState& s) { return finishOutput(s.output) && !s.input.readLimitExceeded; }

void translateState(void* state) { translateSections(*static_cast<ConversionState*>(state)); }

// Translates a document whose header has passed the check.
bool translateDocument(ConversionState& s) {
    setLimits(s);
    translateSections(s);
    return finishTranslation(s);
}

}  // namespace

int convertStreams(std::FILE* input, std::FILE* output, size_t sizeHint) {
    auto state = std::make_unique<ConversionState>();
    ConversionState& s = *state;
    s.output.file = output;

    DocumentBytes document;
    bool mapped = document.map(input);
    if (!mapped) document.read(input, WordHeaderCheckSize);
    InputStream header{document.bytes().data(), document.bytes().size(), 0};
    if (!checkHeaderUids(header)) return 1;
    if (!mapped) document.read(input, MaxDocumentBytes, sizeHint);
    s.input = InputStream{document.bytes().data(), document.bytes().size(), 0};
    // What could be read is still converted, but a document that could not
    // be read to its end, or whose file shrank under the mapping, is not
    // reported as converted.
    setLimits(s);
    bool readWhole = readGuarded(document, translateState, &s);
    bool finished = finishTranslation(s);
    return finished && readWhole && document.readWhole() ? 0 : 1;
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
