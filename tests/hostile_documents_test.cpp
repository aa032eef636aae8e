// Damaged and hostile documents: counts, lengths and positions that no real
// document holds. Each converts quickly and writes no more than its output
// limit; it fails when a limit stopped it or when it reads past its own end,
// and what could be converted is still written. The sanitize preset checks
// that nothing is read or written out of bounds.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "reader/conversion_limits.h"
#include "reader/word_uids.h"
#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"

namespace zentoro {
namespace {

using namespace testing;

constexpr uint32_t AllOnes = 0xFFFFFFFF;
// Far above what any of these documents needs, even in the sanitize build,
// and far below what a converter that trusts their counts would take.
constexpr double HangSeconds = 5.0;
constexpr int Converted = 0;
constexpr int Failed = 1;
constexpr int FirstStyle = 255;
// The rich document ends with its last phrase, which is read to its last byte.
constexpr size_t RichDocumentUnreadTail = 0;

size_t occurrences(const std::string& text, const std::string& word) {
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++count;
    return count;
}

// Converts the document, checking what every conversion must do whatever
// its input: finish in time, with a result of 0 or 1, within the output limit.
Conversion convertHostile(const std::vector<uint8_t>& document) {
    auto start = std::chrono::steady_clock::now();
    Conversion c = convertBytes(document);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, HangSeconds);
    EXPECT_TRUE(c.result == Converted || c.result == Failed) << c.result;
    EXPECT_LE(c.rtf.size(), outputLimitFor(document.size()));
    return c;
}

// A document with a style, one shared format and the given paragraphs.
std::vector<uint8_t> bodyDocument(const TextLayoutSection& layout, std::string_view text) {
    StyleSection styles;
    styles.styles.push_back(Style{"Body", Layer().leftIndent(100), Layer().bold()});
    return WordDocument().styles(styles).text(text).textLayout(layout).build();
}

Paragraph ownFormat(uint32_t characters, std::vector<Phrase> phrases) {
    Paragraph paragraph{characters, 0, Layer().spaceAfter(60), FirstStyle};
    paragraph.phrases = std::move(phrases);
    return paragraph;
}

// The counting pass reads the phrases and the dictionary as paragraphs too,
// so it finds no phrase list before the end of the input.
TEST(HostileCounts, ParagraphCountOfAllOnesEndsWithTheInput) {
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{Layer().alignment(1), FirstStyle});
    layout.paragraphs = {Paragraph{4, 1}, ownFormat(4, {Phrase{4, Layer().italic()}})};
    layout.paragraphCount = AllOnes;
    Conversion c = convertHostile(bodyDocument(layout, "one\x06two\x06"));
    EXPECT_EQ(c.result, Failed);
    EXPECT_NE(c.rtf.find("{\\pard \\qc \\s254 \\li100 \\b one"), std::string::npos);
    EXPECT_EQ(c.rtf.back(), '}');
}

TEST(HostileCounts, PhraseCountOfAllOnesEndsWithTheInput) {
    TextLayoutSection layout;
    Paragraph paragraph = ownFormat(4, {Phrase{4, Layer().bold()}});
    paragraph.phraseCount = AllOnes;
    layout.paragraphs = {paragraph};
    Conversion c = convertHostile(bodyDocument(layout, "one\x06"));
    EXPECT_EQ(c.result, Failed);
    EXPECT_NE(c.rtf.find("one"), std::string::npos);
}

TEST(HostileCounts, MostTrailingRecordsSkipPastTheEndOfTheInput) {
    TextLayoutSection layout;
    layout.paragraphs = {ownFormat(8, {Phrase{4, Layer(), 255}, Phrase{4, Layer().bold()}})};
    Conversion c = convertHostile(bodyDocument(layout, "one two\x06"));
    EXPECT_EQ(c.result, Converted);
    EXPECT_NE(c.rtf.find("one "), std::string::npos);
}

// The walk to entry 255 reads the paragraphs and phrases as shared formats.
TEST(HostileCounts, FormatReferenceBeyondTheSharedFormatsStillWritesTheText) {
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{Layer().alignment(2)});
    layout.paragraphs = {Paragraph{4, 255}, Paragraph{4, 1}};
    Conversion c = convertHostile(bodyDocument(layout, "one\x06two\x06"));
    EXPECT_EQ(c.result, Failed);
    EXPECT_NE(c.rtf.find("one"), std::string::npos);
    EXPECT_NE(c.rtf.find("{\\pard \\qr two"), std::string::npos);
}

TEST(HostileLayers, LengthOfAllOnesInTranslateModeEndsWithTheInput) {
    StyleSection styles;
    styles.normalParagraph.bold().italic().declaredLength(AllOnes);
    Conversion c = convertHostile(WordDocument().styles(styles).build());
    EXPECT_EQ(c.result, Failed);
    EXPECT_NE(c.rtf.find("\\b \\i "), std::string::npos);
}

TEST(HostileLayers, LayerClaimingMoreBytesThanTheFileHoldsEndsWithTheInput) {
    StyleSection styles;
    styles.styles.push_back(Style{"Long", Layer().underline().declaredLength(0x7FFFFFF0), Layer()});
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{Layer(), FirstStyle});
    layout.paragraphs.assign(50, Paragraph{2, 1});
    std::string text(100, 'x');
    Conversion c = convertHostile(WordDocument().styles(styles).text(text).textLayout(layout).build());
    EXPECT_EQ(c.result, Failed);
    EXPECT_NE(c.rtf.find("\\ul "), std::string::npos);
}

// A skip length of 0xFFFFFFF2 must not wrap round onto the paragraph
// element that holds it (14 bytes back), which would read that element
// again up to the paragraph count of 0xFFFFFFFF: the skip ends at the input's end.
TEST(HostileLayers, SkipLengthThatWouldStepBackEndsAtTheInputsEnd) {
    TextLayoutSection layout;
    Paragraph looping = ownFormat(1, {});
    looping.paragraph.declaredLength(0xFFFFFFF2);
    layout.paragraphs = {looping};
    layout.paragraphCount = AllOnes;
    Conversion c = convertHostile(bodyDocument(layout, "x"));
    EXPECT_EQ(occurrences(c.rtf, "{\\pard "), 1u);
}

// Paragraphs of 0xFFFFFFFF characters: the first writes the rest of the
// input, and the text cursor then stays at the end instead of wrapping one
// byte back, so later paragraphs write no text.
TEST(HostilePositions, HugeCharacterCountsDoNotRewindTheText) {
    std::vector<uint8_t> document = rewindingTextDocument(4000, 20000);
    Conversion c = convertHostile(document);
    EXPECT_LT(c.rtf.size(), 3 * document.size());
    EXPECT_EQ(occurrences(c.rtf, "text"), 1u);
}

TEST(HostileOffsets, HeaderAndFooterLayoutsOutsideTheFileWriteTheirGroups) {
    for (uint32_t position : {0x7FFFFFF0u, 0x80000000u, AllOnes}) {
        PageLayoutSection page;
        page.header = HeaderFooter{true, "head\x06"};
        page.header.layoutPosition = position;
        page.header.paragraphs.push_back(HeaderFooterParagraph{5, 1});
        page.footer = page.header;
        Conversion c = convertHostile(WordDocument().styles(StyleSection{}).pageLayout(page).build());
        EXPECT_EQ(c.result, Failed) << position;
        EXPECT_NE(c.rtf.find("{\\header "), std::string::npos) << position;
        EXPECT_NE(c.rtf.find("{\\footer "), std::string::npos) << position;
    }
}

TEST(HostileOffsets, EveryDictionaryEntryOutsideTheFileReadsEndOfFileValues) {
    WordDocument document;
    for (uint32_t uid : {StyleSectionUid, PageLayoutSectionUid, TextSectionUid, TextLayoutSectionUid}) {
        document.entry(uid, 0x7FFFFFFF).entry(uid, 0x80000000u).entry(uid, AllOnes);
    }
    Conversion c = convertHostile(document.build());
    EXPECT_EQ(c.result, Failed);
}

TEST(RepeatedSections, AllDictionaryEntriesAtTheTextLayoutWriteTheBodyEachTime) {
    Conversion c = convertHostile(repeatedTextLayoutDocument(127));
    EXPECT_EQ(c.result, Converted);
    EXPECT_EQ(occurrences(c.rtf, "Title line"), 127 - 4u);
}

// 64 bytes of 0x11 are no real section: each such conversion reads past the
// end somewhere, and must still finish.
TEST(RepeatedSections, AllDictionaryEntriesAtOneSectionFinish) {
    for (uint32_t uid : {StyleSectionUid, PageLayoutSectionUid, TextSectionUid, ApplicationIdSectionUid}) {
        WordDocument document;
        document.section(uid, Bytes().fill(64, 0x11));
        for (int i = 1; i < 127; ++i) document.entry(uid, 20);
        Conversion c = convertHostile(document.build());
        EXPECT_EQ(c.result, Failed) << std::hex << uid;
    }
}

// Whether such a document reads past its end depends on the bytes each
// section lands on; every one must finish within the limits.
TEST(OverlappingSections, SectionsReadEachOthersBytesAndTheDictionaryAsSections) {
    std::vector<uint8_t> rich = richDocument();
    uint32_t dictionary = rich[16] | rich[17] << 8 | rich[18] << 16 | static_cast<uint32_t>(rich[19]) << 24;
    for (uint32_t position = 0; position < rich.size(); position += 7) {
        std::vector<uint8_t> document = rich;
        // Every entry but the first points at the same place in the file.
        for (size_t entry = dictionary + 1 + 8 + 4; entry + 4 <= document.size(); entry += 8) {
            for (int i = 0; i < 4; ++i) document[entry + static_cast<size_t>(i)] = static_cast<uint8_t>(position >> (8 * i));
        }
        convertHostile(document);
    }
}

TEST(Cardinalities, TheNoFormFormRepeatsThePreviousLength) {
    Bytes noForm = Bytes().u8(0x07).text("xyzw");
    Conversion first = convertHostile(WordDocument().styles(StyleSection{}).section(TextSectionUid, noForm).build());
    EXPECT_EQ(first.result, Converted);
    EXPECT_NE(first.rtf.find("{\\pard }\n}"), std::string::npos);

    Conversion repeated =
        convertHostile(WordDocument().styles(StyleSection{}).text("abc").section(TextSectionUid, noForm).build());
    EXPECT_EQ(repeated.result, Converted);
    EXPECT_NE(repeated.rtf.find("{\\pard xyz}\n}"), std::string::npos);
}

TEST(Cardinalities, TextLengthBeyondTheFileWritesTheTextToTheEnd) {
    Bytes longText = Bytes().cardinality4(0x1FFFFFFF).text("abc");
    Conversion c = convertHostile(WordDocument().styles(StyleSection{}).section(TextSectionUid, longText).build());
    EXPECT_EQ(c.result, Failed);
    EXPECT_NE(c.rtf.find("{\\pard abc"), std::string::npos);
}

// A copy cut short is never reported as converted, unless the cut falls
// after the last byte the conversion reads; what it holds is still written.
TEST(TruncatedDocuments, EveryPrefixOfARichDocumentFailsUntilItHoldsAllThatIsRead) {
    std::vector<uint8_t> rich = richDocumentDictionaryFirst();
    Conversion whole = convertHostile(rich);
    ASSERT_EQ(whole.result, Converted);
    size_t lastRead = rich.size() - RichDocumentUnreadTail;
    for (size_t size = 0; size < rich.size(); ++size) {
        Conversion c = convertHostile({rich.begin(), rich.begin() + static_cast<std::ptrdiff_t>(size)});
        EXPECT_EQ(c.result, size < lastRead ? Failed : Converted) << size;
    }
}

TEST(DamagedDocuments, EveryByteOfARichDocumentSetToAnExtremeFinishes) {
    std::vector<uint8_t> rich = richDocument();
    StdoutCapture quiet;  // damaged application ids warn on standard output
    for (size_t at = 12; at < rich.size(); ++at) {
        for (uint8_t value : {0x00, 0x07, 0x7F, 0x80, 0xFF}) {
            std::vector<uint8_t> damaged = rich;
            damaged[at] = value;
            auto start = std::chrono::steady_clock::now();
            int result = convertDocumentBytes(damaged.data(), damaged.size(), nullptr);
            double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            EXPECT_TRUE(result == Converted || result == Failed) << at << " " << int(value);
            EXPECT_LT(seconds, HangSeconds) << at << " " << int(value);
        }
    }
}

}  // namespace
}  // namespace zentoro
