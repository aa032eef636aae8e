// The style section: the RTF header and tables around the document's
// styles, their numbering, hot keys and names, and the recorded positions.
#include <gtest/gtest.h>

#include "reader/input_readers.h"
#include "rtf/attribute_layer.h"
#include "rtf/style_sheet.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

const std::string Header =
    "{\\rtf1\\ansi\\deff0\\deftab720\n"
    "{\\fonttbl {\\f0\\fnil Times New Roman;}\n{\\f1\\fnil Arial;}\n{\\f2\\fnil Courier New;}\n"
    "{\\f3\\fnil Times New Roman;}}\n"
    "{\\stylesheet\n{";
const std::string Trailer =
    "}\n{\\colortbl;\n\\red0\\green0\\blue0;\n\\red85\\green85\\blue85;\n\\red170\\green170\\blue170;\n"
    "\\red255\\green255\\blue255;\n}\\deflang1033\\pard\\plain\\f3\\fs20\\par ";

std::string keycode(char key) {
    std::string text = "{\\*\\keycode \\shift\\ctrl ";
    text.push_back(key);
    text.push_back('}');
    return text;
}

std::string styleSheetOf(const StyleSection& styles) {
    StateOver s(styles.bytes().data);
    writeStyleSheet(s.state());
    return s.output();
}

TEST(StyleSheet, OneStyleWithEmptyLayers) {
    StyleSection styles;
    styles.hotKeys = {'H'};
    styles.styles = {{"Head"}};
    EXPECT_EQ(styleSheetOf(styles),
              Header + keycode('N') + " Normal;}" + "{\\s254" + keycode('H') + " Head;}" + Trailer);
}

TEST(StyleSheet, NoStylesGivesOnlyTheNormalEntry) {
    StyleSection styles;
    styles.normalParagraph = Layer().alignment(1).leftIndent(100);
    styles.normalCharacter = Layer().bold();
    EXPECT_EQ(styleSheetOf(styles), Header + "\\qc \\li100 \\b " + keycode('N') + " Normal;}" + Trailer);
}

TEST(StyleSheet, StylesAreNumberedDownFrom254AndRecordWhereTheirLayersLie) {
    StyleSection styles;
    for (int i = 0; i < 255; ++i) styles.styles.push_back({std::string("S").append(std::to_string(i)), Layer().leftIndent(i)});
    StateOver s(styles.bytes().data);
    writeStyleSheet(s.state());
    std::string rtf = s.output();
    EXPECT_NE(rtf.find("{\\s254\\li0 {\\*\\keycode \\shift\\ctrl " + std::string(1, '\0') + "} S0;}"),
              std::string::npos);
    EXPECT_NE(rtf.find("{\\s0\\li254 "), std::string::npos);
    EXPECT_TRUE(rtf.ends_with(" S254;}" + Trailer));
    // Each recorded position is that of the style's paragraph layer.
    for (int i : {0, 100, 254}) {
        seek(s.state(), s->StyleTable[static_cast<size_t>(i)]);
        EXPECT_EQ(readU32(s.state()), 5u) << i;
        EXPECT_EQ(readByte(s.state()), 2) << i;
        EXPECT_EQ(static_cast<int>(readU32(s.state())), i) << i;
    }
    EXPECT_FALSE(s->inStyleDefinition);
}

TEST(StyleSheet, StyleLayersAreWrittenInsideTheEntryWithoutParagraphWrapping) {
    StyleSection styles;
    styles.hotKeys = {'1'};
    styles.styles = {{"Heading", Layer().spaceBefore(240).keepWithNext(1), Layer().font("Arial").bold()}};
    EXPECT_EQ(styleSheetOf(styles), Header + keycode('N') + " Normal;}" + "{\\s254\\sb240 \\keepn \\f1 \\b " +
                                        keycode('1') + " Heading;}" + Trailer);
}

TEST(StyleSheet, NameLengthByteGivesAQuarterOfItsValueLessTwo) {
    struct Case { int lengthByte; std::string nameInFile; std::string written; };
    for (const Case& c : {Case{0, "", ""}, Case{5, "", ""}, Case{6, "A", "A"}, Case{9, "B", "B"},
                          Case{255, std::string(63, 'x'), std::string(63, 'x')}}) {
        StyleSection styles;
        styles.styles = {{c.nameInFile, Layer(), Layer().italic(), c.lengthByte}};
        std::string rtf = styleSheetOf(styles);
        EXPECT_NE(rtf.find("\\i " + keycode('\0') + " " + c.written + ";}}"), std::string::npos) << c.lengthByte;
    }
}

TEST(StyleSheet, ZeroByteEndsTheWrittenNameButTheWholeNameIsConsumed) {
    StyleSection styles;
    styles.styles = {{std::string("Ab\0cd", 5), Layer(), Layer().bold()}, {"Next"}};
    std::string rtf = styleSheetOf(styles);
    EXPECT_NE(rtf.find("\\b " + keycode('\0') + " Ab;}{\\s253" + keycode('\0') + " Next;}"), std::string::npos);
}

// Names and hot keys are written as they are, except that a brace or
// backslash in them is escaped: raw, it would end the style sheet early or
// start a control word, and readers would lose the rest of the document.
// Bullet font names likewise.
TEST(StyleSheet, NamesAndHotKeysAreWrittenRawWithBracesAndBackslashesEscaped) {
    StyleSection styles;
    styles.normalHotKey = '}';
    styles.hotKeys = {0xE9, '\\'};
    styles.styles = {{"a{b}\\c;d"}, {"e"}};
    EXPECT_EQ(styleSheetOf(styles), Header + "{\\*\\keycode \\shift\\ctrl \\}} Normal;}" + "{\\s254" + keycode('\xE9') +
                                        " a\\{b\\}\\\\c;d;}{\\s253{\\*\\keycode \\shift\\ctrl \\\\} e;}" + Trailer);

    StateOver s(Layer().bullet(149, 240, "Sym}bol").bytes().data);
    translateAttributeLayer(s.state(), TranslateLayer);
    EXPECT_NE(s.output().find("\\\\f \"Sym\\}bol\"\n"), std::string::npos) << s.output();
}

TEST(StyleSheet, SurplusHotKeysAreReadAndMissingOnesAreZero) {
    StyleSection more;
    more.hotKeys = {'A', 'B', 'C'};
    more.styles = {{"One"}};
    std::string rtf = styleSheetOf(more);
    EXPECT_NE(rtf.find(keycode('A') + " One;}}"), std::string::npos);

    StyleSection fewer;
    fewer.hotKeys = {'A'};
    fewer.styles = {{"One"}, {"Two"}};
    EXPECT_NE(styleSheetOf(fewer).find(keycode('A') + " One;}{\\s253" + keycode('\0') + " Two;}"),
              std::string::npos);
}

TEST(StyleSheet, OneCharacterParagraphLeftByTheBodyPassesOverEveryLayer) {
    StyleSection styles;
    styles.normalCharacter = Layer().bold();
    styles.styles = {{"S", Layer().leftIndent(5), Layer().italic()}};
    StateOver s(styles.bytes().data);
    s->paragraphLength = 1;
    writeStyleSheet(s.state());
    EXPECT_EQ(s.output(), Header + keycode('N') + " Normal;}" + "{\\s254" + keycode('\0') + " S;}" + Trailer);
    EXPECT_NE(s->StyleTable[0], 0);
}

TEST(StyleSheet, BulletStyleWritesNoFieldInTheStyleSheet) {
    StyleSection styles;
    styles.styles = {{"Bullet", Layer().leftIndent(360).bullet(149, 200, "Symbol"), Layer()}};
    EXPECT_EQ(styleSheetOf(styles),
              Header + keycode('N') + " Normal;}" + "{\\s254\\li360 " + keycode('\0') + " Bullet;}" + Trailer);
}

TEST(StyleSheet, StyleCountBeyondTheInputStopsAtItsEndAndStillClosesTheSheet) {
    StyleSection styles;
    styles.styles = {{"One"}, {"Two"}};
    Bytes bytes = styles.bytes();
    constexpr size_t StyleCountOffset = 4 + 4 + 4 + 1;  // two empty layers, Normal hot key, hot-key count
    bytes.data[StyleCountOffset] = 200;
    StateOver s(bytes.data);
    writeStyleSheet(s.state());
    std::string rtf = s.output();
    EXPECT_TRUE(rtf.ends_with(" Two;}" + Trailer)) << rtf;
    EXPECT_EQ(s->StyleTable[2], 0);
}

// Every attribute id in one style's layers: inside the style sheet the
// paragraph attributes stand unwrapped and the bullet writes no field.
TEST(StyleSheet, EveryAttributeIdInAStyleEntry) {
    Layer paragraph = Layer()
                          .colour(0, 0, 0, 0)
                          .colour(85, 0, 0, 1)
                          .leftIndent(1)
                          .rightIndent(2)
                          .firstLineIndent(3)
                          .alignment(1, 5)
                          .alignment(2, 6)
                          .exactLineSpacing(1)
                          .lineSpacing(4)
                          .spaceAfter(5)
                          .spaceBefore(6)
                          .keepTogether(1)
                          .keepWithNext(1)
                          .pageBreakBefore(1)
                          .widowControl(0)
                          .lineWrapping(1)
                          .borderMargin(7)
                          .border(17)
                          .border(18)
                          .border(19)
                          .border(20)
                          .bullet(149, 200, "Symbol")
                          .defaultTabWidth(8)
                          .tabStop(9, 3)
                          .record(24, Bytes().u8(1));
    Layer character = Layer()
                          .colour(170, 0, 0, 25)
                          .record(26, Bytes().u8(255).u8(255).u8(255))
                          .record(27, Bytes().u8(1))
                          .fontSize(100)
                          .italic()
                          .bold()
                          .verticalPosition(2)
                          .underline()
                          .strikethrough()
                          .font("Courier New")
                          .record(35, Bytes().u8(0))
                          .lineFeed(1)
                          .record(37);
    StyleSection styles;
    styles.hotKeys = {'E'};
    styles.styles = {{"Everything", paragraph, character}};
    EXPECT_EQ(styleSheetOf(styles), Header + keycode('N') + " Normal;}" +
                                        "{\\s254\\cf1 \\cf2 \\li1 \\ri2 \\fi3 \\qc \\qr \\sl-4 \\sa5 \\sb6 \\keep \\keepn "
                                        "\\pagebb \\widowctrl \\deftab8 "
                                        "\\tx9 \\qj \\cf3 \\fs10 \\i \\b \\dn6 \\ul \\strike \\f2 \n" +
                                        keycode('E') + " Everything;}" + Trailer);
}

TEST(StyleSheet, EveryDocumentStartsWithTheHeaderWhateverItsStyles) {
    for (int count : {0, 1, 255}) {
        StyleSection styles;
        styles.normalParagraph = Layer().alignment(3).lineSpacing(240).widowControl(0);
        for (int i = 0; i < count; ++i) styles.styles.push_back({"Style", Layer().rightIndent(i), Layer().bold()});
        Conversion c = convertBytes(WordDocument().styles(styles).build());
        EXPECT_EQ(c.result, 0);
        EXPECT_TRUE(c.rtf.starts_with(Header + "\\qj \\sl240 \\widowctrl " + keycode('N') + " Normal;}")) << count;
        EXPECT_TRUE(c.rtf.ends_with(Trailer)) << count;
    }
}

}  // namespace
}  // namespace zentoro
