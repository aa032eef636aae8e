#include "convert/request_input.h"

#include <cerrno>
#include <memory>

#include "convert/input_file.h"
#include "reader/header_check.h"

namespace zentoro {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Maps the input where allowed and possible, or reads it; checks the header
// first, so that nothing more of a file that is no Word document is read.
ConversionResult readChecked(std::FILE* stream, size_t sizeHint, InputMapping mapping, std::FILE* diagnostics,
                             RequestInput& input) {
    DocumentBytes& document = input.bytes;
    // A file known to be too small to map is not asked for its size again.
    bool mappable = sizeHint == 0 || sizeHint >= SmallestMappedFile;
    bool mapped = mapping == InputMapping::Allowed && mappable && document.map(stream);
    errno = 0;
    if (!mapped) document.read(stream, WordHeaderCheckSize);
    if (std::ferror(stream) != 0) return {Failure::InputUnreadable, readErrno(), false};
    InputStream header{document.bytes().data(), document.bytes().size(), 0};
    if (const char* mismatch = headerMismatchMessage(header)) {
        if (diagnostics != nullptr) std::fputs(mismatch, diagnostics);
        return {Failure::NotWordDocument, 0, false};
    }
    if (!mapped) {
        errno = 0;
        document.read(stream, MaxDocumentBytes, sizeHint);
        if (!document.readWhole()) input.readError = readErrno();
    }
    return {};
}

#ifndef _WIN32

// The file the caller opened, as a descriptor: mapped where allowed and
// worth it, else read whole at once, a small file costing the same one read
// whole or in part. The header is checked on what was read.
ConversionResult readDescriptor(int fd, size_t size, InputMapping mapping, std::FILE* diagnostics,
                                RequestInput& input) {
    DocumentBytes& document = input.bytes;
    bool mapped = mapping == InputMapping::Allowed && size >= SmallestMappedFile && document.map(fd);
    int error = mapped ? 0 : document.read(fd, size);
    if (error != 0 && document.bytes().size() < WordHeaderCheckSize) return {Failure::InputUnreadable, error, false};
    InputStream header{document.bytes().data(), document.bytes().size(), 0};
    if (const char* mismatch = headerMismatchMessage(header)) {
        if (diagnostics != nullptr) std::fputs(mismatch, diagnostics);
        return {Failure::NotWordDocument, 0, false};
    }
    input.readError = error;
    return {};
}

#endif

}  // namespace

ConversionResult readRequestInput(const ConversionRequest& request, InputMapping mapping, RequestInput& input) {
    if (request.inputPath == nullptr) {
        if (request.inputStream == nullptr) return {Failure::InputUnopenable, EINVAL, false};
        return readChecked(request.inputStream, 0, mapping, request.diagnostics, input);
    }
#ifndef _WIN32
    if (request.openedInputDescriptor >= 0) {
        return readDescriptor(request.openedInputDescriptor, request.openedInputSize, mapping, request.diagnostics,
                              input);
    }
#endif
    if (request.openedInput != nullptr) {
        return readChecked(request.openedInput, request.openedInputSize, mapping, request.diagnostics, input);
    }
    std::FILE* opened = nullptr;
    size_t size = 0;
    ConversionResult open = openInputFile(request.inputPath, request.followInputLink, opened, size);
    if (!open.succeeded()) return open;
    File file(opened);
    // The document is mapped or read in large pieces: a stream buffer would
    // only take a call to size itself and one more read.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return readChecked(file.get(), size, mapping, request.diagnostics, input);
}

}  // namespace zentoro
