// The body: shared-format and own-format paragraphs, their styles, the
// character table, and a document whose text has no layout section.
#include <gtest/gtest.h>

#include "reader/word_uids.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

// The RTF a document writes after its style sheet, with one style "S"
// (reference 255) whose layers are a left indent and bold.
std::string bodyOf(const std::string& text, const TextLayoutSection& layout,
                   const StyleSection* styles = nullptr, int expectedResult = 0) {
    StyleSection defaultStyles;
    defaultStyles.styles = {{"S", Layer().leftIndent(100), Layer().bold()}};
    std::vector<uint8_t> doc = WordDocument().styles(styles ? *styles : defaultStyles).text(text).textLayout(layout).build();
    Conversion c = convertBytes(doc);
    EXPECT_EQ(c.result, expectedResult);
    const std::string defaults = "\\deflang1033\\pard\\plain\\f3\\fs20\\par ";
    size_t at = c.rtf.find(defaults);
    return at == std::string::npos ? c.rtf : c.rtf.substr(at + defaults.size());
}

Paragraph shared(uint32_t characters, int formatRef) { return Paragraph{characters, formatRef}; }

Paragraph own(int styleRef, std::vector<Phrase> phrases) {
    uint32_t characters = 0;
    for (const Phrase& p : phrases) characters += p.characters;
    return Paragraph{characters, 0, Layer(), styleRef, std::move(phrases)};
}

TEST(BodyParagraphs, SharedThenOwnFormatParagraphWithStyle) {
    TextLayoutSection layout;
    layout.formats = {SharedFormat{}};
    layout.paragraphs = {shared(3, 1), own(255, {Phrase{4}})};
    EXPECT_EQ(bodyOf("Hi\x06" "Bye\x06", layout),
              "{\\pard Hi\n\\par\n}\n"
              "{\\pard \\s254 \\li100 \\b {Bye\n\\par\n}}"
              "}");
}

TEST(BodyParagraphs, NoParagraphsWritesOnlyTheClosingBrace) {
    EXPECT_EQ(bodyOf("", TextLayoutSection{}), "}");
}

TEST(BodyParagraphs, SharedFormatWritesItsLayersThenItsStyle) {
    TextLayoutSection layout;
    layout.formats = {{Layer().alignment(2), 0, Layer()}, {Layer().alignment(1), 255, Layer().italic()}};
    layout.paragraphs = {shared(2, 2), shared(2, 1)};
    EXPECT_EQ(bodyOf("abcd", layout),
              "{\\pard \\qc \\i \\s254 \\li100 \\b ab}\n"
              "{\\pard \\qr cd}\n}");
}

TEST(BodyParagraphs, OwnFormatWithoutShared) {
    TextLayoutSection layout;
    layout.paragraphs = {own(0, {Phrase{2, Layer().bold()}, Phrase{3, Layer().underline()}})};
    EXPECT_EQ(bodyOf("ab cd", layout), "{\\pard {\\b ab}{\\ul  cd}}}");
}

TEST(BodyParagraphs, OwnParagraphLayerContributesNothing) {
    TextLayoutSection layout;
    layout.paragraphs = {own(0, {Phrase{1}})};
    layout.paragraphs[0].paragraph = Layer().leftIndent(720).alignment(1);
    EXPECT_EQ(bodyOf("x", layout), "{\\pard {x}}}");
}

TEST(BodyParagraphs, StyleOfOwnFormatParagraphIsWrittenOnlyAfterAParagraphEnd) {
    TextLayoutSection layout;
    // The first paragraph's style is not due (nothing ended a paragraph yet);
    // its second phrase follows a paragraph end inside the first phrase.
    layout.paragraphs = {own(255, {Phrase{2}, Phrase{1}}), own(255, {Phrase{1}})};
    EXPECT_EQ(bodyOf("a\x06" "bc", layout),
              "{\\pard {a\n\\par\n}\\s254 \\li100 \\b {b}}"
              "{\\pard {c}}}");
}

TEST(BodyParagraphs, EmptySharedParagraphStillClearsTheParagraphEnd) {
    TextLayoutSection layout;
    layout.formats = {SharedFormat{}};
    layout.paragraphs = {shared(1, 1), shared(0, 1), own(255, {Phrase{1}})};
    EXPECT_EQ(bodyOf("\x06x", layout), "{\\pard \n\\par\n}\n{\\pard }\n{\\pard {x}}}");
}

TEST(BodyParagraphs, OwnParagraphWithoutPhrasesLeavesItsTextToTheNext) {
    TextLayoutSection layout;
    layout.formats = {SharedFormat{}};
    layout.paragraphs = {own(0, {}), shared(2, 1)};
    layout.paragraphs[0].characters = 2;
    EXPECT_EQ(bodyOf("ab", layout), "{\\pard }{\\pard ab}\n}");
}

TEST(BodyParagraphs, PhrasesDecideHowMuchTextIsWrittenNotTheParagraphCount) {
    TextLayoutSection layout;
    layout.formats = {SharedFormat{}};
    layout.paragraphs = {own(0, {Phrase{3}}), shared(1, 1)};
    layout.paragraphs[0].characters = 1;
    EXPECT_EQ(bodyOf("abcd", layout), "{\\pard {abc}}{\\pard d}\n}");
}

TEST(BodyParagraphs, OneCharacterParagraphPassesOverEveryLayerButKeepsItsGroups) {
    TextLayoutSection layout;
    layout.formats = {{Layer().alignment(1), 255, Layer().bold()}};
    layout.paragraphs = {shared(1, 1), own(255, {Phrase{1, Layer().italic()}})};
    layout.paragraphs[1].characters = 1;
    EXPECT_EQ(bodyOf("\x06y", layout), "{\\pard \\s254 \n\\par\n}\n{\\pard \\s254 {y}}}");
}

TEST(BodyParagraphs, StyleReferencesCountDownFromTheFirstStyle) {
    StyleSection styles;
    for (int i = 0; i < 255; ++i) styles.styles.push_back({"S", Layer().rightIndent(i)});
    TextLayoutSection layout;
    layout.formats = {{Layer(), 255, Layer()}, {Layer(), 1, Layer()}};
    layout.paragraphs = {shared(2, 1), shared(2, 2)};
    EXPECT_EQ(bodyOf("abcd", layout, &styles), "{\\pard \\s254 \\ri0 ab}\n{\\pard \\s0 \\ri254 cd}\n}");
}

TEST(BodyParagraphs, StyleNeverDefinedWritesItsNumberButNoLayers) {
    TextLayoutSection layout;
    layout.formats = {{Layer(), 200, Layer()}};
    layout.paragraphs = {shared(1, 1)};
    EXPECT_EQ(bodyOf("a", layout), "{\\pard \\s199 a}\n}");
}

TEST(BodyParagraphs, TrailingRecordsArePassedOver) {
    TextLayoutSection layout;
    layout.paragraphs = {own(0, {Phrase{1, Layer(), 2}, Phrase{1, Layer().bold(), 0}, Phrase{1, Layer(), 1}})};
    EXPECT_EQ(bodyOf("abc", layout), "{\\pard {a}{\\b b}{c}}}");
}

TEST(BodyParagraphs, FormatReferenceBeyondTheListWritesNoFormatting) {
    TextLayoutSection layout;
    layout.formats = {{Layer().alignment(1), 0, Layer()}};
    layout.paragraphs = {shared(1, 9)};
    // Entry 9 would lie past the end of the input: the document is damaged.
    std::string body = bodyOf("a", layout, nullptr, 1);
    EXPECT_TRUE(body.starts_with("{\\pard ")) << body;
    EXPECT_TRUE(body.ends_with("a}\n}")) << body;
}

TEST(CharacterTable, EscapesBracesBackslashesAndControlBytes) {
    TextLayoutSection layout;
    layout.formats = {SharedFormat{}};
    std::string text = std::string("\\{}\t") + '\0' + "\x07\x08\x06" "\x80\xE9\xFF\x01";
    layout.paragraphs = {shared(static_cast<uint32_t>(text.size()), 1)};
    EXPECT_EQ(bodyOf(text, layout),
              "{\\pard \\\\\\{\\}\\tab \n\\line\n\n\\page\n\n\\par\n\x80\xE9\xFF\x01}\n}");
}

TEST(UnformattedBody, TextWithoutALayoutSectionIsWrittenAsOneParagraph) {
    Conversion c = convertBytes(WordDocument().styles(StyleSection{}).text("a{b}\x06" "c").build());
    EXPECT_EQ(c.result, 0);
    EXPECT_TRUE(c.rtf.ends_with("\\par {\\pard a\\{b\\}\n\\par\nc}\n}")) << c.rtf;
}

TEST(UnformattedBody, NothingIsAddedWithoutAStyleOrTextSection) {
    EXPECT_EQ(convertBytes(WordDocument().text("abc").build()).rtf, "");
    std::string stylesOnly = convertBytes(WordDocument().styles(StyleSection{}).build()).rtf;
    EXPECT_TRUE(stylesOnly.ends_with("\\par ")) << stylesOnly;
}

}  // namespace
}  // namespace zentoro
