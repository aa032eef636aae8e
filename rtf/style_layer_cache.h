// The body writes a style's two layers again for every paragraph of that
// style. What they write depends on their bytes, which do not change within
// a conversion, and on the state they are entered in: exactLineSpacing
// (which they may change too), the read limit (once it cuts the input off,
// nothing is kept or copied), paragraphLength (1 passes them over) and
// writingStyleSheet (never set in the body). The cache keeps what one
// translation wrote and left behind, keyed by the style and
// exactLineSpacing on entry, so that the next paragraph entering the same
// style in the same state copies the bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zentoro {

struct ConversionState;

// Room for the translated layers of every style, each written at most twice
// (once per exactLineSpacing on entry); a style whose bytes no longer fit is
// translated every time, as without the cache.
inline constexpr size_t StyleLayerArenaSize = 32 * 1024;
inline constexpr int StyleCacheStyles = 255;

struct CachedStyleLayers {
    bool filled = false;
    int32_t layers = 0;          // the style's layer position it was made from
    uint32_t offset = 0;         // its bytes in the arena
    uint32_t length = 0;
    size_t readEnd = 0;          // input position after the second layer
    size_t readingFrom = 0;      // where the reading count resumed last
    uint64_t countedDuring = 0;  // bytes counted by seeks within the layers
    uint32_t layerBytesRead = 0;
    bool exactLineSpacingAfter = false;
    bool endedEarly = false;  // a read fell at or past the end of the input
};

// Made when a document first refers to a style in its body (see
// conversion_state.h); the arena is not cleared.
struct StyleLayerCache {
    size_t arenaUsed = 0;
    uint64_t hits = 0;  // layers copied rather than translated
    std::array<std::array<CachedStyleLayers, 2>, StyleCacheStyles> entries{};
    std::array<char, StyleLayerArenaSize> arena;
};

// Translates the two layers of style `styleIndex` (0..254) from the input
// position, which is `layers`, as a style's layers are written in the
// body, or copies what an earlier translation of them in the same state
// wrote. Either way the output, the reading position and count, and the
// state the layers change end up the same.
void writeStyleLayers(ConversionState& s, int styleIndex, int32_t layers);

}  // namespace zentoro
