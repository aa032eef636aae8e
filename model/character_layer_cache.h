// What a phrase's character layer does, remembered by its bytes. Real
// documents repeat a few hundred phrase formats thousands of times, and
// comparing a layer's bytes costs far less than decoding it record by
// record. What is kept is the layer's effect (the fields it sets and their
// values), so that one entry serves the layer over any format beneath it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/document.h"
#include "reader/slot_growth.h"

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
    // A copy of the layer's bytes is kept beside its effect, so that a
    // lookup reads one entry and not the layer's first place in the input.
    static constexpr size_t LongestLayer = 54;
    struct Entry {
        uint64_t hash = 0;
        uint8_t length = 0;  // of the layer; 0: empty
        std::array<unsigned char, LongestLayer> bytes;
        CharacterLayerEffect effect;
    };
    static constexpr unsigned FewestSlotBits = 10;
    static constexpr unsigned MostSlotBits = 14;
    SlotGrowth growth{FewestSlotBits, FewestSlotBits};
    std::vector<Entry> entries;  // made on first use, and anew as it grows
    uint64_t hits = 0;           // layers taken from the cache rather than decoded
};

// Lets the cache grow, where layers seldom repeat, to a slot per KiB of a
// document of `inputBytes`, up to 16,384: a short document cannot hold the
// distinct layers that would fill more.
void sizeForDocument(CharacterLayerCache& cache, size_t inputBytes);

// The effect remembered for a layer of these bytes, or null.
const CharacterLayerEffect* findCached(CharacterLayerCache& cache, std::span<const unsigned char> layer);

// Layers longer than LongestLayer bytes are not remembered.
void remember(CharacterLayerCache& cache, std::span<const unsigned char> layer, const CharacterLayerEffect& effect);

}  // namespace zentoro
