// When a table of remembered results, one per slot, is worth doubling.
// Judged over windows of lookups: a table that misses more than a quarter
// of a window's lookups doubles, up to a ceiling the caller sets by the
// input's size. A document that repeats a few formats keeps a small table
// that stays in the processor's cache; one with thousands gets room for them.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace zentoro {

struct SlotGrowth {
    static constexpr uint32_t Window = 4096;
    unsigned bits = 0;      // the table has 2^bits slots
    unsigned mostBits = 0;  // and never more than 2^mostBits
    uint32_t lookups = 0;   // in the current window
    uint32_t misses = 0;
};

// Growth from 2^fewestBits slots up to one per `bytesPerSlot` of `bytes`,
// within 2^mostBits.
inline SlotGrowth slotGrowthFor(size_t bytes, size_t bytesPerSlot, unsigned fewestBits, unsigned mostBits) {
    auto bits = static_cast<unsigned>(std::bit_width(bytes / bytesPerSlot));
    return SlotGrowth{fewestBits, std::clamp(bits, fewestBits, mostBits)};
}

inline void countLookup(SlotGrowth& growth, bool hit) {
    ++growth.lookups;
    if (!hit) ++growth.misses;
}

// At the end of a window: true when the table must now be made anew with
// growth.bits, which has been raised.
inline bool timeToGrow(SlotGrowth& growth) {
    if (growth.lookups < SlotGrowth::Window) return false;
    bool grow = growth.misses > growth.lookups / 4 && growth.bits < growth.mostBits;
    growth.lookups = growth.misses = 0;
    if (grow) ++growth.bits;
    return grow;
}

}  // namespace zentoro
