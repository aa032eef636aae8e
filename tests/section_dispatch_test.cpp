// The walk over the section dictionary: which handlers run, in what order,
// from where, and what the reading-side handlers leave behind.
#include <gtest/gtest.h>

#include "reader/input_readers.h"
#include "rtf/section_dispatch.h"
#include "reader/word_uids.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

constexpr const char* NotEpoc32Word = "This is not an EPOC32 Word file. Exiting program.\n";

// Without a style section no RTF document is opened: such a conversion
// fails, though the handlers that ran still wrote what they write.
constexpr int NoRtfDocument = 1;

TEST(SectionDispatch, EmptyDictionaryRunsNoHandlerAndFails) {
    Conversion c = convertBytes(WordDocument().applicationId().dictionaryCountByte(0).build());
    EXPECT_EQ(c.result, NoRtfDocument);
    EXPECT_EQ(c.rtf, "");
}

TEST(SectionDispatch, CountByteIsHalvedDroppingItsLowBit) {
    WordDocument doc;
    for (int i = 0; i < 7; ++i) doc.applicationId();
    Conversion c = convertBytes(doc.dictionaryCountByte(0x0D).build());
    EXPECT_EQ(c.result, NoRtfDocument);
    EXPECT_EQ(c.rtf, std::string(6, '\n'));
}

TEST(SectionDispatch, ApplicationIdWritesALineFeedAndWarnsOnAnotherApplication) {
    Conversion word = convertBytes(WordDocument().applicationId().build());
    EXPECT_EQ(word.rtf, "\n");
    EXPECT_EQ(word.stdOut, "");

    Conversion other = convertBytes(WordDocument().applicationId(0x10000088).applicationId().build());
    EXPECT_EQ(other.result, NoRtfDocument);
    EXPECT_EQ(other.rtf, "\n\n");
    EXPECT_EQ(other.stdOut, NotEpoc32Word);
}

TEST(SectionDispatch, UnknownAndIgnoredSectionsArePassedOver) {
    Conversion c = convertBytes(WordDocument()
                                    .section(0x10000999, Bytes().u32(0x10000089))
                                    .section(IgnoredSectionUid, Bytes().fill(13, 0xFF))
                                    .applicationId()
                                    .build());
    EXPECT_EQ(c.result, NoRtfDocument);
    EXPECT_EQ(c.rtf, "\n");
}

TEST(SectionDispatch, EachHandlerStartsAtItsOwnSectionPosition) {
    // The application-id section lies inside the ignored section's bytes; the
    // ignored section reads past it, yet the next entry starts where it says.
    std::vector<uint8_t> doc = WordDocument()
                                   .section(IgnoredSectionUid, Bytes().fill(5, 0).u32(WordDocumentUid).u32(0))
                                   .entry(ApplicationIdSectionUid, 20 + 5)
                                   .entry(ApplicationIdSectionUid, 20 + 5)
                                   .build();
    Conversion c = convertBytes(doc);
    EXPECT_EQ(c.rtf, "\n\n");
    EXPECT_EQ(c.stdOut, "");
}

TEST(SectionDispatch, DictionaryRunningPastTheEndOfTheInputStopsAndFails) {
    std::vector<uint8_t> doc = WordDocument().styles(StyleSection{}).applicationId().dictionaryCountByte(0xFE).build();
    Conversion c = convertBytes(doc);
    EXPECT_EQ(c.result, 1);
    EXPECT_TRUE(c.rtf.ends_with("\\par \n")) << c.rtf;
}

TEST(SectionDispatch, DictionaryOffsetOutsideTheFileConvertsNothingAndFails) {
    for (uint32_t offset : {0xFFFFFFF0u, 0x80000000u, 0x00100000u}) {
        Conversion c = convertBytes(WordDocument().applicationId().dictionaryOffset(offset).build());
        EXPECT_EQ(c.result, 1) << offset;
        EXPECT_EQ(c.rtf, "") << offset;
    }
}

TEST(SectionDispatch, SectionPositionOutsideTheFileReadsEndOfFileValues) {
    Conversion c = convertBytes(WordDocument().entry(ApplicationIdSectionUid, 0xFFFFFFFF).build());
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(c.rtf, "\n");
    EXPECT_EQ(c.stdOut, NotEpoc32Word);
}

TEST(TextSection, RecordsWhereTheTextBeginsAndItsLength) {
    StateOver s(textSection(std::string(300, 'x')).data);
    handleSection(s.state(), TextSectionUid);
    EXPECT_EQ(s->textStart, 2);
    EXPECT_EQ(s->textLength, 300);
    EXPECT_EQ(s->lastCardinality, 300);
}

TEST(SectionDispatch, ConvertingTwiceGivesTheSameBytes) {
    std::vector<uint8_t> doc = sampleDocument();
    Conversion first = convertBytes(doc);
    convertBytes(WordDocument().applicationId(0x10000088).build());
    Conversion second = convertBytes(doc);
    EXPECT_EQ(first.result, 0);
    EXPECT_EQ(first.rtf, second.rtf);
}

}  // namespace
}  // namespace zentoro
