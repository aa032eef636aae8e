#include "rtf/layer_output_cache.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

#include "rtf/attribute_layer.h"
#include "rtf/conversion_state.h"

namespace zentoro {

namespace {

constexpr size_t LengthFieldSize = 4;
constexpr size_t Probes = 4;

uint64_t load64(const unsigned char* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

uint64_t load32(const unsigned char* bytes) {
    uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// A hash over eight bytes at a time, the last word overlapping the one
// before: an entry is only used after its bytes compare equal, so the hash
// needs to spread layers over the slots, not to be strong. Layers are at
// least LengthFieldSize + 1 bytes long.
uint64_t hashOf(const unsigned char* bytes, size_t size) {
    static_assert(LengthFieldSize >= sizeof(uint32_t));
    constexpr uint64_t Multiplier = 0x9E3779B97F4A7C15ULL;
    uint64_t hash = size * Multiplier;
    uint64_t last;
    if (size >= sizeof(uint64_t)) {
        for (size_t i = 0; size - i > sizeof(uint64_t); i += sizeof(uint64_t)) {
            hash = std::rotl((hash ^ load64(bytes + i)) * Multiplier, 29);
        }
        last = load64(bytes + size - sizeof(uint64_t));
    } else {
        last = load32(bytes) | load32(bytes + size - sizeof(uint32_t)) << 32;
    }
    hash = (hash ^ last) * Multiplier;
    return hash ^ (hash >> 32);  // the slot is taken from the low bits
}

// Whether the `size` bytes (at least four) at `a` and `b` are the same,
// compared a word at a time, the last word overlapping the one before.
bool sameBytes(const unsigned char* a, const unsigned char* b, size_t size) {
    if (size < sizeof(uint64_t)) {
        return load32(a) == load32(b) && load32(a + size - sizeof(uint32_t)) == load32(b + size - sizeof(uint32_t));
    }
    for (size_t i = 0; size - i > sizeof(uint64_t); i += sizeof(uint64_t)) {
        if (load64(a + i) != load64(b + i)) return false;
    }
    return load64(a + size - sizeof(uint64_t)) == load64(b + size - sizeof(uint64_t));
}

uint64_t outputPosition(const RtfOutput& out) { return out.bytesWritten + out.used; }

// The states in which a layer is translated as always, every time: passed
// over for a one-character paragraph, in the style sheet, or once the
// output or the reading has been stopped.
bool cacheable(const ConversionState& s) {
    if (s.input.size < s.layerCachesFrom) return false;
    if (!s.layerOutputs) return true;
    const LayerOutputCache& cache = *s.layerOutputs;
    bool worthIt = cache.lookups < LookupsBeforeJudging || cache.hits * 4 >= cache.lookups;
    return worthIt && s.paragraphLength != 1 && !s.writingStyleSheet && !s.inStyleDefinition &&
           !s.output.failed && !s.input.readLimitExceeded;
}

// The layer's declared bytes, length field included, when they lie inside
// the input and are short enough to be kept; otherwise 0.
size_t declaredSize(const InputStream& in) {
    if (in.pos >= in.size || in.size - in.pos < LengthFieldSize) return 0;
    const unsigned char* p = in.data + in.pos;
    uint32_t length = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                      static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    if (length == 0 || length > LongestCachedLayer || in.size - in.pos - LengthFieldSize < length) return 0;
    return LengthFieldSize + length;
}

// An entry made from the same bytes in the same state. Its reading stopped
// before the end of the input, and so must this one, so that the same
// reads see the same bytes and none of them the end.
const CachedLayer* findEntry(const ConversionState& s, uint64_t hash) {
    const LayerOutputCache& cache = *s.layerOutputs;
    const InputStream& in = s.input;
    for (size_t probe = 0; probe < Probes; ++probe) {
        const CachedLayer& entry = cache.slots[(hash + probe) % LayerCacheSlots];
        if (!entry.filled) return nullptr;
        if (entry.hash != hash || entry.exactLineSpacingOnEntry != s.exactLineSpacing) continue;
        if (in.size - in.pos <= entry.readLength) continue;
        const auto* kept = reinterpret_cast<const unsigned char*>(cache.arena.data()) + entry.readOffset;
        if (sameBytes(kept, in.data + in.pos, entry.readLength)) return &entry;
    }
    return nullptr;
}

// Copies a kept output in whole blocks where the output buffer has room for
// the last one's overrun; the bytes past the output's end are written over
// by whatever comes next.
void writeKeptOutput(RtfOutput& out, const char* kept, size_t size) {
    if (out.buffer.size() - out.used < size + CachedOutputBlock) return writeLiteral(out, std::string_view(kept, size));
    char* to = out.buffer.data() + out.used;
    for (size_t i = 0; i < size; i += CachedOutputBlock) std::memcpy(to + i, kept + i, CachedOutputBlock);
    out.used += size;
}

void replay(ConversionState& s, const CachedLayer& entry) {
    writeKeptOutput(s.output, s.layerOutputs->arena.data() + entry.outputOffset, entry.outputLength);
    s.input.pos += entry.readLength;
    s.layerBytesRead = entry.layerBytesRead;
    s.exactLineSpacing = entry.exactLineSpacingAfter;
}

CachedLayer* freeSlot(LayerOutputCache& cache, uint64_t hash) {
    for (size_t probe = 0; probe < Probes; ++probe) {
        CachedLayer& entry = cache.slots[(hash + probe) % LayerCacheSlots];
        if (!entry.filled) return &entry;
    }
    return nullptr;
}

// What the layer starting at `start` read and wrote: kept when all of it is
// still in the output buffer, the reading went straight on from `start`
// without a seek and stopped before the end of the input, and there is room.
void record(ConversionState& s, uint64_t hash, bool exactOnEntry, size_t start, uint64_t outputStart,
            uint64_t countedBefore, size_t readingFromBefore) {
    LayerOutputCache& cache = *s.layerOutputs;
    const RtfOutput& out = s.output;
    const InputStream& in = s.input;
    if (out.failed || outputStart < out.bytesWritten) return;
    if (in.bytesRead != countedBefore || in.readingFrom != readingFromBefore) return;
    if (in.pos < start || in.pos >= in.size) return;
    size_t readLength = in.pos - start;
    size_t outputLength = static_cast<size_t>(outputPosition(out) - outputStart);
    if (readLength + outputLength > LayerCacheArenaSize - cache.arenaUsed) return;
    CachedLayer* entry = freeSlot(cache, hash);
    if (entry == nullptr) return;
    char* arena = cache.arena.data();
    std::memcpy(arena + cache.arenaUsed, in.data + start, readLength);
    std::memcpy(arena + cache.arenaUsed + readLength, out.buffer.data() + (outputStart - out.bytesWritten), outputLength);
    *entry = CachedLayer{true,
                         exactOnEntry,
                         s.exactLineSpacing,
                         hash,
                         static_cast<uint32_t>(cache.arenaUsed),
                         static_cast<uint32_t>(readLength),
                         static_cast<uint32_t>(cache.arenaUsed + readLength),
                         static_cast<uint32_t>(outputLength),
                         s.layerBytesRead};
    cache.arenaUsed += readLength + outputLength;
}

}  // namespace

void translateBodyLayer(ConversionState& s) {
    size_t declared = cacheable(s) ? declaredSize(s.input) : 0;
    if (declared == 0) return translateAttributeLayer(s, TranslateLayer);
    if (!s.layerOutputs) s.layerOutputs = std::make_unique_for_overwrite<LayerOutputCache>();
    uint64_t hash = hashOf(s.input.data + s.input.pos, declared);
    ++s.layerOutputs->lookups;
    if (const CachedLayer* entry = findEntry(s, hash)) {
        ++s.layerOutputs->hits;
        return replay(s, *entry);
    }
    size_t start = s.input.pos;
    bool exactOnEntry = s.exactLineSpacing;
    uint64_t outputStart = outputPosition(s.output);
    uint64_t countedBefore = s.input.bytesRead;
    size_t readingFromBefore = s.input.readingFrom;
    translateAttributeLayer(s, TranslateLayer);
    record(s, hash, exactOnEntry, start, outputStart, countedBefore, readingFromBefore);
}

}  // namespace zentoro
