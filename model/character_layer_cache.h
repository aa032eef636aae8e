// What a phrase's character layer does, remembered by its bytes. Real
// documents repeat a few hundred phrase formats thousands of times, and
// comparing a layer's bytes costs far less than decoding it record by
// record. What is kept is the layer's effect (the fields it sets and their
// values), so that one entry serves the layer over any format beneath it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/document.h"

namespace zentoro {

// The character fields a layer sets.
enum CharacterField : uint8_t {
    FontField = 1,
    SizeField = 2,
    BoldField = 4,
    ItalicField = 8,
    UnderlineField = 16,
    StrikethroughField = 32,
    PositionField = 64,
    ColourField = 128,
};

struct CharacterLayerEffect {
    uint8_t fields = 0;     // CharacterField bits
    CharacterFormat values;  // the value of each field set
};

// Sets the fields the effect names, leaving the others as they were.
void applyEffect(const CharacterLayerEffect& effect, CharacterFormat& format);

struct CharacterLayerCache {
    struct Entry {
        std::span<const unsigned char> layer;  // the layer's records, in the input
        CharacterLayerEffect effect;
    };
    static constexpr unsigned FewestSlotBits = 10;
    static constexpr unsigned MostSlotBits = 14;
    unsigned slotBits = FewestSlotBits;  // 2 to this many slots
    std::vector<Entry> entries;          // made on first use
    uint64_t hits = 0;                   // layers taken from the cache rather than decoded
};

// Gives the cache a slot per KiB of a document of `inputBytes`, from 1,024
// to 16,384: a long document can hold thousands of distinct phrase formats,
// and a short one should not pay for room it cannot fill.
void sizeForDocument(CharacterLayerCache& cache, size_t inputBytes);

// The slot a layer of these bytes is kept in.
size_t cacheSlot(const CharacterLayerCache& cache, std::span<const unsigned char> layer);

// The effect remembered in `slot` for a layer of these bytes, or null.
const CharacterLayerEffect* findCached(CharacterLayerCache& cache, size_t slot, std::span<const unsigned char> layer);

void remember(CharacterLayerCache& cache, size_t slot, std::span<const unsigned char> layer,
              const CharacterLayerEffect& effect);

}  // namespace zentoro
