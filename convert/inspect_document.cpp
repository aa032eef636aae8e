#include "convert/inspect_document.h"

#include <new>

#include "convert/request_input.h"
#include "model/read_document.h"

namespace zentoro {

ConversionResult inspectDocument(const char* path) {
    ConversionRequest request;
    request.inputPath = path;
    request.diagnostics = nullptr;
    try {
        RequestInput input;
        ConversionResult taken = readRequestInput(request, InputMapping::Never, input);
        if (!taken.succeeded()) return taken;
        if (input.readError != 0) return {Failure::InputUnreadable, input.readError, false};
        Document document;
        return readDocumentStreaming(input.bytes.bytes(), document, [](const Paragraph&) {});
    } catch (const std::bad_alloc&) {
        return {Failure::OutOfMemory, 0, false};
    }
}

}  // namespace zentoro
