// How long reading the model takes alone: a fresh process that takes in a
// Word document as a conversion does and reads it through the model's
// streaming reader, dropping each paragraph, writing nothing. Timed beside
// the copy floor and the whole conversion, it shows what share of a
// conversion is reading.
// zentoro_read_model DOCUMENT
#include <cstdio>

#include "convert/request_input.h"
#include "model/read_document.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zentoro_read_model DOCUMENT\n");
        return 2;
    }
    zentoro::ConversionRequest request;
    request.inputPath = argv[1];
    zentoro::RequestInput input;
    if (!zentoro::readRequestInput(request, zentoro::InputMapping::Never, input).succeeded()) return 1;
    zentoro::Document document;
    size_t paragraphs = 0;
    zentoro::ConversionResult read = zentoro::readDocumentStreaming(
        input.bytes.bytes(), document, [&](const zentoro::Paragraph&) { ++paragraphs; });
    return read.succeeded() && paragraphs != 0 ? 0 : 1;
}
