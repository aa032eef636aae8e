#include "model/character_layer_cache.h"

#include <algorithm>
#include <cstring>

namespace zentoro {

namespace {

uint64_t hashOf(std::span<const unsigned char> layer) {
    // Multiplicative hashing of eight bytes at a time.
    uint64_t hash = layer.size();
    size_t at = 0;
    for (; at + 8 <= layer.size(); at += 8) {
        uint64_t word;
        std::memcpy(&word, layer.data() + at, 8);
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    }
    for (; at < layer.size(); ++at) hash = (hash ^ layer[at]) * 0x9E3779B97F4A7C15ull;
    return hash;
}

CharacterLayerCache::Entry& entryFor(CharacterLayerCache& cache, uint64_t hash) {
    return cache.entries[static_cast<size_t>(hash >> (64 - cache.growth.bits))];
}

const CharacterLayerEffect* lookUp(CharacterLayerCache& cache, std::span<const unsigned char> layer) {
    if (cache.entries.empty() || layer.empty() || layer.size() > CharacterLayerCache::LongestLayer) return nullptr;
    uint64_t hash = hashOf(layer);
    const CharacterLayerCache::Entry& entry = entryFor(cache, hash);
    if (entry.hash != hash || entry.length != layer.size()) return nullptr;
    if (!std::equal(layer.begin(), layer.end(), entry.bytes.begin())) return nullptr;
    return &entry.effect;
}

}  // namespace

void sizeForDocument(CharacterLayerCache& cache, size_t inputBytes) {
    cache.growth = slotGrowthFor(inputBytes, 1024, CharacterLayerCache::FewestSlotBits, CharacterLayerCache::MostSlotBits);
    cache.entries.clear();
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

const CharacterLayerEffect* findCached(CharacterLayerCache& cache, std::span<const unsigned char> layer) {
    if (timeToGrow(cache.growth)) cache.entries.clear();
    const CharacterLayerEffect* found = lookUp(cache, layer);
    countLookup(cache.growth, found != nullptr);
    if (found != nullptr) ++cache.hits;
    return found;
}

void remember(CharacterLayerCache& cache, std::span<const unsigned char> layer, const CharacterLayerEffect& effect) {
    if (layer.empty() || layer.size() > CharacterLayerCache::LongestLayer) return;
    if (cache.entries.empty()) cache.entries.resize(size_t{1} << cache.growth.bits);
    uint64_t hash = hashOf(layer);
    CharacterLayerCache::Entry& entry = entryFor(cache, hash);
    entry.hash = hash;
    entry.length = static_cast<uint8_t>(layer.size());
    std::copy(layer.begin(), layer.end(), entry.bytes.begin());
    entry.effect = effect;
}

}  // namespace zentoro
