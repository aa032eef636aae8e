// The outputs written from the document model: the faithful RTF, plain
// text, HTML and Markdown. The document is read first, so that one that
// cannot be read leaves no output behind; the output is written after.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "convert/output_format.h"
#include "convert/paragraph_pipeline.h"
#include "model/document.h"
#include "reader/conversion_limits.h"
#include "reader/failure.h"
#include "write/faithful_rtf.h"
#include "write/write_options.h"

namespace zentoro {

// One document on its way to one output of the model.
struct ModelConversion {
    OutputFormat format = OutputFormat::RtfFaithful;
    WriteOptions options;
    ConversionLimits limits;  // what reading and writing may take for the input's size
    // The faithful RTF of a document this large is written on a second
    // thread while it is read.
    size_t pipelinedFrom = PipelinedFrom;
    size_t inputSize = 0;
    Document document;
    // The faithful RTF's body, written as each paragraph is read, so that
    // the model never holds the whole body.
    std::unique_ptr<FaithfulRtfStream> faithful;
};

// Reads the document for `conversion.format` (any format but Rtf).
ConversionResult readModel(std::span<const unsigned char> bytes, ModelConversion& conversion);

// Writes what was read to `file`, or to `memory` when it is not null; the
// output may grow no more than the streaming translation's would.
ConversionResult writeModel(ModelConversion& conversion, std::FILE* file, std::string* memory);

}  // namespace zentoro
