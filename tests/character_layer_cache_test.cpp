// Phrase layers are decoded once and remembered by their bytes: what is
// remembered is what a layer sets, so the same layer over different formats
// beneath it gives each its own result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/character_layer_cache.h"
#include "model/read_document.h"
#include "reader/slot_growth.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

namespace built = zentoro::testing;

TEST(CharacterLayerCache, HitsOnlyForTheSameBytesWhereverTheyLie) {
    const std::vector<unsigned char> first = {30, 1, 29, 1}, again = first, other = {30, 1, 29, 0};
    CharacterLayerCache cache;
    CharacterLayerEffect bold{BoldField, {}};
    bold.values.bold = true;
    remember(cache, first, bold);
    const CharacterLayerEffect* hit = findCached(cache, again);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->fields, BoldField);
    EXPECT_EQ(findCached(cache, other), nullptr);
    EXPECT_EQ(cache.hits, 1u);
    // A layer is kept only where its bytes fit beside its effect.
    for (size_t length : {CharacterLayerCache::LongestLayer, CharacterLayerCache::LongestLayer + 1}) {
        const std::vector<unsigned char> layer(length, 7);
        remember(cache, layer, bold);
        EXPECT_EQ(findCached(cache, layer) != nullptr, length <= CharacterLayerCache::LongestLayer) << length;
    }
    // Long layers that differ only in their first eight bytes spread over
    // the slots: nearly all of them are kept at once.
    CharacterLayerCache spread;
    std::vector<std::vector<unsigned char>> layers;
    for (unsigned char i = 0; i < 64; ++i) layers.push_back({28, i, 0, 0, 0, 0, 0, 0, 30, 1, 29, 1, 26, 1, 25, 1});
    for (const auto& layer : layers) remember(spread, layer, bold);
    size_t kept = 0;
    for (const auto& layer : layers) kept += findCached(spread, layer) != nullptr;
    EXPECT_GE(kept, 56u);
}

// The cache grows where layers seldom repeat, as far as the document's size
// allows, and stays small where they do.
TEST(CharacterLayerCache, GrowsForManyDistinctLayersInALongDocumentOnly) {
    struct Case {
        const char* name;
        size_t distinct;
        size_t documentBytes;
        size_t fewestKept, mostKept, slots;
    };
    const Case cases[] = {
        {"many layers, long document", 3000, size_t{64} << 20, 2400, 3000, 16384},
        {"many layers, short document", 3000, 20000, 0, 1024, 1024},
        {"few layers, long document", 200, size_t{64} << 20, 150, 200, 1024},
    };
    for (const Case& c : cases) {
        CharacterLayerCache cache;
        sizeForDocument(cache, c.documentBytes);
        std::vector<std::vector<unsigned char>> layers;
        for (size_t i = 0; i < c.distinct; ++i) {
            layers.push_back({28, static_cast<unsigned char>(i), static_cast<unsigned char>(i >> 8)});
        }
        size_t kept = 0;
        for (int round = 0; round < 40000 / static_cast<int>(c.distinct); ++round) {
            kept = 0;
            for (const auto& layer : layers) {
                if (findCached(cache, layer) != nullptr) {
                    ++kept;
                } else {
                    remember(cache, layer, {});
                }
            }
        }
        EXPECT_GE(kept, c.fewestKept) << c.name;
        EXPECT_LE(kept, c.mostKept) << c.name;
        EXPECT_EQ(cache.entries.size(), c.slots) << c.name;
    }
}

// The tables of remembered layers and formats double after a whole window
// of lookups that missed more than a quarter, never past their ceiling.
TEST(SlotGrowth, DoublesAfterAWholeWindowThatMissesMoreThanAQuarter) {
    struct Case {
        const char* name;
        unsigned bits, mostBits;
        uint32_t lookups, misses;
        bool grows;
    };
    const Case cases[] = {
        {"a window of misses", 6, 12, 4096, 4096, true},
        {"one lookup short of a window", 6, 12, 4095, 4095, false},
        {"a quarter missed", 6, 12, 4096, 1024, false},
        {"one more than a quarter missed", 6, 12, 4096, 1025, true},
        {"at the ceiling", 12, 12, 4096, 4096, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SlotGrowth growth{c.bits, c.mostBits};
        for (uint32_t i = 0; i < c.lookups; ++i) countLookup(growth, i >= c.misses);
        EXPECT_EQ(timeToGrow(growth), c.grows);
        EXPECT_EQ(growth.bits, c.bits + (c.grows ? 1 : 0));
        EXPECT_EQ(growth.lookups, c.lookups < SlotGrowth::Window ? c.lookups : 0u);
    }
    // The ceiling: a slot per 1 KiB of a 64 MiB document is 2^16, within 2^14.
    EXPECT_EQ(slotGrowthFor(size_t{64} << 20, 1024, 10, 14).mostBits, 14u);
    EXPECT_EQ(slotGrowthFor(size_t{4} << 20, 1024, 10, 14).mostBits, 13u);
    EXPECT_EQ(slotGrowthFor(1000, 1024, 10, 14).mostBits, 10u);
}

TEST(CharacterLayerCache, TheSameLayerOverDifferentStylesKeepsWhatEachStyleSets) {
    built::StyleSection styles;
    styles.styles.push_back(built::Style{"Slanted", built::Layer(), built::Layer().italic().font("Courier New")});
    styles.styles.push_back(built::Style{"Heavy", built::Layer(), built::Layer().bold().fontSize(300)});
    built::Layer phrase = built::Layer().fontSize(360).underline().font("Arial").colour(0x11, 0x22, 0x33);
    built::TextLayoutSection layout;
    for (int style : {255, 254, 255}) {
        built::Paragraph own{3, 0, built::Layer(), style};
        own.phrases = {built::Phrase{3, phrase}};
        layout.paragraphs.push_back(own);
    }
    std::vector<uint8_t> bytes =
        built::WordDocument().styles(styles).text("Ab\x06" "Cd\x06" "Ef\x06").textLayout(layout).build();
    Document d;
    ASSERT_TRUE(readDocument(std::span<const unsigned char>(bytes.data(), bytes.size()), d).succeeded());
    ASSERT_EQ(d.body.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const CharacterFormat& f = d.body[i].runs.at(0).format;
        EXPECT_EQ(f.size, 360);
        EXPECT_TRUE(f.underline);
        EXPECT_EQ(d.fonts.at(static_cast<size_t>(f.font)).name, "Arial");
        EXPECT_EQ(f.colour, (Colour{0x11, 0x22, 0x33}));
        EXPECT_EQ(f.italic, i != 1);
        EXPECT_EQ(f.bold, i == 1);
    }
}

}  // namespace
}  // namespace zentoro
