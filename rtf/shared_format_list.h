// The shared paragraph formats of a text layout section, indexed by one walk
// over the list instead of a walk from its start for every paragraph.
#pragma once

#include <optional>

#include "rtf/conversion_state.h"

namespace zentoro {

// Reads the list's count at formatListPos and walks that many entries,
// recording where each starts; leaves the input where the walk ended (the
// end of the list, or of the input).
void indexSharedFormats(ConversionState& s);

// Where entry `ref` (1..255) starts. A reference above the list's count is
// found by walking on past the counted entries, as the list is laid out;
// none when the input ends before the entry, or for a reference out of range.
std::optional<int32_t> sharedFormatStart(ConversionState& s, int ref);

// Passes over one entry: ignored value, paragraph layer, style reference,
// character layer.
void skipSharedFormat(ConversionState& s);

}  // namespace zentoro
