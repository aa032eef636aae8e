// The page layout: distances, margins and paper, and the header and footer
// groups with their paragraphs, phrases and character table.
#include <gtest/gtest.h>

#include "reader/input_readers.h"
#include "rtf/page_layout.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

const std::string Margins = "\\headery720\\footery720\\margl1440\\margr1440\\margt1440\\margb1440";
const std::string Paper = "\\paperw11906\\paperh16838";

std::string pageOf(const PageLayoutSection& page, ConversionState* after = nullptr) {
    StateOver s(page.bytes(0).data);
    writePageLayout(s.state());
    if (after != nullptr) {
        after->paragraphEnded = s->paragraphEnded;
        after->input.pos = s->input.pos;
    }
    return s.output();
}

HeaderFooter block(const std::string& text, std::vector<HeaderFooterParagraph> paragraphs) {
    HeaderFooter b;
    b.present = true;
    b.text = text;
    b.paragraphs = std::move(paragraphs);
    return b;
}

TEST(PageLayout, HeaderWithAnOwnFormatParagraphKeepsItsParagraphGroup) {
    PageLayoutSection page;
    page.header = block("Hi\x06", {{3, 0, Layer().alignment(1), {{3, Layer()}}}});
    EXPECT_EQ(pageOf(page), Margins + "\n{\\header {\\pard \\qc {Hi\n\\par \n}}}\n" + Paper);
}

TEST(PageLayout, AbsentBlocksWriteNothingAndTakeSeventeenBytesEach) {
    PageLayoutSection page;
    page.headerDistance = 1;
    page.footerDistance = -2;
    page.leftMargin = static_cast<int32_t>(0xFFFFFFFF);
    page.orientation = 1;
    ConversionState after;
    EXPECT_EQ(pageOf(page, &after),
              "\\headery1\\footery-2\\margl-1\\margr1440\\margt1440\\margb1440" + Paper + "\\landscape ");
    EXPECT_EQ(after.input.pos, 4u * 7 + 17 * 2 + 4 * 3 + 1);
}

TEST(PageLayout, OnlyOrientationOneIsLandscape) {
    for (int orientation : {0, 2, 255}) {
        PageLayoutSection page;
        page.orientation = orientation;
        EXPECT_EQ(pageOf(page), Margins + Paper) << orientation;
    }
}

TEST(PageLayout, HeaderAndFooterUseTheirOwnCharacterTables) {
    PageLayoutSection page;
    // Own-format phrases write spaced breaks, paragraph ends included;
    // shared-format paragraphs write spaced line and page breaks only.
    page.header = block("a\x07\x08\x06", {{4, 0, Layer(), {{4, Layer().bold()}}}});
    page.footer = block("b\x07\x08\x06", {{4, 1}});
    page.footer.sharedFormats = {{Layer().alignment(2), Layer().italic()}};
    EXPECT_EQ(pageOf(page), Margins +
                                "\n{\\header {\\pard {\\b a\n\\line \n\n\\page \n\n\\par \n}}}\n"
                                "\n{\\footer {\\pard b\n\\line \n\n\\page \n\n\\par\n}}\n" +
                                Paper);
}

TEST(PageLayout, WrappedParagraphAttributeStaysInsideTheHeader) {
    PageLayoutSection page;
    page.header = block("ab", {{1, 0, Layer().leftIndent(720), {{1}}}, {1, 0, Layer().spaceAfter(5), {{1}}}});
    EXPECT_EQ(pageOf(page), Margins +
                                "\n{\\header {\\pard }\\pard \\li720 {{a}}"
                                "{\\pard }\\pard \\sa5 {{b}}}\n" +
                                Paper);
}

TEST(PageLayout, BlockWithoutItsTextUidWritesNothingAndTheNextStartsRightAfter) {
    PageLayoutSection page;
    page.header = block("x", {{1, 1}});
    page.header.textUid = 0x10000099;
    page.footer = block("F", {{1, 1}});
    EXPECT_EQ(pageOf(page), Margins + "\n{\\footer {\\pard F}}\n" + Paper);
}

TEST(PageLayout, EntriesWithOtherUidsHaveNoValue) {
    PageLayoutSection page;
    page.header = block("H", {{1, 1}});
    page.header.withUnusedEntries = false;  // other UIDs stand in their places, without values
    page.footer = block("F", {{1, 1}});
    EXPECT_EQ(pageOf(page), Margins + "\n{\\header {\\pard H}}\n\n{\\footer {\\pard F}}\n" + Paper);
}

TEST(PageLayout, BlockWithoutALayoutWritesItsTextAsOneParagraph) {
    PageLayoutSection page;
    page.header = block("H", {{1, 1}});
    page.footer = block("a\x07" "b\x06", {});
    page.footer.withLayoutEntry = false;
    EXPECT_EQ(pageOf(page), Margins +
                                "\n{\\header {\\pard H}}\n"
                                "\n{\\footer {\\pard a\n\\line \nb\n\\par\n}}\n" +
                                Paper);
}

TEST(PageLayout, OwnParagraphWithoutPhrasesLeavesItsTextToTheNext) {
    PageLayoutSection page;
    page.header = block("ab", {{2, 0, Layer().alignment(3), {}}, {2, 1}});
    EXPECT_EQ(pageOf(page), Margins + "\n{\\header {\\pard \\qj }{\\pard ab}}\n" + Paper);
}

TEST(PageLayout, CountsCoveringMoreThanTheTextReadOnAndResumeAfterIt) {
    PageLayoutSection page;
    page.header = block("ab", {{4, 1}});
    page.footer = block("F", {{1, 1}});
    std::string rtf = pageOf(page);
    // The two bytes after the header's text belong to the footer block.
    EXPECT_NE(rtf.find("\n{\\footer {\\pard F}}\n"), std::string::npos) << rtf;
}

TEST(PageLayout, ParagraphEndAsLastHeaderCharacterIsRemembered) {
    PageLayoutSection page;
    page.header = block("a\x06", {{2, 1}});
    ConversionState after;
    pageOf(page, &after);
    EXPECT_TRUE(after.paragraphEnded);
}

TEST(PageLayout, HeaderParagraphEndMakesTheBodysFirstStyleDue) {
    PageLayoutSection page;
    page.header = block("h\x06", {{2, 1}});
    StyleSection styles;
    styles.styles = {{"S", Layer(), Layer().bold()}};
    TextLayoutSection body;
    body.paragraphs = {Paragraph{2, 0, Layer(), 255, {Phrase{2}}}};
    Conversion withHeader =
        convertBytes(WordDocument().styles(styles).pageLayout(page).text("xy").textLayout(body).build());
    EXPECT_TRUE(withHeader.rtf.ends_with("{\\pard \\s254 \\b {xy}}}")) << withHeader.rtf;
    Conversion withoutHeader =
        convertBytes(WordDocument().styles(styles).pageLayout({}).text("xy").textLayout(body).build());
    EXPECT_TRUE(withoutHeader.rtf.ends_with("{\\pard {xy}}}")) << withoutHeader.rtf;
}

// Counts that run past the block's text write only what is left of it: the
// bytes after it (the footer block, the rest of the file) never appear.
TEST(PageLayout, HeaderTextStopsAtItsEnd) {
    struct Case {
        const char* name;
        std::vector<HeaderFooterParagraph> paragraphs;
        std::string header;
    };
    const Case cases[] = {
        {"shared", {{9, 1}}, "{\\pard ab}"},
        {"sharedThenMore", {{1, 1}, {9, 1}, {5, 1}}, "{\\pard a}{\\pard b}{\\pard }"},
        {"phrases", {{0, 0, Layer(), {{1}, {7, Layer().bold()}, {2}}}}, "{\\pard {a}{\\b b}{}}"},
        {"allOnes", {{0xFFFFFFFF, 1}, {0xFFFFFFFF, 1}}, "{\\pard ab}{\\pard }"},
    };
    for (const Case& c : cases) {
        PageLayoutSection page;
        page.header = block("ab", c.paragraphs);
        page.footer = block("F", {{1, 1}});
        EXPECT_EQ(pageOf(page), Margins + "\n{\\header " + c.header + "}\n\n{\\footer {\\pard F}}\n" + Paper)
            << c.name;
    }
}

// A layout position of 0 points at the file's own header: the block is
// written as one without a layout, and its counts are not taken from there.
TEST(PageLayout, LayoutPositionZeroMeansNoLayout) {
    PageLayoutSection page;
    page.header = block("Kopf\x06", {{5, 1}});
    page.header.layoutPosition = 0;
    page.footer = block("Fuss", {{4, 1}});
    page.footer.layoutPosition = 0;
    std::vector<uint8_t> document =
        WordDocument().styles(StyleSection{}).pageLayout(page).text("Body\x06").textLayout({}).build();
    Conversion c = convertBytes(document);
    EXPECT_EQ(c.result, 0);
    EXPECT_NE(c.rtf.find("\n{\\header {\\pard Kopf\n\\par\n}}\n\n{\\footer {\\pard Fuss}}\n"), std::string::npos)
        << c.rtf;
}

}  // namespace
}  // namespace zentoro
