// Phrase layers are decoded once and remembered by their bytes: what is
// remembered is what a layer sets, so the same layer over different formats
// beneath it gives each its own result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/character_layer_cache.h"
#include "model/read_document.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

namespace built = zentoro::testing;

TEST(CharacterLayerCache, HitsOnlyForTheSameBytesWhereverTheyLie) {
    const std::vector<unsigned char> first = {30, 1, 29, 1}, again = first, other = {30, 1, 29, 0};
    CharacterLayerCache cache;
    CharacterLayerEffect bold{BoldField, {}};
    bold.values.bold = true;
    remember(cache, cacheSlot(cache, first), first, bold);
    const CharacterLayerEffect* hit = findCached(cache, cacheSlot(cache, again), again);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->fields, BoldField);
    EXPECT_EQ(findCached(cache, cacheSlot(cache, other), other), nullptr);
    EXPECT_EQ(cache.hits, 1u);
}

// A long document's cache keeps thousands of distinct layers at once; a
// short one's stays small.
TEST(CharacterLayerCache, KeepsMoreDistinctLayersForALongerDocument) {
    struct Case {
        size_t documentBytes;
        size_t fewestKept, mostKept;
    };
    constexpr size_t Layers = 3000;
    std::vector<std::vector<unsigned char>> layers;
    for (size_t i = 0; i < Layers; ++i) layers.push_back({28, static_cast<unsigned char>(i), static_cast<unsigned char>(i >> 8)});
    for (const Case& c : {Case{20000, 0, 1024}, Case{size_t{64} << 20, 2400, Layers}}) {
        CharacterLayerCache cache;
        sizeForDocument(cache, c.documentBytes);
        for (const auto& layer : layers) remember(cache, cacheSlot(cache, layer), layer, {});
        size_t kept = 0;
        for (const auto& layer : layers) kept += findCached(cache, cacheSlot(cache, layer), layer) != nullptr;
        EXPECT_GE(kept, c.fewestKept) << c.documentBytes;
        EXPECT_LE(kept, c.mostKept) << c.documentBytes;
    }
}

TEST(CharacterLayerCache, TheSameLayerOverDifferentStylesKeepsWhatEachStyleSets) {
    built::StyleSection styles;
    styles.styles.push_back(built::Style{"Slanted", built::Layer(), built::Layer().italic().font("Courier New")});
    styles.styles.push_back(built::Style{"Heavy", built::Layer(), built::Layer().bold().fontSize(300)});
    built::Layer phrase = built::Layer().fontSize(360).underline().font("Arial");
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
        EXPECT_EQ(f.italic, i != 1);
        EXPECT_EQ(f.bold, i == 1);
    }
}

}  // namespace
}  // namespace zentoro
