#include "convert/model_conversion.h"

#include <cerrno>
#include <new>

#include "convert/paragraph_pipeline.h"
#include "model/code_page.h"
#include "model/read_document.h"
#include "reader/conversion_limits.h"
#include "write/html_writer.h"
#include "write/markdown_writer.h"
#include "write/text_writer.h"

namespace zentoro {

namespace {

// Reads the document, writing each body paragraph's RTF as it is read: on a
// second thread for a large document, so that reading and writing overlap.
ConversionResult readFaithfulStreaming(std::span<const unsigned char> bytes, ModelConversion& conversion) {
    conversion.faithful = std::make_unique<FaithfulRtfStream>();
    FaithfulRtfStream& stream = *conversion.faithful;
    Document& document = conversion.document;
    // Real documents' RTF is under twice their size; a longer one grows the buffer.
    beginFaithfulRtf(stream, outputLimitFor(bytes.size(), conversion.limits), 2 * bytes.size());
    auto write = [&](const Paragraph& paragraph) { writeFaithfulBodyParagraph(stream, document, paragraph); };
    ParagraphPipeline pipeline;
    bool pipelined = bytes.size() >= conversion.pipelinedFrom && pipeline.begin(write);
    ConversionResult read = readDocumentStreaming(bytes, document, [&](Paragraph& paragraph) {
        if (pipelined) {
            pipeline.hand(paragraph);
        } else {
            write(paragraph);
        }
    }, conversion.limits);
    try {
        pipeline.finish();
    } catch (const std::bad_alloc&) {
        return {Failure::OutOfMemory};
    }
    if (stream.bodySink.limitReached) return {Failure::LimitReached};
    return read;
}

bool writeWith(ModelConversion& conversion, ByteSink& sink) {
    const Document& document = conversion.document;
    switch (conversion.format) {
        case OutputFormat::Rtf:
        case OutputFormat::RtfFaithful:
            if (conversion.faithful) return finishFaithfulRtf(*conversion.faithful, document, sink);
            return writeFaithfulRtf(document, sink);
        case OutputFormat::Text: return writeText(document, conversion.options, sink);
        case OutputFormat::Html: return writeHtml(document, conversion.options, sink);
        case OutputFormat::Markdown: return writeMarkdown(document, conversion.options, sink);
    }
    return false;
}

}  // namespace

ConversionResult readModel(std::span<const unsigned char> bytes, ModelConversion& conversion) {
    conversion.inputSize = bytes.size();
    int codePage = conversion.options.codePage;
    conversion.document.codePage = isSupportedCodePage(codePage) ? codePage : DefaultCodePage;
    if (conversion.format == OutputFormat::RtfFaithful) return readFaithfulStreaming(bytes, conversion);
    return readDocument(bytes, conversion.document, conversion.limits);
}

ConversionResult writeModel(ModelConversion& conversion, std::FILE* file, std::string* memory) {
    auto sink = std::make_unique<ByteSink>();
    sink->file = file;
    sink->memory = memory;
    sink->sizeLimit = outputLimitFor(conversion.inputSize, conversion.limits);
    errno = 0;
    if (writeWith(conversion, *sink)) return {};
    if (sink->limitReached) return {Failure::LimitReached};
    return {Failure::OutputUnwritable, file != nullptr ? errno : 0};
}

}  // namespace zentoro
