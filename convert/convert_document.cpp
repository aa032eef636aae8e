// The original RTF translation, and the entry points that ask for it.
#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>

#include "convert/document_bytes.h"
#include "convert/rtf_translation.h"
#include "convert/zentoro.h"
#include "reader/conversion_limits.h"
#include "reader/header_check.h"
#include "rtf/section_dispatch.h"

namespace zentoro {

namespace {

ConversionResult failedWith(Failure failure, int systemError = 0) { return ConversionResult{failure, systemError}; }

void setLimits(ConversionState& s, const ConversionLimits& limits = {}) {
    s.output.sizeLimit = outputLimitFor(s.input.size, limits);
    s.input.readLimit = readLimitFor(s.input.size, limits);
}

// Fails when a limit stopped the translation, the output could not be
// written, or the document is damaged: a read fell at or past its end, a
// count ran past it, or no style section opened the RTF document.
ConversionResult finishTranslation(ConversionState& s) {
    bool written = finishOutput(s.output);
    if (s.input.readLimitExceeded || s.output.bytesWritten > s.output.sizeLimit) return failedWith(Failure::LimitReached);
    if (!written) return failedWith(Failure::OutputUnwritable, s.output.systemError);
    if (s.input.endedEarly || !s.styleSectionSeen) return failedWith(Failure::DocumentDamaged);
    return {};
}

void translateState(void* state) { translateSections(*static_cast<ConversionState*>(state)); }

}  // namespace

ConversionResult translateToRtf(const DocumentBytes& document, std::FILE* output, std::FILE* diagnostics) {
    // Made without clearing it first: every member but the output buffer
    // has its own starting value.
    auto state = std::make_unique_for_overwrite<ConversionState>();
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

ConversionResult convertDocumentWithResult(const char* inputPath, const char* outputPath) {
    ConversionRequest request;
    request.inputPath = inputPath;
    request.outputPath = outputPath;
    return runConversion(request);
}

int convertDocument(const char* inputPath, const char* outputPath) {
    return convertDocumentWithResult(inputPath, outputPath).succeeded() ? 0 : 1;
}

ConversionResult translateBytesToRtf(std::span<const unsigned char> bytes, std::FILE* output,
                                     const TranslationSettings& settings) {
    try {
        // Made without clearing it first: every member but the output buffer
        // has its own starting value.
        auto state = std::make_unique_for_overwrite<ConversionState>();
        ConversionState& s = *state;
        s.output.file = output;
        s.input = InputStream{bytes.data(), std::min(bytes.size(), MaxDocumentBytes), 0};
        if (!checkHeaderUids(s.input)) return failedWith(Failure::NotWordDocument);
        setLimits(s, settings.limits);
        s.layerCachesFrom = settings.layerCachesFrom;
        translateSections(s);
        return finishTranslation(s);
    } catch (const std::bad_alloc&) {
        return failedWith(Failure::OutOfMemory);
    }
}

ConversionResult convertDocumentBytesWithResult(const unsigned char* data, size_t size, std::FILE* output) {
    return translateBytesToRtf({data, size}, output, {});
}

int convertDocumentBytes(const unsigned char* data, size_t size, std::FILE* output) {
    return convertDocumentBytesWithResult(data, size, output).succeeded() ? 0 : 1;
}

}  // namespace zentoro
