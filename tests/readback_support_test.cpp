// The pieces of the LibreOffice read-back that decide pass or fail: the
// document's own text, CP1252, word comparison, RTF completeness and the
// cleaning of LibreOffice's text export.
#include <gtest/gtest.h>

#include "tests/builder/document_builder.h"
#include "tests/libreoffice/text_export.h"
#include "tests/support/cp1252.h"
#include "tests/support/document_text.h"
#include "tests/support/rtf_completeness.h"
#include "tests/support/word_comparison.h"

namespace zentoro {
namespace {

using namespace testing;
using Words = std::vector<std::string>;

std::string asString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string documentWithText(std::string_view text) {
    return asString(WordDocument().applicationId().styles(StyleSection{}).text(text).build());
}

TEST(Cp1252, DecodesAsciiLatin1AndTheWindowsRangeToUtf8) {
    EXPECT_EQ(cp1252ToUtf8("plain"), "plain");
    EXPECT_EQ(cp1252ToUtf8("\xAB" "a\xBB 3\xD7" "2 \xFF"), "\u00AB" "a\u00BB 3\u00D7" "2 \u00FF");
    EXPECT_EQ(cp1252ToUtf8("\x80\x95\x9F"), "\u20AC\u2022\u0178");
}

TEST(Cp1252, UnassignedBytesStandForC1Controls) {
    for (unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(cp1252CodePoint(byte), byte);
}

TEST(DocumentText, FindsTheTextSectionThroughTheDictionary) {
    EXPECT_EQ(textSectionBytes(documentWithText("Hi\x06")), "Hi\x06");
    EXPECT_EQ(textSectionBytes(documentWithText("")), "");
}

TEST(DocumentText, ReadsEveryFormOfTheLength) {
    for (size_t length : {127u, 128u, 16383u, 16384u, 70000u}) {
        std::string text(length, 'x');
        EXPECT_EQ(textSectionBytes(documentWithText(text)), text) << length;
    }
}

TEST(DocumentText, NoneWithoutAWholeTextSection) {
    EXPECT_EQ(textSectionBytes(asString(WordDocument().applicationId().build())), std::nullopt);
    std::string document = documentWithText("Hello");
    size_t textEnd = document.find("Hello") + 5;
    EXPECT_EQ(textSectionBytes(document.substr(0, textEnd - 1) + document.substr(textEnd)), std::nullopt);
    for (size_t size = 0; size < document.size(); ++size) textSectionBytes(document.substr(0, size));
}

TEST(DocumentText, ReadsBreaksAsLineEndsAndDecodesTheRest) {
    EXPECT_EQ(readableText("a\x06" "b\x07" "c\x08" "d\x09" "e\xAB"), "a\nb\nc\nd\te\u00AB");
    EXPECT_EQ(readableText("a\x0A" "b\x0B" "c\x0C" "d\x0F" "e\x10" "f"), "a\tb\u2011c\u00ADd e\u00A0f");
}

TEST(DocumentText, FindsTheHeaderAndFooterText) {
    struct Case {
        const char* name;
        HeaderFooter header;
        HeaderFooter footer;
        HeaderFooterText expected;
    };
    const Case cases[] = {
        {"both", HeaderFooter{true, "Head\x06", {}, {{5, 1}}}, HeaderFooter{true, "Foot\x06", {}, {{5, 1}}},
         {"Head\x06", "Foot\x06"}},
        {"absentHeader", HeaderFooter{}, HeaderFooter{true, "Foot", {}, {{4, 1}}}, {"", "Foot"}},
    };
    for (const Case& c : cases) {
        PageLayoutSection page;
        page.header = c.header;
        page.footer = c.footer;
        auto text = headerFooterTextBytes(asString(WordDocument().styles(StyleSection{}).pageLayout(page).build()));
        ASSERT_TRUE(text) << c.name;
        EXPECT_EQ(text->header, c.expected.header) << c.name;
        EXPECT_EQ(text->footer, c.expected.footer) << c.name;
    }
    EXPECT_EQ(headerFooterTextBytes(documentWithText("no page layout")), std::nullopt);
}

TEST(WordComparison, SplitsAtRunsOfWhitespace) {
    EXPECT_EQ(splitWords(" \tone  two\r\nthree\n"), (Words{"one", "two", "three"}));
    EXPECT_EQ(splitWords("\n \n"), Words{});
    // LibreOffice's export of "10  or": a run of spaces comes out with U+2006.
    EXPECT_EQ(splitWords("10\u2006 \u2006 or\u00A0\u00AB" "a\u00BB"), (Words{"10", "or", "\u00AB" "a\u00BB"}));
    EXPECT_EQ(splitWords("\u2022\u2016x"), Words{"\u2022\u2016x"});
}

TEST(WordComparison, DescribesTheFirstDifferenceInContext) {
    EXPECT_EQ(describeWordDifference({"a", "b"}, {"a", "b"}), "");
    std::string changed = describeWordDifference({"a", "b", "c"}, {"a", "B", "c"});
    EXPECT_NE(changed.find("word 2 differs"), std::string::npos) << changed;
    EXPECT_NE(changed.find("a [b] c"), std::string::npos) << changed;
    EXPECT_NE(changed.find("a [B] c"), std::string::npos) << changed;
    std::string shorter = describeWordDifference({"a", "b"}, {"a"});
    EXPECT_NE(shorter.find("a [end]"), std::string::npos) << shorter;
}

TEST(RtfCompleteness, AcceptsOneDocumentGroupWithTrailingWhitespace) {
    EXPECT_EQ(rtfCompletenessProblem("{\\rtf1 {\\b x}\\{ \\} \\\\}\n"), "");
    EXPECT_EQ(rtfCompletenessProblem("{\\rtf1 \\\\{\\b x}}"), "");
}

TEST(RtfCompleteness, FindsOpenGroupsAndMisplacedClosingBraces) {
    EXPECT_EQ(rtfCompletenessProblem("{\\rtf1 {\\b x}\\}"), "1 group(s) left open at the end");
    EXPECT_EQ(rtfCompletenessProblem("{\\rtf1 \\\\}"), "");
    EXPECT_EQ(rtfCompletenessProblem("{\\rtf1 x}{\\b y}"), "the document's group closes at byte 8, before its end");
    EXPECT_EQ(rtfCompletenessProblem("{\\rtf1 x}\n\n"), "");
}

TEST(RtfCompleteness, RequiresTheDocumentToStartAtTheFirstByte) {
    EXPECT_EQ(rtfCompletenessProblem("\n{\\rtf1 x}"), "does not begin with {\\rtf");
    EXPECT_EQ(rtfCompletenessProblem(""), "does not begin with {\\rtf");
}

TEST(TextExport, ReadsTheFirstPageStylesHeaderAndFooterFromFlatOdt) {
    constexpr std::string_view Fodt =
        "<style:header-style><style:header-footer-properties fo:min-height=\"0.5in\"/></style:header-style>"
        "<office:master-styles><style:master-page style:name=\"Standard\">"
        "<style:header><text:p text:style-name=\"P1\">A&amp;B<text:s text:c=\"3\"/>x<text:tab/>y</text:p>"
        "<text:p/><text:p>&#x2011;<text:span>z</text:span><text:line-break/>&lt;w&gt;</text:p></style:header>"
        "<style:footer/></style:master-page>"
        "<style:master-page style:name=\"Other\"><style:footer><text:p>other</text:p></style:footer>"
        "</style:master-page></office:master-styles>";
    HeaderFooterRead read = headerAndFooterOfFlatOdt(Fodt);
    EXPECT_EQ(read.header, "A&B   x\ty\n\n\u2011z\n<w>\n");
    EXPECT_EQ(read.footer, "");
}

TEST(TextExport, DropsTheByteOrderMarkAndBulletFieldCharacters) {
    EXPECT_EQ(textOfExport("\xEF\xBB\xBFHello\n\u0095\tItem \u2022\n"), "Hello\n\tItem \u2022\n");
    EXPECT_EQ(textOfExport("no mark"), "no mark");
}

}  // namespace
}  // namespace zentoro
