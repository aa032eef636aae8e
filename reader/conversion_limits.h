// How much one conversion may write and read for the size of its input.
//
// Counts and positions in a document are used as read, so a small damaged
// file can make the converter write the same bytes, or read the same layers,
// again and again: output and reading time grow with the square of the
// input's size. Real documents write about twice their size and read each
// byte about three times; the limits leave a wide margin above that, with a
// floor so that small files never come near them. A conversion that reaches
// a limit stops and fails.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zentoro {

inline constexpr uint64_t MiB = 1024 * 1024;

inline constexpr uint64_t OutputBytesPerInputByte = 256;
inline constexpr uint64_t OutputFloor = 16 * MiB;

inline constexpr uint64_t ReadBytesPerInputByte = 256;
inline constexpr uint64_t ReadFloor = 16 * MiB;

// The limits as parameters: every conversion runs with the defaults above,
// and a caller that wants them reached in a few bytes (as the fuzz targets
// do) passes lower ones. A limit that comes to 0 is no limit.
struct ConversionLimits {
    uint64_t outputBytesPerInputByte = OutputBytesPerInputByte;
    uint64_t outputFloor = OutputFloor;
    uint64_t readBytesPerInputByte = ReadBytesPerInputByte;
    uint64_t readFloor = ReadFloor;
};

inline uint64_t outputLimitFor(size_t inputSize, const ConversionLimits& limits = {}) {
    return limits.outputBytesPerInputByte * inputSize + limits.outputFloor;
}
inline uint64_t readLimitFor(size_t inputSize, const ConversionLimits& limits = {}) {
    return limits.readBytesPerInputByte * inputSize + limits.readFloor;
}

}  // namespace zentoro
