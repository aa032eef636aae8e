// The entry points that name the output format: documents at a path go the
// one road of convertRequestTo; documents in memory go straight to the
// format's writing.
#include "convert/convert_to_format.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <span>

#include "convert/document_bytes.h"
#include "convert/model_conversion.h"
#include "convert/zentoro.h"
#include "reader/header_check.h"

namespace zentoro {

namespace {

constexpr size_t CopyChunkSize = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool hasWordHeader(std::span<const unsigned char> bytes) {
    InputStream header{bytes.data(), bytes.size(), 0};
    return hasWordHeaderUids(header);
}

// The streaming translation writes to a file only, so a string receives
// what it wrote to a scratch file.
ConversionResult translateToString(std::span<const unsigned char> bytes, std::string& memory) {
    File scratch(std::tmpfile());
    if (!scratch) return {Failure::OutputUnwritable, errno};
    ConversionResult result = convertDocumentBytesWithResult(bytes.data(), bytes.size(), scratch.get());
    std::rewind(scratch.get());
    char buffer[CopyChunkSize];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, scratch.get())) > 0) memory.append(buffer, got);
    return result;
}

ConversionResult convertRead(OutputFormat format, std::span<const unsigned char> bytes, const WriteOptions& options,
                             std::FILE* file, std::string* memory) {
    if (!hasWordHeader(bytes)) return {Failure::NotWordDocument};
    if (format == OutputFormat::Rtf) {
        if (memory == nullptr) return convertDocumentBytesWithResult(bytes.data(), bytes.size(), file);
        return translateToString(bytes, *memory);
    }
    ModelConversion conversion;
    conversion.format = format;
    conversion.options = options;
    ConversionResult read = readModel(bytes, conversion);
    if (!read.succeeded() && !read.salvaged()) return read;
    ConversionResult written = writeModel(conversion, file, memory);
    return written.succeeded() ? read : written;
}

ConversionResult convertBytes(OutputFormat format, std::span<const unsigned char> bytes, const WriteOptions& options,
                              std::FILE* file, std::string* memory) {
    try {
        return convertRead(format, bytes.first(std::min(bytes.size(), MaxDocumentBytes)), options, file, memory);
    } catch (const std::bad_alloc&) {
        return {Failure::OutOfMemory};
    }
}

}  // namespace

ConversionResult convertDocumentTo(OutputFormat format, const char* inputPath, const char* outputPath,
                                   const WriteOptions& options) {
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

ConversionResult convertDocumentFaithful(const char* inputPath, const char* outputPath) {
    return convertDocumentTo(OutputFormat::RtfFaithful, inputPath, outputPath);
}

ConversionResult convertDocumentFaithfulBytes(const unsigned char* data, size_t size, std::FILE* output) {
    return convertDocumentBytesTo(OutputFormat::RtfFaithful, data, size, output);
}

ConversionResult convertDocumentFaithfulToString(const unsigned char* data, size_t size, std::string& rtf) {
    return convertDocumentBytesToString(OutputFormat::RtfFaithful, data, size, rtf);
}

}  // namespace zentoro
