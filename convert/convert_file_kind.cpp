#include "convert/convert_file_kind.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "convert/document_bytes.h"
#include "convert/input_file.h"

namespace zentoro {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

ConversionResult readWholeInput(const KindFileRequest& request, DocumentBytes& bytes) {
    std::FILE* file = nullptr;
    size_t size = 0;
    ConversionResult opened = openInputFile(request.inputPath, request.followInputLink, file, size);
    if (!opened.succeeded()) return opened;
    std::unique_ptr<std::FILE, FileCloser> closer(file);
    if (size > MaxKindFileBytes) return {Failure::LimitReached, 0, false};
    bytes.read(file, MaxKindFileBytes + 1, size);
    if (!bytes.readWhole()) return {Failure::InputUnreadable, 0, false};
    if (bytes.bytes().size() > MaxKindFileBytes) return {Failure::LimitReached, 0, false};
    return {};
}

ConversionResult writeOutput(const std::string& path, const std::string& contents, ExistingOutput existing) {
    PendingOutput output;
    ConversionResult begun = beginOutput(path.c_str(), existing, output);
    if (!begun.succeeded()) return begun;
    if (std::fwrite(contents.data(), 1, contents.size(), output.file) != contents.size()) {
        int error = errno;
        discardOutput(output);
        return {Failure::OutputUnwritable, error, false};
    }
    return commitOutput(output, existing != ExistingOutput::Keep);
}

}  // namespace

KindFileConversion convertFileOfKind(const KindFileRequest& request) {
    KindFileConversion conversion;
    DocumentBytes bytes;
    conversion.result = readWholeInput(request, bytes);
    if (!conversion.result.succeeded()) return conversion;
    std::span<const unsigned char> input = bytes.bytes();
    KindConversion converted = request.kind->convert(input.data(), input.size(), request.options);
    conversion.result = converted.result;
    conversion.summary = std::move(converted.summary);
    conversion.detail = std::move(converted.detail);
    for (const ConvertedFile& file : converted.files) {
        std::string path = request.outputBase + file.suffix;
        ConversionResult written = writeOutput(path, file.bytes, request.existingOutput);
        if (written.failure == Failure::OutputExists) {
            ++conversion.kept;
            continue;
        }
        if (!written.succeeded()) {
            conversion.result = written;
            return conversion;
        }
        conversion.written.push_back(std::move(path));
    }
    conversion.result.partialOutputKept = !conversion.written.empty() && !conversion.result.succeeded();
    return conversion;
}

}  // namespace zentoro
