// Attribute layers: every id's value size and output, paragraph wrapping,
// skip mode, and how a layer that runs past its length or the input ends.
#include <gtest/gtest.h>

#include "reader/input_readers.h"
#include "rtf/attribute_layer.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

struct Translation {
    std::string rtf;
    int32_t endPosition;  // where the input stands afterwards
};

Translation translate(const Bytes& layerBytes, bool inStyle = false, int mode = TranslateLayer) {
    StateOver s(layerBytes.data);
    s->inStyleDefinition = inStyle;
    translateAttributeLayer(s.state(), mode);
    return {s.output(), tell(s.state())};
}

Translation translate(const Layer& layer, bool inStyle = false) { return translate(layer.bytes(), inStyle); }

// One attribute record, its value's size and what it writes outside a style.
struct RecordCase {
    const char* name;
    Layer layer;
    std::string rtf;
};

// gtest names the case, not its bytes, in its messages.
void PrintTo(const RecordCase& c, std::ostream* out) { *out << c.name; }

class EveryAttribute : public ::testing::TestWithParam<RecordCase> {};

TEST_P(EveryAttribute, ConsumesItsWholeValueAndWritesItsControlWords) {
    const RecordCase& c = GetParam();
    // A marker record after it shows the value was consumed exactly.
    Layer layer = c.layer;
    layer.italic();
    Translation t = translate(layer);
    EXPECT_EQ(t.rtf, c.rtf + "\\i ");
    EXPECT_EQ(t.endPosition, static_cast<int32_t>(4 + layer.recordsSize()));
}

INSTANTIATE_TEST_SUITE_P(
    AttributeTable, EveryAttribute,
    ::testing::Values(
        RecordCase{"colour0", Layer().colour(0, 255, 255, 0), "\\cf1 "},
        RecordCase{"colour1", Layer().colour(85, 0, 0, 1), "\\cf2 "},
        RecordCase{"colour25", Layer().colour(170, 1, 2, 25), "\\cf3 "},
        RecordCase{"colourWhite", Layer().colour(255, 0, 0), "\\cf4 "},
        RecordCase{"colourOther", Layer().colour(100, 100, 100), ""},
        RecordCase{"leftIndent", Layer().leftIndent(720), "}\\pard \\li720 {"},
        RecordCase{"rightIndent", Layer().rightIndent(360), "}\\pard \\ri360 {"},
        RecordCase{"firstLineIndent", Layer().firstLineIndent(-280), "}\\pard \\fi-280 {"},
        RecordCase{"alignLeft", Layer().alignment(0), "\\ql "},
        RecordCase{"alignCentre", Layer().alignment(1, 6), "\\qc "},
        RecordCase{"alignRight", Layer().alignment(2), "\\qr "},
        RecordCase{"alignJustify", Layer().alignment(3), "\\qj "},
        RecordCase{"alignOther", Layer().alignment(4), ""},
        RecordCase{"lineSpacing", Layer().lineSpacing(240), "}\\pard \\sl240 {"},
        RecordCase{"exactLineSpacing", Layer().exactLineSpacing(1), ""},
        RecordCase{"spaceAfter", Layer().spaceAfter(120), "}\\pard \\sa120 {"},
        RecordCase{"spaceBefore", Layer().spaceBefore(60), "}\\pard \\sb60 {"},
        RecordCase{"keepTogether", Layer().keepTogether(1), "\\keep "},
        RecordCase{"keepTogetherOff", Layer().keepTogether(0), ""},
        RecordCase{"keepWithNext", Layer().keepWithNext(1), "\\keepn "},
        RecordCase{"pageBreakBefore", Layer().pageBreakBefore(1), "\\pagebb "},
        RecordCase{"widowControlZero", Layer().widowControl(0), "\\widowctrl "},
        RecordCase{"widowControlOne", Layer().widowControl(1), ""},
        // Neither has an RTF counterpart; text would land in the document's body.
        RecordCase{"lineWrapping", Layer().lineWrapping(1), ""},
        RecordCase{"borderMargin", Layer().borderMargin(-5), ""},
        RecordCase{"border17", Layer().border(17), ""},
        RecordCase{"border20", Layer().border(20), ""},
        RecordCase{"defaultTabWidth", Layer().defaultTabWidth(720), "\\deftab720 "},
        RecordCase{"tabStopCentred", Layer().tabStop(720, 1), "\\tx720 \\qc "},
        RecordCase{"tabStopOtherAlignment", Layer().tabStop(720, 4), "\\tx720 "},
        RecordCase{"fontSize", Layer().fontSize(205), "\\fs20 "},
        RecordCase{"fontSizeUnsigned", Layer().fontSize(0xFFFFFFFF), "\\fs429496729 "},
        RecordCase{"italic", Layer().italic(1), "\\i "},
        RecordCase{"bold", Layer().bold(1), "\\b "},
        RecordCase{"boldOff", Layer().bold(0), ""},
        RecordCase{"superscript", Layer().verticalPosition(1), "\\up6 "},
        RecordCase{"subscript", Layer().verticalPosition(2), "\\dn6 "},
        RecordCase{"underline", Layer().underline(1), "\\ul "},
        RecordCase{"strikethrough", Layer().strikethrough(1), "\\strike "},
        RecordCase{"fontArial", Layer().font("Arial"), "\\f1 "},
        RecordCase{"fontCourier", Layer().font("Courier New"), "\\f2 "},
        RecordCase{"fontTimes", Layer().font("Times New Roman"), "\\f3 "},
        RecordCase{"fontLowerCase", Layer().font("arial"), ""},
        RecordCase{"fontTrailingSpace", Layer().font("Arial "), ""},
        RecordCase{"fontEmpty", Layer().font(""), ""},
        RecordCase{"fontEndsAtANul", Layer().font(std::string_view("Arial\0Bold", 10)), "\\f1 "},
        RecordCase{"fontShorterThanAKnownOne", Layer().font("Courier"), ""},
        RecordCase{"fontLongerThanAKnownOne", Layer().font("Times New Roman Condensed Italic"), ""},
        RecordCase{"lineFeed", Layer().lineFeed(1), "\n"},
        RecordCase{"flag24", Layer().record(24, Bytes().u8(1)), ""},
        RecordCase{"colour26", Layer().record(26, Bytes().u8(255).u8(255).u8(255)), ""},
        RecordCase{"flag27", Layer().record(27, Bytes().u8(1)), ""},
        RecordCase{"byte35", Layer().record(35, Bytes().u8(0)), ""},
        RecordCase{"bullet", Layer().bullet(183, 200, "Arial"),
                   "{\\field \n{\\*\\fldinst\nSYMBOL 183\n\\\\f \"Arial\"\n\\\\s 20\n\\\\h\n}\n{\\fldrslt}}\n"}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST(AttributeLayer, LongsAreWrittenSignedAndLargeIndentsComeOutNegative) {
    EXPECT_EQ(translate(Layer().leftIndent(static_cast<int32_t>(0xFFFFFFFF))).rtf, "}\\pard \\li-1 {");
    EXPECT_EQ(translate(Layer().defaultTabWidth(static_cast<int32_t>(0x80000000))).rtf, "\\deftab-2147483648 ");
    Layer firstLine;
    firstLine.record(4, Bytes().u8(0xE8).u8(0xFE).u8(0xFF).u8(0xFF));
    EXPECT_EQ(translate(firstLine).rtf, "}\\pard \\fi-280 {");
}

TEST(AttributeLayer, InsideAStyleParagraphAttributesAreNotWrapped) {
    Layer layer = Layer().leftIndent(720).rightIndent(360).lineSpacing(240).tabStop(100, 2);
    EXPECT_EQ(translate(layer, true).rtf, "\\li720 \\ri360 \\sl240 \\tx100 \\qr ");
    EXPECT_EQ(translate(Layer().leftIndent(720).rightIndent(360)).rtf, "}\\pard \\li720 {}\\pard \\ri360 {");
}

TEST(AttributeLayer, ExactLineSpacingActsOnLaterLineSpacingRecordsAndPersists) {
    StateOver s(Layer().exactLineSpacing(1).lineSpacing(240).bytes().append(Layer().lineSpacing(100).bytes()).data);
    translateAttributeLayer(s.state(), TranslateLayer);
    translateAttributeLayer(s.state(), TranslateLayer);
    EXPECT_EQ(s.output(), "}\\pard \\sl-240 {}\\pard \\sl-100 {");

    StateOver later(Layer().lineSpacing(240).exactLineSpacing(1).bytes().data);
    translateAttributeLayer(later.state(), TranslateLayer);
    EXPECT_EQ(later.output(), "}\\pard \\sl240 {");
    EXPECT_TRUE(later->exactLineSpacing);

    StateOver other(Layer().exactLineSpacing(1).exactLineSpacing(7).lineSpacing(5).exactLineSpacing(0).lineSpacing(6).bytes().data);
    translateAttributeLayer(other.state(), TranslateLayer);
    EXPECT_EQ(other.output(), "}\\pard \\sl-5 {}\\pard \\sl6 {");
}

TEST(AttributeLayer, EmptyLayerConsumesItsLengthInEitherMode) {
    EXPECT_EQ(translate(Layer()).rtf, "");
    EXPECT_EQ(translate(Layer()).endPosition, 4);
    EXPECT_EQ(translate(Layer().bytes(), false, SkipLayer).endPosition, 4);
}

TEST(AttributeLayer, SkipModePassesOverByTheDeclaredLength) {
    Bytes layer = Layer().bold().italic().declaredLength(12).bytes().fill(8, 0);
    Translation t = translate(layer, false, SkipLayer);
    EXPECT_EQ(t.rtf, "");
    EXPECT_EQ(t.endPosition, 16);
}

TEST(AttributeLayer, OneCharacterParagraphMakesEveryLayerSkip) {
    StateOver s(Layer().bold().italic().bytes().data);
    s->paragraphLength = 1;
    translateAttributeLayer(s.state(), TranslateLayer);
    EXPECT_EQ(s.output(), "");
    EXPECT_EQ(tell(s.state()), 8);
}

// Records carry no length, so an id whose value size is not known ends its
// layer: the input moves to the layer's declared end and the next layer is
// read from there, whatever the bytes after the id look like.
TEST(AttributeLayer, UnknownIdEndsItsLayerAtTheDeclaredEnd) {
    for (int id : {37, 40, 128, 255}) {
        Layer unknown = Layer().bold().record(id, Bytes().u8(29).u8(1)).underline();
        StateOver s(unknown.bytes().append(Layer().italic().bytes()).data);
        translateAttributeLayer(s.state(), TranslateLayer);
        EXPECT_EQ(s.output(), "\\b ") << id;
        EXPECT_EQ(tell(s.state()), static_cast<int32_t>(4 + unknown.recordsSize())) << id;
        translateAttributeLayer(s.state(), TranslateLayer);
        EXPECT_EQ(s.output(), "\\b \\i ") << id;
    }
}

TEST(AttributeLayer, RecordRunningPastTheLayerIsReadWhole) {
    Bytes layer = Layer().leftIndent(720).declaredLength(3).bytes().u8(30).u8(1);
    Translation t = translate(layer);
    EXPECT_EQ(t.rtf, "}\\pard \\li720 {");
    EXPECT_EQ(t.endPosition, 4 + 5);
}

TEST(AttributeLayer, LayerClaimingMoreThanTheInputEndsWithTheInput) {
    Translation t = translate(Layer().bold().declaredLength(0xFFFFFFFF).bytes());
    EXPECT_EQ(t.rtf, "\\b ");
}

TEST(AttributeLayer, LayerStringOfLengthZeroOrOneIsEmptyAndTakesTwoBytes) {
    for (int length : {0, 1}) {
        StateOver s(Bytes().u8(length).u8(0x77).u8(0x55).data);
        s->fontName[0] = 'x';
        EXPECT_EQ(readLayerString(s.state(), s->fontName).screenFont, 0x77);
        EXPECT_EQ(s->fontName[0], '\0');
        EXPECT_EQ(tell(s.state()), 2);
        EXPECT_EQ(s->layerBytesRead, 2u);
    }
}

TEST(AttributeLayer, LongFontNamesAreHeldWholeAndKeepTheLayerInStep) {
    std::string name(254, 'n');
    Layer layer = Layer().font(name).bold();
    EXPECT_EQ(translate(layer).rtf, "\\b ");
    StateOver s(Bytes().layerString(name).data);
    readLayerString(s.state(), s->fontName);
    EXPECT_EQ(std::string(s->fontName.data()), name);
    EXPECT_EQ(s->layerBytesRead, 256u);

    Layer bullet = Layer().bullet(149, 240, name);
    EXPECT_NE(translate(bullet).rtf.find("\\\\f \"" + name + "\"\n"), std::string::npos);
}

TEST(AttributeLayer, BulletInsideTheStyleSheetIsReadButWritesNothing) {
    StateOver s(Layer().bullet(183, 200, "Arial").bold().bytes().data);
    s->writingStyleSheet = true;
    s->inStyleDefinition = true;
    translateAttributeLayer(s.state(), TranslateLayer);
    EXPECT_EQ(s.output(), "\\b ");
}

TEST(AttributeLayer, BulletSizeIsDividedUnsigned) {
    std::string rtf = translate(Layer().bullet(149, 0xFFFFFFF6, "Symbol")).rtf;
    EXPECT_NE(rtf.find("\\\\s 429496728\n"), std::string::npos) << rtf;
}

}  // namespace
}  // namespace zentoro
