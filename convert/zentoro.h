// The conversion library's entry points. The int ones return 0 for success
// and 1 for failure; the WithResult ones say why a conversion failed. None
// throws.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "reader/failure.h"

namespace zentoro {

// Converts the Word document at inputPath to RTF at outputPath, replacing
// any file there. Fails when the input cannot be read, the output cannot be
// created or fully written, the header is not that of a Word document,
// both paths name the same file (which is then left untouched), or a damaged
// document would make the conversion write or read far more than any real
// one does (reader/conversion_limits.h); what was written until then stays.
// Also fails on a damaged document: one cut short, one whose counts or
// positions run past its end, or one without a style section. Its RTF holds
// what could be converted.
int convertDocument(const char* inputPath, const char* outputPath);

// The same conversion, with the reason when it fails.
ConversionResult convertDocumentWithResult(const char* inputPath, const char* outputPath);

// Converts a Word document held in memory to `output` (null discards the
// RTF). The same conversion as convertDocument, minus the files.
int convertDocumentBytes(const unsigned char* data, size_t size, std::FILE* output);
ConversionResult convertDocumentBytesWithResult(const unsigned char* data, size_t size, std::FILE* output);

// The faithful conversion: reads the whole document into the document
// model and writes RTF that shows it as its author saw it on the device
// (the document's fonts, colours, bullets, tab stops, header and footer
// fields). Fails, without creating the output, when the document cannot be
// read whole; otherwise fails as convertDocument does.
ConversionResult convertDocumentFaithful(const char* inputPath, const char* outputPath);

// The faithful conversion of a document in memory, to `output` (null
// discards the RTF) or to a string.
ConversionResult convertDocumentFaithfulBytes(const unsigned char* data, size_t size, std::FILE* output);
ConversionResult convertDocumentFaithfulToString(const unsigned char* data, size_t size, std::string& rtf);

// Accepts a file whose first twelve bytes carry the three UIDs of a Word
// document; reads nothing beyond them and writes no file.
int checkWordFile(const char* filePath);

}  // namespace zentoro
