// One entry point for every output: the default RTF (the streaming
// translation of convertDocument) and, through the document model, the
// faithful RTF, plain text, HTML and Markdown.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "convert/output_format.h"
#include "reader/failure.h"
#include "write/write_options.h"

namespace zentoro {

// Reads the whole Word document at inputPath and writes it in `format` to
// outputPath, replacing any file there; the output is only created once
// the document has been read (into the model, for every format but Rtf).
// The document's file name is the input's unless options name one. For
// Markdown, pictures go beside the output as OUTPUT-N.png (OUTPUT being
// the output's file name without ".md") unless options ask for data URIs
// or name a picture folder. Fails with the reason: the input unreadable,
// not a Word document, the same file as the output, the document damaged,
// the output unwritable, the size limit reached, or memory exhausted.
ConversionResult convertDocumentTo(OutputFormat format, const char* inputPath, const char* outputPath,
                                   const WriteOptions& options = {});

// The same for a document held in memory, written to `output` (null
// discards it) or to a string.
ConversionResult convertDocumentBytesTo(OutputFormat format, const unsigned char* data, size_t size,
                                        std::FILE* output, const WriteOptions& options = {});
ConversionResult convertDocumentBytesToString(OutputFormat format, const unsigned char* data, size_t size,
                                              std::string& written, const WriteOptions& options = {});

}  // namespace zentoro
