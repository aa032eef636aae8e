// The request's document, as every conversion takes it in: the file opened
// safely (convert/input_file.h) or the stream taken as it is, its bytes
// mapped or read (convert/document_bytes.h), and its header checked before
// anything more of it is read.
#pragma once

#include "convert/document_bytes.h"
#include "convert/zentoro.h"
#include "reader/failure.h"

namespace zentoro {

struct RequestInput {
    DocumentBytes bytes;
    int readError = 0;  // errno of a read that failed part-way, or 0
};

// Whether the document may be mapped rather than read. Only a translation
// that runs under readGuarded survives the file shrinking under its mapping.
enum class InputMapping { Allowed, Never };

// Opens the request's input and takes in its bytes. A header that is not a
// Word document's is told to request.diagnostics and fails as
// NotWordDocument. A read that fails after the header leaves what was read,
// with the error in readError, for the caller to decide on.
ConversionResult readRequestInput(const ConversionRequest& request, InputMapping mapping, RequestInput& input);

}  // namespace zentoro
