// Recordings of the handheld's sound recorder, to WAV.
#pragma once

#include <cstddef>

#include "reader/converted_files.h"

namespace zentoro {

// The recorder's sample rate: A-law's nominal rate.
inline constexpr unsigned RecordSampleRate = 8000;

bool isRecordFile(const unsigned char* data, size_t size);

// One ".wav": 16-bit PCM at 8000 Hz, one pass of the sound, or with
// options.soundAsPlayed every repeat and the silent pauses between them.
// An ADPCM recording is refused as not supported; a recording cut short
// gives the samples it still holds and is reported damaged.
KindConversion convertRecordFile(const unsigned char* data, size_t size, const KindOptions& options);

}  // namespace zentoro
