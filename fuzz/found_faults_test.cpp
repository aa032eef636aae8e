// Faults that fuzzing found, each pinned by a document from the builder, so
// that they stay pinned whatever becomes of the fuzz targets' decoding.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/road_checks.h"
#include "tests/builder/document_builder.h"

namespace zentoro::fuzzing {
namespace {

using namespace zentoro::testing;

// A text section without a text layout section: its text has no formatting
// but is still the document's body.
TEST(FoundByFuzzing, ABodyWithoutATextLayoutKeepsItsText) {
    const std::string text = std::string("First\x06Second, caf\xe9\x06") + "no end";
    std::vector<uint8_t> document = WordDocument().styles(StyleSection{}).text(text).applicationId().build();
    EXPECT_EQ(runFaithfulRoad(document).result, 0);
    EXPECT_EQ(modelText(document), "First\nSecond, caf\xc3\xa9\nno end\n");
    // The faithful conversion that writes the body as it reads it, too.
    RoadRun streamed = runStreamedFaithfulRoad(document);
    EXPECT_EQ(streamed.result, 0);
    EXPECT_NE(streamed.output.find("Second, caf\\'e9"), std::string::npos) << streamed.output;
}

// Exact line spacing over a line spacing stored negative wrote "\sl--240",
// which is no control word: readers showed "-240" as text.
TEST(FoundByFuzzing, ExactLineSpacingStoredNegativeWritesOneControlWord) {
    const std::string text = "Spaced\x06";
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{Layer().exactLineSpacing(1).lineSpacing(-240)});
    layout.paragraphs.push_back(Paragraph{static_cast<uint32_t>(text.size()), 1});
    std::vector<uint8_t> document = WordDocument().styles(StyleSection{}).text(text).textLayout(layout).build();
    RoadRun original = runOriginalRoad(document);
    EXPECT_EQ(original.result, 0);
    EXPECT_NE(original.output.find("\\sl-240 "), std::string::npos) << original.output;
    EXPECT_EQ(original.output.find("\\sl--"), std::string::npos) << original.output;
}

// The HTML style sheet's text width, the page width less both margins,
// overflowed for page sizes and margins near the ends of 32 bits.
TEST(FoundByFuzzing, PageSizesAndMarginsOfAnyValueGiveAWidth) {
    for (int32_t margin : {INT32_MIN, -2054847110, INT32_MAX}) {
        PageLayoutSection page;
        page.paperWidth = margin == INT32_MAX ? INT32_MIN : INT32_MAX;
        page.leftMargin = margin;
        page.rightMargin = margin;
        const std::string text = "Wide\x06";
        std::vector<uint8_t> document = WordDocument().styles(StyleSection{}).pageLayout(page).text(text).build();
        RoadRun html = runModelRoad(OutputFormat::Html, document);
        EXPECT_EQ(html.result, 0) << margin;
        EXPECT_NE(html.output.find("max-width: "), std::string::npos) << margin;
    }
}

// A bullet's text starts at the larger of the left indent and the first
// line's; their sum overflowed for indents near the ends of 32 bits.
TEST(FoundByFuzzing, BulletIndentsOfAnyValueGiveATextStart) {
    for (int32_t indent : {INT32_MAX, INT32_MIN}) {
        StyleSection styles;
        styles.normalParagraph = Layer().leftIndent(indent).firstLineIndent(indent).bullet(149, 200, "Arial");
        const std::string text = "Point\x06";
        std::vector<uint8_t> document = WordDocument().styles(styles).text(text).build();
        RoadRun html = runModelRoad(OutputFormat::Html, document);
        EXPECT_EQ(html.result, 0) << indent;
        EXPECT_NE(html.output.find("Point"), std::string::npos) << indent;
    }
}

// A header or footer block whose base layers are not empty: the original
// translation read every block's start as 13 bytes, so it read the rest of
// the page layout from the wrong place and failed, and the footer's text was
// lost. A block that is absent is its content byte 0 alone; the faithful
// road reads that too (the original one keeps its own reading of an absent
// block: the content byte, twelve bytes and a block UID other than the one
// expected).
TEST(FoundByFuzzing, HeaderBaseLayersOrAnAbsentHeaderLeaveTheFooterInPlace) {
    auto documentWith = [](const HeaderFooter& header) {
        PageLayoutSection page;
        page.header = header;
        page.footer.present = true;
        page.footer.baseParagraph = Layer().alignment(1);
        page.footer.baseCharacter = Layer().bold().font("Arial");
        page.footer.text = "Footer\x06";
        page.footer.paragraphs = {{static_cast<uint32_t>(page.footer.text.size()), 0, Layer(),
                                   {{static_cast<uint32_t>(page.footer.text.size())}}}};
        return WordDocument().styles(StyleSection{}).pageLayout(page).text("Body\x06").build();
    };
    HeaderFooter filled;
    filled.present = true;
    filled.baseParagraph = Layer().leftIndent(720);
    filled.baseCharacter = Layer().italic();
    filled.text = "Head\x06";
    filled.paragraphs = {{5, 0, Layer(), {{5}}}};
    RoadRun original = runOriginalRoad(documentWith(filled));
    EXPECT_EQ(original.result, 0);
    EXPECT_NE(original.output.find("{\\header {\\pard {Head"), std::string::npos) << original.output;
    EXPECT_NE(original.output.find("{\\footer {\\pard {Footer"), std::string::npos) << original.output;

    HeaderFooter absent;
    absent.contentByteOnlyWhenAbsent = true;
    for (const HeaderFooter& header : {filled, absent}) {
        RoadRun text = runModelRoad(OutputFormat::Text, documentWith(header));
        EXPECT_EQ(text.result, 0);
        EXPECT_NE(text.output.find("Footer"), std::string::npos) << text.output;
    }
}

}  // namespace
}  // namespace zentoro::fuzzing
