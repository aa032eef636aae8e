#include "model/character_layer_cache.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zentoro {

void sizeForDocument(CharacterLayerCache& cache, size_t inputBytes) {
    auto bits = static_cast<unsigned>(std::bit_width(inputBytes / 1024));
    cache.slotBits = std::clamp(bits, CharacterLayerCache::FewestSlotBits, CharacterLayerCache::MostSlotBits);
    cache.entries.clear();
}

size_t cacheSlot(const CharacterLayerCache& cache, std::span<const unsigned char> layer) {
    // Multiplicative hashing of eight bytes at a time.
    uint64_t hash = layer.size();
    size_t at = 0;
    for (; at + 8 <= layer.size(); at += 8) {
        uint64_t word;
        std::memcpy(&word, layer.data() + at, 8);
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    }
    for (; at < layer.size(); ++at) hash = (hash ^ layer[at]) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(hash >> (64 - cache.slotBits));
}

void applyEffect(const CharacterLayerEffect& effect, CharacterFormat& format) {
    const CharacterFormat& v = effect.values;
    uint8_t fields = effect.fields;
    if (fields & FontField) format.font = v.font;
    if (fields & SizeField) format.size = v.size;
    if (fields & BoldField) format.bold = v.bold;
    if (fields & ItalicField) format.italic = v.italic;
    if (fields & UnderlineField) format.underline = v.underline;
    if (fields & StrikethroughField) format.strikethrough = v.strikethrough;
    if (fields & PositionField) format.position = v.position;
    if (fields & ColourField) format.colour = v.colour;
}

const CharacterLayerEffect* findCached(CharacterLayerCache& cache, size_t slot, std::span<const unsigned char> layer) {
    if (cache.entries.empty()) return nullptr;
    const CharacterLayerCache::Entry& entry = cache.entries[slot];
    if (entry.layer.data() == nullptr || entry.layer.size() != layer.size()) return nullptr;
    if (!std::equal(layer.begin(), layer.end(), entry.layer.begin())) return nullptr;
    ++cache.hits;
    return &entry.effect;
}

void remember(CharacterLayerCache& cache, size_t slot, std::span<const unsigned char> layer,
              const CharacterLayerEffect& effect) {
    if (cache.entries.empty()) cache.entries.resize(size_t{1} << cache.slotBits);
    cache.entries[slot] = {layer, effect};
}

}  // namespace zentoro
