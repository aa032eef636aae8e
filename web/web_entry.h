// The C entry of the WebAssembly build: a file's bytes, its name and an
// output format's name in; the output files (suffix, bytes) and the result
// (failure code, reason in words, summary) out, behind one handle.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ZentoroOutcome ZentoroOutcome;

// Failure codes beyond the library's own (zentoro::Failure, 0 = converted).
#define ZENTORO_UNKNOWN_FORMAT (-1)
#define ZENTORO_NO_MEMORY (-2)

// How a file went, for the page's words, whatever the failure's code.
#define ZENTORO_CONVERTED 0
#define ZENTORO_PARTLY_RECOVERED 1  // failed, but gave outputs
#define ZENTORO_NOT_A_DOCUMENT 2    // not a file the converter knows
#define ZENTORO_NOT_CONVERTED 3     // failed with no output; the reason says why

// Converts `size` bytes of the file called `name` to `format` ("rtf-faithful",
// "rtf-original", "html", "markdown", "text"). Null only when memory ran out;
// every other outcome, failures included, is freed with zentoro_free.
ZentoroOutcome* zentoro_convert(const unsigned char* data, size_t size, const char* name, const char* format);

int zentoro_status(const ZentoroOutcome* outcome);
int zentoro_failure(const ZentoroOutcome* outcome);
const char* zentoro_reason(const ZentoroOutcome* outcome);   // "" when converted
const char* zentoro_summary(const ZentoroOutcome* outcome);  // "1 document and 2 pictures"
size_t zentoro_file_count(const ZentoroOutcome* outcome);
// The suffix appended to the input's name (".rtf", "-1.png") and the bytes.
const char* zentoro_file_suffix(const ZentoroOutcome* outcome, size_t index);
const unsigned char* zentoro_file_bytes(const ZentoroOutcome* outcome, size_t index);
size_t zentoro_file_size(const ZentoroOutcome* outcome, size_t index);
void zentoro_free(ZentoroOutcome* outcome);

#ifdef __cplusplus
}
#endif
