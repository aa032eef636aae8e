// Conversions through the document model: the document read whole, then
// written by the writer of the chosen output.
#include "convert/convert_to_format.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <new>
#include <span>
#include <system_error>
#include <vector>

#include "convert/zentoro.h"
#include "model/read_document.h"
#include "reader/conversion_limits.h"
#include "reader/header_check.h"
#include "write/faithful_rtf.h"
#include "write/html_writer.h"
#include "write/markdown_writer.h"
#include "write/text_writer.h"

namespace zentoro {

namespace {

namespace fs = std::filesystem;

// Positions in a document are 32-bit, so nothing past this is ever read.
constexpr size_t MaxInputSize = 0x7FFFFFFF;
constexpr size_t ChunkSize = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool namesSameFile(const char* a, const char* b) {
    std::error_code error;
    return fs::equivalent(fs::path(a), fs::path(b), error);
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

bool hasWordHeader(std::span<const unsigned char> bytes) {
    InputStream header{bytes.data(), bytes.size(), 0};
    return hasWordHeaderUids(header);
}

bool writeModel(OutputFormat format, const Document& document, const WriteOptions& options, ByteSink& sink) {
    switch (format) {
        case OutputFormat::Rtf:
        case OutputFormat::RtfFaithful: return writeFaithfulRtf(document, sink);
        case OutputFormat::Text: return writeText(document, options, sink);
        case OutputFormat::Html: return writeHtml(document, options, sink);
        case OutputFormat::Markdown: return writeMarkdown(document, options, sink);
    }
    return false;
}

// Writes what the model holds; the output may grow no more than the
// streaming conversion's would.
ConversionResult writeDocument(OutputFormat format, const Document& document, size_t inputSize,
                               const WriteOptions& options, std::FILE* file, std::string* memory) {
    auto sink = std::make_unique<ByteSink>();
    sink->file = file;
    sink->memory = memory;
    sink->sizeLimit = outputLimitFor(inputSize);
    errno = 0;
    if (writeModel(format, document, options, *sink)) return {};
    if (sink->limitReached) return {Failure::LimitReached};
    return {Failure::OutputUnwritable, errno};
}

// The streaming RTF translation, with the reason for a failure told apart:
// the header is checked first, so that a later failure is the output's or
// the limits'.
ConversionResult writeStreamingRtf(std::span<const unsigned char> bytes, std::FILE* file) {
    if (convertDocumentBytes(bytes.data(), bytes.size(), file) == 0) return {};
    if (file != nullptr && std::ferror(file)) return {Failure::OutputUnwritable, errno};
    return {Failure::LimitReached};
}

// Reads the model (unless the format is the streaming RTF), then writes.
ConversionResult convertRead(OutputFormat format, std::span<const unsigned char> bytes, const WriteOptions& options,
                             std::FILE* file, std::string* memory) {
    if (!hasWordHeader(bytes)) return {Failure::NotWordDocument};
    if (format == OutputFormat::Rtf) {
        if (memory == nullptr) return writeStreamingRtf(bytes, file);
        // The streaming translation writes to a file only.
        File scratch(std::tmpfile());
        if (!scratch) return {Failure::OutputUnwritable, errno};
        ConversionResult result = writeStreamingRtf(bytes, scratch.get());
        std::rewind(scratch.get());
        char buffer[ChunkSize];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, scratch.get())) > 0) memory->append(buffer, got);
        return result;
    }
    Document document;
    ConversionResult read = readDocument(bytes, document);
    if (!read.succeeded()) return read;
    return writeDocument(format, document, bytes.size(), options, file, memory);
}

ConversionResult convertBytes(OutputFormat format, std::span<const unsigned char> bytes, const WriteOptions& options,
                              std::FILE* file, std::string* memory) {
    try {
        return convertRead(format, bytes.first(std::min(bytes.size(), MaxInputSize)), options, file, memory);
    } catch (const std::bad_alloc&) {
        return {Failure::OutOfMemory};
    }
}

// What the writers need to know of the files: the document's name, and
// where Markdown's pictures go (beside the output, named after it).
WriteOptions optionsForFiles(OutputFormat format, const char* inputPath, const char* outputPath,
                             const WriteOptions& options) {
    WriteOptions filled = options;
    if (filled.documentName.empty()) filled.documentName = fs::path(inputPath).filename().string();
    if (format == OutputFormat::Markdown && !filled.picturesAsDataUris && filled.pictureFolder.empty()) {
        fs::path output(outputPath);
        filled.pictureFolder = output.has_parent_path() ? output.parent_path().string() : ".";
        if (filled.pictureNamePrefix.empty()) {
            filled.pictureNamePrefix = output.extension() == ".md" ? output.stem().string() : output.filename().string();
        }
    }
    return filled;
}

ConversionResult convertFiles(OutputFormat format, const char* inputPath, const char* outputPath,
                              const WriteOptions& options) {
    std::vector<unsigned char> bytes;
    {
        File input(std::fopen(inputPath, "rb"));
        if (!input) return {Failure::InputUnreadable, errno};
        if (!readWholeFile(input.get(), bytes)) return {Failure::InputUnreadable, errno};
    }
    std::span<const unsigned char> document(bytes.data(), std::min(bytes.size(), MaxInputSize));
    if (!hasWordHeader(document)) return {Failure::NotWordDocument};
    // The model is read before the output is created, so that a document
    // that cannot be read leaves no output behind.
    Document model;
    if (format != OutputFormat::Rtf) {
        ConversionResult read = readDocument(document, model);
        if (!read.succeeded()) return read;
    }
    File output(std::fopen(outputPath, "wb"));
    if (!output) return {Failure::OutputUnwritable, errno};
    ConversionResult written =
        format == OutputFormat::Rtf
            ? writeStreamingRtf(document, output.get())
            : writeDocument(format, model, bytes.size(), optionsForFiles(format, inputPath, outputPath, options),
                            output.get(), nullptr);
    if (std::fclose(output.release()) != 0 && written.succeeded()) return {Failure::OutputUnwritable, errno};
    return written;
}

}  // namespace

ConversionResult convertDocumentTo(OutputFormat format, const char* inputPath, const char* outputPath,
                                   const WriteOptions& options) {
    if (inputPath == nullptr || outputPath == nullptr) return {Failure::InputUnreadable};
    if (namesSameFile(inputPath, outputPath)) return {Failure::SameFile};
    try {
        return convertFiles(format, inputPath, outputPath, options);
    } catch (const std::bad_alloc&) {
        return {Failure::OutOfMemory};
    }
}

ConversionResult convertDocumentBytesTo(OutputFormat format, const unsigned char* data, size_t size,
                                        std::FILE* output, const WriteOptions& options) {
    return convertBytes(format, std::span<const unsigned char>(data, size), options, output, nullptr);
}

ConversionResult convertDocumentBytesToString(OutputFormat format, const unsigned char* data, size_t size,
                                              std::string& written, const WriteOptions& options) {
    return convertBytes(format, std::span<const unsigned char>(data, size), options, nullptr, &written);
}

}  // namespace zentoro
