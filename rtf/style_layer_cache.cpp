#include "rtf/style_layer_cache.h"

#include <algorithm>
#include <string_view>

#include "reader/input_readers.h"
#include "rtf/attribute_layer.h"
#include "rtf/conversion_state.h"

namespace zentoro {

namespace {

// Where the output stands, buffered bytes included.
uint64_t outputPosition(const RtfOutput& out) { return out.bytesWritten + out.used; }

// States in which the layers are not translated as usual, or whose reading
// might stop at the read limit part-way: translated every time.
bool cacheable(const ConversionState& s) {
    return s.input.size >= s.layerCachesFrom && s.paragraphLength != 1 && !s.writingStyleSheet && !s.output.failed &&
           !s.input.readLimitExceeded;
}

CachedStyleLayers* usableEntry(ConversionState& s, int styleIndex, int32_t layers) {
    StyleLayerCache& cache = *s.styleLayers;
    CachedStyleLayers& entry = cache.entries[static_cast<size_t>(styleIndex)][s.exactLineSpacing ? 1 : 0];
    if (!entry.filled || entry.layers != layers) return nullptr;
    // Within the limit all the way, so that no seek within the layers would have cut the input.
    uint64_t counted = entry.countedDuring + (entry.readEnd - entry.readingFrom);
    if (s.input.readLimit != 0 && s.input.bytesRead + counted > s.input.readLimit) return nullptr;
    return &entry;
}

void replay(ConversionState& s, const CachedStyleLayers& entry) {
    writeLiteral(s.output, std::string_view(s.styleLayers->arena.data() + entry.offset, entry.length));
    s.input.bytesRead += entry.countedDuring;
    s.input.pos = entry.readEnd;
    s.input.readingFrom = entry.readingFrom;
    s.layerBytesRead = entry.layerBytesRead;
    s.exactLineSpacing = entry.exactLineSpacingAfter;
    s.input.endedEarly = s.input.endedEarly || entry.endedEarly;
}

void translate(ConversionState& s) {
    s.inStyleDefinition = true;
    translateAttributeLayer(s, TranslateLayer);
    translateAttributeLayer(s, TranslateLayer);
    s.inStyleDefinition = false;
}

// Keeps what the translation wrote when it is all still in the output
// buffer, nothing stopped it, and the arena has room.
void record(ConversionState& s, CachedStyleLayers& entry, int32_t layers, uint64_t startPosition, uint64_t countedBefore) {
    StyleLayerCache& cache = *s.styleLayers;
    const RtfOutput& out = s.output;
    // A flush part-way has taken some of the bytes out of the buffer.
    if (startPosition < out.bytesWritten || out.failed) return;
    if (s.input.readLimitExceeded) return;
    uint64_t length = outputPosition(out) - startPosition;
    if (length > cache.arena.size() - cache.arenaUsed) return;
    const char* written = out.buffer.data() + (startPosition - out.bytesWritten);
    std::copy(written, written + length, cache.arena.data() + cache.arenaUsed);
    entry = CachedStyleLayers{true,
                              layers,
                              static_cast<uint32_t>(cache.arenaUsed),
                              static_cast<uint32_t>(length),
                              s.input.pos,
                              s.input.readingFrom,
                              s.input.bytesRead - countedBefore,
                              s.layerBytesRead,
                              s.exactLineSpacing,
                              s.input.endedEarly};
    cache.arenaUsed += length;
}

}  // namespace

void writeStyleLayers(ConversionState& s, int styleIndex, int32_t layers) {
    if (!cacheable(s)) return translate(s);
    if (!s.styleLayers) s.styleLayers = std::make_unique_for_overwrite<StyleLayerCache>();
    if (const CachedStyleLayers* entry = usableEntry(s, styleIndex, layers)) {
        ++s.styleLayers->hits;
        return replay(s, *entry);
    }
    CachedStyleLayers& entry = s.styleLayers->entries[static_cast<size_t>(styleIndex)][s.exactLineSpacing ? 1 : 0];
    uint64_t startPosition = outputPosition(s.output);
    uint64_t countedBefore = s.input.bytesRead;
    translate(s);
    record(s, entry, layers, startPosition, countedBefore);
}

}  // namespace zentoro
