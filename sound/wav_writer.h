// A WAV file of 16-bit mono PCM samples.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zentoro {

// The 44-byte RIFF header for `sampleCount` samples at `rate` samples a
// second; the samples follow it, two bytes each, little-endian.
std::string wavHeader(uint32_t sampleCount, uint32_t rate);

void appendSample(std::string& wav, int16_t sample);

}  // namespace zentoro
