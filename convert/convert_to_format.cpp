// Conversions through the document model: the document read whole, then
// written by the writer of the chosen output.
#include "convert/convert_to_format.h"
#include "convert/native_path.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <new>
#include <span>
#include <system_error>
#include <vector>

#include "convert/input_file.h"
#include "convert/output_file.h"
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
    return fs::equivalent(pathFromNative(a), pathFromNative(b), error);
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

ConversionResult writeStreamingRtf(std::span<const unsigned char> bytes, std::FILE* file) {
    return convertDocumentBytesWithResult(bytes.data(), bytes.size(), file);
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

// The document's bytes, from its file or its stream.
ConversionResult readInput(const ConversionRequest& request, std::vector<unsigned char>& bytes) {
    if (request.inputPath == nullptr) {
        if (request.inputStream == nullptr || !readWholeFile(request.inputStream, bytes)) {
            return {Failure::InputUnreadable, errno};
        }
        return {};
    }
    std::FILE* opened = nullptr;
    size_t size = 0;
    ConversionResult open = openInputFile(request.inputPath, request.followInputLink, opened, size);
    if (!open.succeeded()) return open;
    File input(opened);
    bytes.reserve(std::min(size, MaxInputSize));
    if (!readWholeFile(input.get(), bytes)) return {Failure::InputUnreadable, errno};
    return {};
}

// What the writers need to know of the request: the document's name, and
// where Markdown's pictures go (beside an output file, named after it; into
// the text itself when the output is a stream).
WriteOptions optionsFor(OutputFormat format, const ConversionRequest& request, const WriteOptions& options) {
    WriteOptions filled = options;
    if (filled.documentName.empty() && request.inputPath != nullptr) {
        filled.documentName = nativeFromPath(pathFromNative(request.inputPath).filename());
    }
    if (format != OutputFormat::Markdown || filled.picturesAsDataUris || !filled.pictureFolder.empty()) return filled;
    if (request.outputPath == nullptr) {
        filled.picturesAsDataUris = true;
        return filled;
    }
    fs::path output = pathFromNative(request.outputPath);
    filled.pictureFolder = output.has_parent_path() ? nativeFromPath(output.parent_path()) : ".";
    if (filled.pictureNamePrefix.empty()) {
        filled.pictureNamePrefix = nativeFromPath(output.extension() == ".md" ? output.stem() : output.filename());
    }
    return filled;
}

ConversionResult convertRequestThroughModel(OutputFormat format, const ConversionRequest& request,
                                            const WriteOptions& options) {
    bool hasOutput = request.outputPath != nullptr || request.outputStream != nullptr;
    if (!hasOutput) return {Failure::InputUnopenable, EINVAL};
    if (request.inputPath != nullptr && request.outputPath != nullptr &&
        namesSameFile(request.inputPath, request.outputPath)) {
        return {Failure::SameFile};
    }
    std::vector<unsigned char> bytes;
    ConversionResult read = readInput(request, bytes);
    if (!read.succeeded()) return read;
    std::span<const unsigned char> document(bytes.data(), std::min(bytes.size(), MaxInputSize));
    if (!hasWordHeader(document)) return {Failure::NotWordDocument};
    // The model is read before the output is begun, so that a document
    // that cannot be read leaves no output behind.
    Document model;
    read = readDocument(document, model);
    if (!read.succeeded()) return read;
    WriteOptions filled = optionsFor(format, request, options);
    if (request.outputPath == nullptr) {
        return writeDocument(format, model, bytes.size(), filled, request.outputStream, nullptr);
    }
    PendingOutput output;
    ConversionResult begun = beginOutput(request.outputPath, request.existingOutput, output);
    if (!begun.succeeded()) return begun;
    ConversionResult written = writeDocument(format, model, bytes.size(), filled, output.file, nullptr);
    if (!written.succeeded()) {
        discardOutput(output);
        return written;
    }
    return commitOutput(output, true);
}

}  // namespace

ConversionResult convertRequestTo(OutputFormat format, const ConversionRequest& request, const WriteOptions& options) {
    if (format == OutputFormat::Rtf) return runConversion(request);
    try {
        return convertRequestThroughModel(format, request, options);
    } catch (const std::bad_alloc&) {
        return {Failure::OutOfMemory};
    }
}

ConversionResult convertDocumentTo(OutputFormat format, const char* inputPath, const char* outputPath,
                                   const WriteOptions& options) {
    if (inputPath == nullptr || outputPath == nullptr) return {Failure::InputUnreadable};
    ConversionRequest request;
    request.inputPath = inputPath;
    request.outputPath = outputPath;
    return convertRequestTo(format, request, options);
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
