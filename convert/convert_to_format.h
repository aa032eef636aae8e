// The entry points that name the output: the original RTF (the streaming
// translation of convertDocument) and, through the document model, the
// faithful RTF, plain text, HTML and Markdown. Every one of a file or stream
// goes through convertRequestTo.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "convert/output_format.h"
#include "convert/zentoro.h"
#include "reader/failure.h"
#include "write/write_options.h"

namespace zentoro {

// Converts the request's document (a file or a stream) to `format`, at its
// output path (whole or not at all, as runConversion writes, keeping what
// request.existingOutput says to keep) or on its output stream. A header
// that is not a Word document's is told to request.diagnostics. Every
// format but Rtf reads the document whole into the model first (not mapped,
// and the faithful RTF's body written as each paragraph is read), so that a
// document that cannot be read leaves no output. Markdown written to a
// stream embeds its pictures as data URIs.
ConversionResult convertRequestTo(OutputFormat format, const ConversionRequest& request,
                                  const WriteOptions& options = {});

struct PictureFiles {
    ConversionResult result;         // reading the document
    std::vector<std::string> paths;  // each picture file, in the order it would be written
};

// The picture files convertRequestTo(format, request, options) would write
// beside its output, found as it finds them and writing nothing: Markdown's
// PNG files when the output is a path and no data URIs are asked for; none
// for the other formats. The document is read as that conversion reads it,
// failing where it would fail; a damaged document lists what it still holds.
PictureFiles pictureFilesOf(OutputFormat format, const ConversionRequest& request, const WriteOptions& options = {});

// Reads the whole Word document at inputPath and writes it in `format` to
// outputPath, replacing any file there.
// The document's file name is the input's unless options name one. For
// Markdown, pictures go beside the output as OUTPUT-objectN.png (OUTPUT being
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
