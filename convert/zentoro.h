// The conversion library's entry points. The int ones return 0 for success
// and 1 for failure; the others say why a conversion failed. None throws.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "convert/failure_description.h"
#include "convert/output_file.h"
#include "reader/failure.h"

namespace zentoro {

// One conversion: where the document comes from, where the RTF goes and
// what may be replaced there.
struct ConversionRequest {
    const char* inputPath = nullptr;  // the document; when null, inputStream is read to its end
    std::FILE* inputStream = nullptr;
    // inputPath already opened, a regular file of openedInputSize bytes,
    // at its start: read from it rather than opened again, and left open.
    std::FILE* openedInput = nullptr;
    // The same as a descriptor, where the system has them, at the file's
    // start: read without a stream, which would take a call to open.
    int openedInputDescriptor = -1;
    size_t openedInputSize = 0;
    // False: an input path that is a symbolic link is not followed (a link
    // swapped in for a file found in a folder is refused).
    bool followInputLink = true;
    // The output file, which appears whole or not at all (convert/output_file.h);
    // when null, the RTF is written to outputStream as it is made.
    const char* outputPath = nullptr;
    std::FILE* outputStream = nullptr;
    ExistingOutput existingOutput = ExistingOutput::Replace;
    // The caller has just found nothing at outputPath, not even a link: it is
    // not looked at again unless something is in the way when the output is
    // put in place (beginOutput's `absent`).
    bool outputAbsent = false;
    // Where the header check and the sections write their messages about a
    // file that is not a Word document; null: nowhere.
    std::FILE* diagnostics = stdout;
};

// Runs the original RTF conversion of the request (what the dialog writes) and says why it failed:
// convertRequestTo(OutputFormat::Rtf, request) of convert/convert_to_format.h. The output is written to a
// temporary file and put in place only when the RTF is complete. A
// conversion that fails on its input (read error, a damaged document: one
// cut short, one whose counts or positions run past its end, one without a
// style section; or one past the limits of reader/conversion_limits.h)
// leaves what it converted only where no file stood, and says so with
// partialOutputKept; it never replaces a file. Nothing is created at the
// output path before the header has passed the check, and a failure to
// write leaves the output path as it was.
ConversionResult runConversion(const ConversionRequest& request);

// Converts the Word document at inputPath to RTF at outputPath, replacing
// any file there, whole or not at all as runConversion does. Fails when the
// input cannot be read, the output cannot be created or fully written, the
// header is not that of a Word document, both paths name the same file
// (which is then left untouched), the document is damaged, or it would make
// the conversion write or read far more than any real one does.
ConversionResult convertDocumentWithResult(const char* inputPath, const char* outputPath);
int convertDocument(const char* inputPath, const char* outputPath);

// Converts a Word document held in memory to `output` (null discards the
// RTF). The same conversion as convertDocument, minus the files.
int convertDocumentBytes(const unsigned char* data, size_t size, std::FILE* output);
ConversionResult convertDocumentBytesWithResult(const unsigned char* data, size_t size, std::FILE* output);

// The faithful conversion: reads the whole document into the document
// model and writes RTF that shows it as its author saw it on the device
// (the document's fonts, colours, bullets, tab stops, header and footer
// fields). convertDocumentTo(OutputFormat::RtfFaithful, ...) of
// convert/convert_to_format.h: the output appears whole or not at all, and
// not before the document has been read whole; otherwise fails as
// convertDocument does.
ConversionResult convertDocumentFaithful(const char* inputPath, const char* outputPath);

// The faithful conversion of a document in memory, to `output` (null
// discards the RTF) or to a string.
ConversionResult convertDocumentFaithfulBytes(const unsigned char* data, size_t size, std::FILE* output);
ConversionResult convertDocumentFaithfulToString(const unsigned char* data, size_t size, std::string& rtf);

// Accepts a file whose first twelve bytes carry the three UIDs of a Word
// document; reads nothing beyond them and writes no file.
int checkWordFile(const char* filePath);

}  // namespace zentoro
