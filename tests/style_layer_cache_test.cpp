// A style's layers copied from what an earlier paragraph of the style wrote
// give the same bytes, the same result and the same limits as translating
// them again, whatever state the paragraphs enter them in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "reader/conversion_limits.h"
#include "reader/header_check.h"
#include "reader/uid_header.h"
#include "reader/word_uids.h"
#include "rtf/section_dispatch.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/scaled_document.h"
#include "tests/builder/stress_documents.h"

namespace zentoro {
namespace {

using namespace testing;

struct CacheRun {
    bool converted = false;
    std::string rtf;
    int cachedEntries = 0;  // styles the style cache holds at the end
    int cachedLayers = 0;   // layers the layer cache holds at the end
    uint64_t styleHits = 0;  // style layers copied
    uint64_t layerHits = 0;  // paragraph and phrase layers copied
    uint64_t layerLookups = 0;
};

// Converts as convertDocumentBytes does, with the cache on or off.
CacheRun convertWithCache(const std::vector<uint8_t>& document, bool enabled) {
    StateOver s(document);
    s->layerCachesFrom = enabled ? 0 : SIZE_MAX;
    CacheRun run;
    if (!hasWordHeaderUids(s->input)) return run;
    s->output.sizeLimit = outputLimitFor(document.size());
    s->input.readLimit = readLimitFor(document.size());
    translateSections(s.state());
    run.converted = finishOutput(s->output) && !s->input.readLimitExceeded;
    run.rtf = s.output();
    if (s->styleLayers) {
        run.styleHits = s->styleLayers->hits;
        for (const auto& style : s->styleLayers->entries) {
            for (const CachedStyleLayers& entry : style) run.cachedEntries += entry.filled ? 1 : 0;
        }
    }
    if (s->layerOutputs) {
        run.layerHits = s->layerOutputs->hits;
        run.layerLookups = s->layerOutputs->lookups;
        for (const CachedLayer& entry : s->layerOutputs->slots) run.cachedLayers += entry.filled ? 1 : 0;
    }
    return run;
}

// Styles whose layers switch exact line spacing on, off, or leave it and
// write a line spacing that depends on it; one with a record of unknown
// size, which ends its layer by a seek; paragraphs of one character, whose
// style layers are passed over.
std::vector<uint8_t> lineSpacingStyles() {
    StyleSection styles;
    styles.styles = {
        {"Exact", Layer().exactLineSpacing(1).lineSpacing(240), Layer().bold()},
        {"Depends", Layer().lineSpacing(200).leftIndent(10), Layer().font("Arial").fontSize(200)},
        {"AtLeast", Layer().exactLineSpacing(0).lineSpacing(300), Layer().italic()},
        {"Unknown", Layer().spaceAfter(5).record(200).lineSpacing(1), Layer().lineSpacing(7).underline()},
    };
    TextLayoutSection layout;
    for (int styleRef : {0, 255, 255, 254, 253}) layout.formats.push_back({Layer().alignment(1), styleRef, Layer()});
    layout.formats.push_back({Layer().lineSpacing(50), 252, Layer()});
    std::string text;
    const int sequence[] = {3, 4, 2, 4, 4, 5, 1, 5, 6, 3, 6, 4, 2, 2, 5, 6};
    for (int i = 0; i < 48; ++i) {
        int format = sequence[i % std::size(sequence)];
        uint32_t characters = i % 7 == 3 ? 1 : 5;
        text += std::string(characters - 1, 'a' + static_cast<char>(i % 26)) + ParagraphEnd;
        if (i % 3 == 2) {
            Layer own = Layer().exactLineSpacing(i % 2).lineSpacing(100 + i);
            layout.paragraphs.push_back(
                Paragraph{characters, 0, own, 251 + i % 5, {Phrase{characters, Layer().lineSpacing(i)}}});
        } else {
            layout.paragraphs.push_back(Paragraph{characters, format});
        }
    }
    return WordDocument().styles(styles).text(text).textLayout(layout).build();
}

// A style whose paragraph layer ends in a record of unknown size after
// `silentRecords` records that write nothing, so that most of what its
// layers read is counted by the seek to the layer's end; `paragraphs`
// shared-format paragraphs refer to it.
std::vector<uint8_t> styleEndingInUnknownRecord(uint32_t silentRecords, uint32_t paragraphs) {
    Layer heavy;
    for (uint32_t i = 0; i < silentRecords; ++i) heavy.record(24, Bytes().u8(1));
    heavy.record(200);
    StyleSection styles;
    styles.styles = {{"Heavy", heavy, Layer()}};
    TextLayoutSection layout;
    layout.formats = {{Layer(), 255, Layer()}};
    layout.paragraphs.assign(paragraphs, Paragraph{0, 1});
    return WordDocument().styles(styles).text("").textLayout(layout).build();
}

// Phrase layers that declare three bytes but whose last record runs on past
// them, the two alike in what they declare and different in what follows;
// phrase layers that switch exact line spacing on and off before a line
// spacing; shared formats whose line spacing is written after styles that
// switch it on and off.
std::vector<uint8_t> overrunningLayers() {
    StyleSection styles;
    styles.styles = {{"Exact", Layer().exactLineSpacing(1), Layer()}, {"AtLeast", Layer().exactLineSpacing(0), Layer()}};
    TextLayoutSection layout;
    layout.formats = {{Layer().lineSpacing(50), 255, Layer()}, {Layer().lineSpacing(50), 254, Layer()}};
    const Layer small = Layer().bold().fontSize(200).declaredLength(3);
    const Layer large = Layer().bold().fontSize(240).declaredLength(3);
    std::string text;
    for (int i = 0; i < 60; ++i) {
        text += "abc";
        text += ParagraphEnd;
        if (i % 3 == 2) {
            layout.paragraphs.push_back(Paragraph{4, 1 + i % 2});
        } else {
            Layer exact = Layer().exactLineSpacing(i % 5 < 2 ? 1 : 0);
            layout.paragraphs.push_back(Paragraph{4, 0, Layer(), 0,
                                                  {Phrase{1, i % 4 < 2 ? small : large}, Phrase{1, exact},
                                                   Phrase{2, Layer().lineSpacing(70)}}});
        }
    }
    std::vector<uint8_t> document = WordDocument().styles(styles).text(text).textLayout(layout).build();
    return document;
}

TEST(StyleLayerCache, CopiedLayersWriteWhatTranslatingThemWrites) {
    struct Case {
        const char* name;
        std::vector<uint8_t> document;
        bool converts;
        bool cacheUsed;
        bool layerCacheUsed = true;
        bool repeats = false;  // paragraphs repeat their styles and layers
    };
    const Case cases[] = {
        {"sample", sampleDocument(), true, true},
        {"layers read past their declared end", overrunningLayers(), true, true},
        {"rich document", richDocument(), true, true},
        {"line spacing states", lineSpacingStyles(), true, true},
        {"many phrases", manyPhrasesDocument(40000), true, true, true, true},
        {"scaled", scaledDocument(40000), true, true, true, true},
        {"reading ended by a seek", styleEndingInUnknownRecord(1000, 1000), true, true, false},
        {"stopped by the read limit", styleEndingInUnknownRecord(4000, 10000), false, true, false},
        {"stopped by the output limit", heavyStyleDocument(1000, 3000, StyleRecords::Writing), false, true, false},
        {"layers too large to keep", heavyStyleDocument(20000, 20, StyleRecords::Writing), true, false, false},
    };
    for (const Case& c : cases) {
        CacheRun translated = convertWithCache(c.document, false);
        CacheRun copied = convertWithCache(c.document, true);
        EXPECT_EQ(translated.converted, c.converts) << c.name;
        EXPECT_EQ(copied.converted, translated.converted) << c.name;
        EXPECT_EQ(copied.rtf.size(), translated.rtf.size()) << c.name;
        EXPECT_TRUE(copied.rtf == translated.rtf) << c.name;
        EXPECT_EQ(copied.cachedEntries > 0, c.cacheUsed) << c.name;
        EXPECT_EQ(translated.cachedEntries, 0) << c.name;
        EXPECT_EQ(copied.cachedLayers > 0, c.layerCacheUsed) << c.name;
        EXPECT_EQ(translated.cachedLayers, 0) << c.name;
        // What is kept is also found again where paragraphs repeat their styles and layers.
        if (c.repeats) {
            EXPECT_GT(copied.styleHits, 0u) << c.name;
            EXPECT_GT(copied.layerHits, 0u) << c.name;
        }
        // And nothing is found where nothing could be kept.
        if (!c.cacheUsed) {
            EXPECT_EQ(copied.styleHits, 0u) << c.name;
        }
        EXPECT_EQ(translated.styleHits + translated.layerHits, 0u) << c.name;
    }
}

// Paragraphs of one phrase each, every phrase in a size of its own.
std::vector<uint8_t> distinctPhrases(int paragraphs) {
    TextLayoutSection layout;
    std::string text;
    for (int i = 0; i < paragraphs; ++i) {
        text += "ab";
        text += ParagraphEnd;
        layout.paragraphs.push_back(Paragraph{3, 0, Layer(), 0, {Phrase{3, Layer().fontSize(100 + i)}}});
    }
    return WordDocument().text(text).textLayout(layout).build();
}

// Layers of a few bytes, shorter than the word the longer ones are compared
// in, are found again too: paragraphs of one bold phrase each.
TEST(StyleLayerCache, ShortLayersRepeatedAreCopied) {
    TextLayoutSection layout;
    std::string text;
    for (int i = 0; i < 50; ++i) {
        text += "ab";
        text += ParagraphEnd;
        layout.paragraphs.push_back(Paragraph{3, 0, Layer(), 0, {Phrase{3, Layer().bold()}}});
    }
    std::vector<uint8_t> document = WordDocument().text(text).textLayout(layout).build();
    CacheRun copied = convertWithCache(document, true);
    EXPECT_TRUE(copied.rtf == convertWithCache(document, false).rtf);
    EXPECT_GE(copied.layerHits, 49u);
}

// The layer cache judges itself after LookupsBeforeJudging lookups: it
// stops looking where layers seldom repeat, and goes on where they do.
TEST(StyleLayerCache, TheLayerCacheStopsLookingWhereLayersSeldomRepeat) {
    CacheRun distinct = convertWithCache(distinctPhrases(2000), true);
    EXPECT_TRUE(distinct.converted);
    EXPECT_EQ(distinct.layerLookups, LookupsBeforeJudging);
    EXPECT_LT(distinct.layerHits * 4, distinct.layerLookups);
    CacheRun repeating = convertWithCache(scaledDocument(200000), true);
    EXPECT_GT(repeating.layerLookups, 2 * LookupsBeforeJudging);
    EXPECT_GE(repeating.layerHits * 4, repeating.layerLookups);
}

// Layers that run into the end of the input read it as the end, which a
// copy made where the input went on must not stand in for.
TEST(StyleLayerCache, TruncatedDocumentsWriteWhatTranslatingThemWrites) {
    std::vector<uint8_t> whole = richDocumentDictionaryFirst();
    for (size_t size = 12; size <= whole.size(); size += 7) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        CacheRun translated = convertWithCache(cut, false);
        CacheRun copied = convertWithCache(cut, true);
        EXPECT_EQ(copied.converted, translated.converted) << size;
        EXPECT_TRUE(copied.rtf == translated.rtf) << size;
    }
}

uint32_t u32At(const std::vector<uint8_t>& bytes, size_t at) { return headerLong(bytes.data(), bytes.size(), at); }

// Where the text layout section lies: from its listed position to the
// next section or the section table, whichever comes first.
std::pair<size_t, size_t> textLayoutSection(const std::vector<uint8_t>& document) {
    size_t table = u32At(document, DictionaryOffsetPosition);
    size_t entries = document[table] / 2;
    size_t layout = 0, end = table;
    for (size_t i = 0; i < entries; ++i) {
        if (u32At(document, table + 1 + 8 * i) == TextLayoutSectionUid) layout = u32At(document, table + 5 + 8 * i);
    }
    for (size_t i = 0; i < entries; ++i) {
        size_t at = u32At(document, table + 5 + 8 * i);
        if (at > layout && at < end) end = at;
    }
    return {layout, end};
}

// The document's text layout listed twice in its section table: first a
// copy of its first `kept` bytes, at the very end of the file, then the
// whole section where it stood.
std::vector<uint8_t> layoutCutCopyFirst(const std::vector<uint8_t>& document, size_t kept) {
    size_t table = u32At(document, DictionaryOffsetPosition);
    auto [layout, end] = textLayoutSection(document);
    std::vector<uint8_t> listed(document.begin(), document.begin() + static_cast<std::ptrdiff_t>(table));
    Bytes entry = Bytes().u8(document[table] + 2).u32(TextLayoutSectionUid).u32(static_cast<uint32_t>(document.size() + 8));
    listed.insert(listed.end(), entry.data.begin(), entry.data.end());
    listed.insert(listed.end(), document.begin() + static_cast<std::ptrdiff_t>(table) + 1, document.end());
    listed.insert(listed.end(), document.begin() + static_cast<std::ptrdiff_t>(layout),
                  document.begin() + static_cast<std::ptrdiff_t>(std::min(end, layout + kept)));
    return listed;
}

// A layer whose reading ran into the end of the input, in a copy of the
// text layout cut short, is not copied where the same bytes come again
// with the input going on: there its records are read whole.
TEST(StyleLayerCache, ALayerCutByTheEndIsNotCopiedWhereTheInputGoesOn) {
    std::vector<uint8_t> document = overrunningLayers();
    auto [layout, end] = textLayoutSection(document);
    ASSERT_LT(layout, end);
    for (size_t kept = 1; kept < end - layout; ++kept) {
        std::vector<uint8_t> listedTwice = layoutCutCopyFirst(document, kept);
        CacheRun translated = convertWithCache(listedTwice, false);
        CacheRun copied = convertWithCache(listedTwice, true);
        EXPECT_EQ(copied.converted, translated.converted) << kept;
        EXPECT_TRUE(copied.rtf == translated.rtf) << kept;
    }
}

// The same document through the library, against what it converted to
// before the cache and the text runs copied in spans.
TEST(StyleLayerCache, ManyPhrasesDocumentConvertsToTheRecordedBytes) {
    Conversion c = convertBytes(manyPhrasesDocument(60000));
    ASSERT_EQ(c.result, 0);
    EXPECT_EQ(c.rtf.size(), 283875u);
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char byte : c.rtf) hash = (hash ^ byte) * 0x100000001b3ULL;
    EXPECT_EQ(hash, 17878075784818143641ULL);
}

}  // namespace
}  // namespace zentoro
