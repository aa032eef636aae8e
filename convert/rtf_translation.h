// The original RTF translation of a document whose header has passed the
// check: the sections translated one by one, straight to the output.
#pragma once

#include <cstddef>
#include <cstdio>
#include <span>

#include "convert/document_bytes.h"
#include "reader/conversion_limits.h"
#include "reader/failure.h"
#include "rtf/conversion_state.h"

namespace zentoro {

// Translates the whole document to `output` as it reads it. What could be
// translated stays in the output whatever the result. A file that shrinks
// under its mapping ends the translation where the fault fell, as a read
// error.
ConversionResult translateToRtf(const DocumentBytes& document, std::FILE* output, std::FILE* diagnostics);

// What a translation of bytes in memory may take, and from which input
// size it keeps the layers it translated to copy them where they repeat.
struct TranslationSettings {
    ConversionLimits limits;
    size_t layerCachesFrom = SmallestCachedDocument;
};

// convertDocumentBytesWithResult with other settings; the same bytes
// whatever the settings, unless a lower limit is reached.
ConversionResult translateBytesToRtf(std::span<const unsigned char> bytes, std::FILE* output,
                                     const TranslationSettings& settings);

}  // namespace zentoro
