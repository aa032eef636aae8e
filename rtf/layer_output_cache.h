// The body translates many layers that are byte for byte the same: the
// character layers of phrases above all. What a layer writes depends only
// on the bytes it reads and on the state it is entered in (exactLineSpacing,
// which it may also change, inStyleDefinition, writingStyleSheet and
// paragraphLength), so the cache keeps, for a layer translated once, the
// bytes it read and what it wrote, and copies the output wherever the same
// bytes are read again in the same state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zentoro {

struct ConversionState;

inline constexpr size_t LayerCacheSlots = 512;
inline constexpr size_t LayerCacheArenaSize = 64 * 1024;
// Kept outputs are copied in blocks of this size, the last one reaching past
// the output's end: the arena has this much room after its last byte.
inline constexpr size_t CachedOutputBlock = 32;
// Longer layers are translated every time: they are rare, and comparing
// them would cost about as much as translating them.
inline constexpr uint32_t LongestCachedLayer = 256;
// After this many lookups, fewer than one hit in four turns the cache off.
inline constexpr uint64_t LookupsBeforeJudging = 1024;

struct CachedLayer {
    bool filled = false;
    bool exactLineSpacingOnEntry = false;
    bool exactLineSpacingAfter = false;
    uint64_t hash = 0;             // of the length field and the declared bytes
    uint32_t readOffset = 0;       // the bytes read, in the arena
    uint32_t readLength = 0;       // from the length field to where reading ended
    uint32_t outputOffset = 0;     // what was written, in the arena
    uint32_t outputLength = 0;
    uint32_t layerBytesRead = 0;
};

// Made when the body first translates a layer (see conversion_state.h); the
// arena is not cleared.
struct LayerOutputCache {
    size_t arenaUsed = 0;
    // A document whose layers seldom repeat stops paying for the lookups.
    uint64_t lookups = 0;
    uint64_t hits = 0;
    std::array<CachedLayer, LayerCacheSlots> slots{};
    std::array<char, LayerCacheArenaSize + CachedOutputBlock> arena;
};

// translateAttributeLayer(s, TranslateLayer) for a layer of the body, or the
// copy of what the same bytes wrote before in the same state: the output,
// the position, the reading count and the state end up the same.
void translateBodyLayer(ConversionState& s);

}  // namespace zentoro
