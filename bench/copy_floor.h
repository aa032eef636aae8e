// The floor a conversion is measured against: plain file copying.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zentoro::bench {

inline constexpr size_t CopyChunkSize = 64 * 1024;

// Reads the whole input file and writes `outputSize` bytes to the output
// file, both in 64 KiB fread/fwrite chunks; the input's bytes are written
// first, then the last chunk again until the output has its size. False
// when a file cannot be opened or written.
bool copyToSize(const char* inputPath, const char* outputPath, uint64_t outputSize);

}  // namespace zentoro::bench
