// The ways into a conversion: from a file or a stream to a file or a
// stream, and from bytes in memory. All check the header and then translate
// the sections the same way.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

#include "convert/convert_streams.h"
#include "convert/document_bytes.h"
#include "convert/input_file.h"
#include "convert/native_path.h"
#include "convert/output_file.h"
#include "convert/zentoro.h"
#include "reader/conversion_limits.h"
#include "reader/header_check.h"
#include "rtf/section_dispatch.h"

namespace zentoro {

namespace {

constexpr size_t MaxInputSize = MaxDocumentBytes;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool namesSameFile(const char* a, const char* b) {
    std::error_code error;
    return std::filesystem::equivalent(pathFromNative(a), pathFromNative(b), error);
}

ConversionResult failedWith(Failure failure, int systemError = 0) { return ConversionResult{failure, systemError}; }

void setLimits(ConversionState& s) {
    s.output.sizeLimit = outputLimitFor(s.input.size);
    s.input.readLimit = readLimitFor(s.input.size);
}

// What could be translated stays in the output whatever the result. Fails
// when a limit stopped the translation, the output could not be written, or
// the document is damaged: a read fell at or past its end, a count ran past
// it, or no style section opened the RTF document.
ConversionResult finishTranslation(ConversionState& s) {
    bool written = finishOutput(s.output);
    if (s.input.readLimitExceeded || s.output.bytesWritten > s.output.sizeLimit) return failedWith(Failure::LimitReached);
    if (!written) return failedWith(Failure::OutputUnwritable, s.output.systemError);
    if (s.input.endedEarly || !s.styleSectionSeen) return failedWith(Failure::DocumentDamaged);
    return {};
}

// Translates a document whose header has passed the check.
ConversionResult translateDocument(ConversionState& s) {
    setLimits(s);
    translateSections(s);
    return finishTranslation(s);
}

void translateState(void* state) { translateSections(*static_cast<ConversionState*>(state)); }

// Translates the whole document to `output`. A file that shrinks under its
// mapping ends the translation where the fault fell, as a read error.
ConversionResult translateTo(const DocumentBytes& document, std::FILE* output, std::FILE* diagnostics) {
    auto state = std::make_unique<ConversionState>();
    ConversionState& s = *state;
    s.output.file = output;
    s.diagnostics = diagnostics;
    std::span<const unsigned char> bytes = document.bytes();
    s.input = InputStream{bytes.data(), bytes.size(), 0};
    setLimits(s);
    bool readWhole = readGuarded(document, translateState, &s);
    ConversionResult result = finishTranslation(s);
    if (!readWhole) return failedWith(Failure::InputUnreadable, EIO);
    return result;
}

// The document read from a stream, once its header has passed the check.
struct ReadDocument {
    DocumentBytes bytes;
    int readError = 0;  // errno of a read that failed part-way, or 0
};

// Maps the input where it can, or reads it; checks the header first, so
// that nothing more of a file that is no Word document is read.
ConversionResult readDocument(std::FILE* input, size_t sizeHint, std::FILE* diagnostics, ReadDocument& read) {
    DocumentBytes& document = read.bytes;
    bool mapped = document.map(input);
    errno = 0;
    if (!mapped) document.read(input, WordHeaderCheckSize);
    if (std::ferror(input) != 0) return {Failure::InputUnreadable, errno != 0 ? errno : EIO, false};
    InputStream header{document.bytes().data(), document.bytes().size(), 0};
    if (const char* mismatch = headerMismatchMessage(header)) {
        if (diagnostics != nullptr) std::fputs(mismatch, diagnostics);
        return {Failure::NotWordDocument, 0, false};
    }
    if (!mapped) {
        errno = 0;
        document.read(input, MaxDocumentBytes, sizeHint);
        if (!document.readWhole()) read.readError = errno != 0 ? errno : EIO;
    }
    return {};
}

// What was read could still be translated, but a document that could not be
// read to its end is not reported as converted.
ConversionResult withReadError(ConversionResult translated, int readError) {
    bool explainsTheFailure = translated.succeeded() || translated.failure == Failure::DocumentDamaged;
    if (explainsTheFailure && readError != 0) return {Failure::InputUnreadable, readError, false};
    return translated;
}

bool failedOnInput(Failure failure) {
    return failure == Failure::InputUnreadable || failure == Failure::DocumentDamaged ||
           failure == Failure::LimitReached;
}

// Translates into the output file and puts it in place, or not.
ConversionResult convertToFile(const ReadDocument& read, const ConversionRequest& request, PendingOutput& output) {
    ConversionResult begun = beginOutput(request.outputPath, request.existingOutput, output);
    if (!begun.succeeded()) return begun;
    ConversionResult result = withReadError(translateTo(read.bytes, output.file, request.diagnostics), read.readError);
    if (result.succeeded()) return commitOutput(output, request.existingOutput != ExistingOutput::Keep);
    if (!failedOnInput(result.failure)) {
        discardOutput(output);
        return result;
    }
    // Part of a document is worth keeping only where nothing was before.
    bool inPlace = output.inPlace;
    ConversionResult kept = commitOutput(output, false);
    result.partialOutputKept = kept.succeeded() && !inPlace;
    return result;
}

ConversionResult convertFrom(std::FILE* input, size_t sizeHint, const ConversionRequest& request) {
    PendingOutput output;
    try {
        ReadDocument read;
        ConversionResult checked = readDocument(input, sizeHint, request.diagnostics, read);
        if (!checked.succeeded()) return checked;
        if (request.outputPath == nullptr) {
            return withReadError(translateTo(read.bytes, request.outputStream, request.diagnostics), read.readError);
        }
        return convertToFile(read, request, output);
    } catch (const std::bad_alloc&) {
        discardOutput(output);
        return {Failure::OutOfMemory, 0, false};
    }
}

}  // namespace

ConversionResult runConversion(const ConversionRequest& request) {
    bool hasInput = request.inputPath != nullptr || request.inputStream != nullptr;
    bool hasOutput = request.outputPath != nullptr || request.outputStream != nullptr;
    if (!hasInput || !hasOutput) return {Failure::InputUnopenable, EINVAL, false};
    if (request.inputPath == nullptr) return convertFrom(request.inputStream, 0, request);
    // Writing the output would destroy the very document being read.
    if (request.outputPath != nullptr && namesSameFile(request.inputPath, request.outputPath)) {
        return {Failure::SameFile, 0, false};
    }
    std::FILE* opened = nullptr;
    size_t size = 0;
    ConversionResult open = openInputFile(request.inputPath, request.followInputLink, opened, size);
    if (!open.succeeded()) return open;
    File input(opened);
    return convertFrom(input.get(), std::min(size, MaxInputSize), request);
}

ConversionResult convertDocumentWithResult(const char* inputPath, const char* outputPath) {
    ConversionRequest request;
    request.inputPath = inputPath;
    request.outputPath = outputPath;
    return runConversion(request);
}

int convertDocument(const char* inputPath, const char* outputPath) {
    return convertDocumentWithResult(inputPath, outputPath).succeeded() ? 0 : 1;
}

int convertStreams(std::FILE* input, std::FILE* output, size_t sizeHint) {
    ConversionRequest request;
    request.inputStream = input;
    request.outputStream = output;
    return convertFrom(input, sizeHint, request).succeeded() ? 0 : 1;
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
