// The model builder: how layers combine, what each attribute id means, the
// header and footer blocks with their fields, objects, and documents that
// cannot be read whole.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "convert/failure_description.h"
#include "model/read_document.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"

namespace zentoro {
namespace {

namespace built = zentoro::testing;
using built::Bytes;
using built::Layer;
using built::PageLayoutSection;
using built::Phrase;
using built::SharedFormat;
using built::StyleSection;
using built::TextLayoutSection;
using built::WordDocument;
using built::ParagraphEnd;

constexpr int FirstStyle = 255;  // the style byte of the style section's first style
constexpr int FirstStyleIndex = 1;

ConversionResult read(const std::vector<uint8_t>& bytes, Document& document) {
    return readDocument(std::span<const unsigned char>(bytes.data(), bytes.size()), document);
}

Document readOk(const std::vector<uint8_t>& bytes) {
    Document document;
    ConversionResult result = read(bytes, document);
    EXPECT_TRUE(result.succeeded()) << describeFailure(result.failure);
    return document;
}

std::string text(const zentoro::Paragraph& paragraph) {
    std::string all;
    for (const Run& run : paragraph.runs) all += run.text;
    return all;
}

// A layer setting the font size, or none.
Layer sizeLayer(std::optional<int32_t> twips) { return twips ? Layer().fontSize(static_cast<uint32_t>(*twips)) : Layer(); }

struct LayerOrderCase {
    const char* name;
    std::optional<int32_t> normal, style, paragraph, phrase;
    int32_t expected;
};

// Weakest first: built-in default, Normal, the style, the paragraph's own
// (or shared) layer, the phrase's layer.
const LayerOrderCase LayerOrderCases[] = {
    {"BuiltInDefault", {}, {}, {}, {}, 200},
    {"NormalOverDefault", 240, {}, {}, {}, 240},
    {"StyleOverNormal", 240, 280, {}, {}, 280},
    {"ParagraphOverStyle", 240, 280, 320, {}, 320},
    {"PhraseOverParagraph", 240, 280, 320, 360, 360},
    {"PhraseOverNormalAlone", 240, {}, {}, 360, 360},
    {"ParagraphOverNormalWithoutStyle", 240, {}, 300, {}, 300},
};

class LayerOrder : public ::testing::TestWithParam<LayerOrderCase> {};

StyleSection stylesFor(const LayerOrderCase& c) {
    StyleSection styles;
    styles.normalCharacter = sizeLayer(c.normal);
    styles.styles.push_back(built::Style{"Style", Layer(), sizeLayer(c.style)});
    return styles;
}

TEST_P(LayerOrder, OwnFormatParagraph) {
    const LayerOrderCase& c = GetParam();
    TextLayoutSection layout;
    built::Paragraph own{3, 0, sizeLayer(c.paragraph), c.style ? FirstStyle : 0};
    own.phrases = {Phrase{3, sizeLayer(c.phrase)}};
    layout.paragraphs = {own};
    Document d = readOk(WordDocument().styles(stylesFor(c)).text("Hi\x06").textLayout(layout).build());
    ASSERT_EQ(d.body.size(), 1u);
    ASSERT_EQ(d.body[0].runs.size(), 1u);
    EXPECT_EQ(d.body[0].runs[0].format.size, c.expected);
    EXPECT_EQ(d.body[0].style, c.style ? FirstStyleIndex : 0);
}

INSTANTIATE_TEST_SUITE_P(Layers, LayerOrder, ::testing::ValuesIn(LayerOrderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A shared format stands where a paragraph's own layer does; such a
// paragraph has no phrases.
TEST(LayerOrder, SharedFormatStandsWhereTheOwnLayerDoes) {
    for (const LayerOrderCase& c : LayerOrderCases) {
        if (c.phrase) continue;
        SCOPED_TRACE(c.name);
        TextLayoutSection layout;
        layout.formats = {SharedFormat{Layer(), c.style ? FirstStyle : 0, sizeLayer(c.paragraph)}};
        layout.paragraphs = {built::Paragraph{3, 1}};
        Document d = readOk(WordDocument().styles(stylesFor(c)).text("Hi\x06").textLayout(layout).build());
        ASSERT_EQ(d.body.size(), 1u);
        EXPECT_EQ(d.body[0].runs.at(0).format.size, c.expected);
        EXPECT_EQ(d.body[0].markFormat.size, c.expected);
        EXPECT_EQ(d.body[0].style, c.style ? FirstStyleIndex : 0);
    }
}

TEST(LayerOrder, TabStopsAddUpAndALaterStopAtTheSamePositionReplacesTheEarlier) {
    StyleSection styles;
    styles.normalParagraph = Layer().tabStop(1000, 1).tabStop(2000, 1);
    TextLayoutSection layout;
    built::Paragraph own{3, 0, Layer().tabStop(2000, 3).tabStop(500, 2)};
    own.phrases = {Phrase{3}};
    layout.paragraphs = {own};
    Document d = readOk(WordDocument().styles(styles).text("Hi\x06").textLayout(layout).build());
    std::vector<TabStop> expected = {{500, TabKind::Centre}, {1000, TabKind::Left}, {2000, TabKind::Right}};
    EXPECT_EQ(d.body.at(0).format.tabStops, expected);
}

struct AttributeCase {
    const char* name;
    Layer layer;
    std::function<bool(const ParagraphFormat&, const CharacterFormat&, const Document&)> holds;
};

Bytes colourBytes(int r, int g, int b) { return Bytes().u8(r).u8(g).u8(b); }

const std::vector<AttributeCase>& attributeCases() {
    static const std::vector<AttributeCase> cases = {
        {"BackgroundColour", Layer().record(0x01, colourBytes(10, 20, 30)),
         [](auto& p, auto&, auto&) { return p.hasBackground && p.background == Colour{10, 20, 30}; }},
        {"LeftIndent", Layer().leftIndent(567), [](auto& p, auto&, auto&) { return p.leftIndent == 567; }},
        {"RightIndent", Layer().rightIndent(300), [](auto& p, auto&, auto&) { return p.rightIndent == 300; }},
        {"NegativeFirstLineIndent", Layer().firstLineIndent(-283),
         [](auto& p, auto&, auto&) { return p.firstLineIndent == -283; }},
        {"AlignmentJustified", Layer().alignment(3),
         [](auto& p, auto&, auto&) { return p.alignment == Alignment::Justified; }},
        {"AlignmentLeftOverCentre", Layer().alignment(1).alignment(0),
         [](auto& p, auto&, auto&) { return p.alignment == Alignment::Left; }},
        {"AlignmentOutOfRangeIgnored", Layer().alignment(1).alignment(9),
         [](auto& p, auto&, auto&) { return p.alignment == Alignment::Centre; }},
        {"VerticalAlignmentIsNotParagraphAlignment", Layer().alignment(2, 0x06),
         [](auto& p, auto&, auto&) { return p.alignment == Alignment::Left; }},
        {"ExactLineSpacing", Layer().lineSpacing(240).exactLineSpacing(1),
         [](auto& p, auto&, auto&) { return p.lineSpacing == 240 && p.lineSpacingMode == LineSpacingMode::Exactly; }},
        {"Id9IsSpaceBefore", Layer().record(0x09, Bytes().u32(120)),
         [](auto& p, auto&, auto&) { return p.spaceBefore == 120 && p.spaceAfter == 0; }},
        {"Id10IsSpaceAfter", Layer().record(0x0A, Bytes().u32(60)),
         [](auto& p, auto&, auto&) { return p.spaceAfter == 60 && p.spaceBefore == 0; }},
        {"KeepTogetherKeepWithNextPageBreak", Layer().keepTogether(1).keepWithNext(1).pageBreakBefore(1),
         [](auto& p, auto&, auto&) { return p.keepTogether && p.keepWithNext && p.pageBreakBefore; }},
        {"WidowControlOneIsOn", Layer().widowControl(1), [](auto& p, auto&, auto&) { return p.widowControl; }},
        {"WidowControlZeroIsOff", Layer().widowControl(1).widowControl(0),
         [](auto& p, auto&, auto&) { return !p.widowControl; }},
        {"BorderDistance", Layer().borderMargin(85), [](auto& p, auto&, auto&) { return p.borderDistance == 85; }},
        {"BottomBorder", Layer().record(0x12, Bytes().u8(2).u32(30).u8(1).u8(2).u8(3).u8(0)),
         [](auto& p, auto&, auto&) {
             return p.borders[BottomBorder] == Border{BorderStyle::Double, 30, Colour{1, 2, 3}} &&
                    p.borders[TopBorder].style == BorderStyle::None;
         }},
        {"Bullet", Layer().record(0x15, Bytes().u8(16).u32(200).u8(0x80).u8(1).u8(55).u8(55).u8(55).layerString("Swiss", 0)),
         [](auto& p, auto&, auto& d) {
             const Bullet& b = p.bullet;
             return b.on && b.size == 200 && b.character == U'\u20AC' && b.indent && b.colour == Colour{55, 55, 55} &&
                    d.fonts[static_cast<size_t>(b.font)] == Font{"Swiss", FontFamily::Swiss};
         }},
        {"DefaultTabInterval", Layer().defaultTabWidth(360),
         [](auto& p, auto&, auto&) { return p.defaultTabInterval == 360; }},
        {"TextColour", Layer().colour(200, 100, 50), [](auto&, auto& c, auto&) { return c.colour == Colour{200, 100, 50}; }},
        {"FontSizeInTwips", Layer().fontSize(205), [](auto&, auto& c, auto&) { return c.size == 205; }},
        {"ItalicBoldUnderlineStrike", Layer().italic().bold().underline().strikethrough(),
         [](auto&, auto& c, auto&) { return c.italic && c.bold && c.underline && c.strikethrough; }},
        {"Subscript", Layer().verticalPosition(2),
         [](auto&, auto& c, auto&) { return c.position == VerticalPosition::Subscript; }},
        {"FontWithItsClass", Layer().font("Courier", 2),
         [](auto&, auto& c, auto& d) { return d.fonts[static_cast<size_t>(c.font)] == Font{"Courier", FontFamily::Monospaced}; }},
        {"SameNameOtherClassIsAnotherFont", Layer().font("CG Times", 3),
         [](auto&, auto& c, auto& d) { return d.fonts[static_cast<size_t>(c.font)].family == FontFamily::Serif; }},
        {"IdsWithoutVisibleEffectAreRead", Layer().record(0x18, Bytes().u8(1)).record(0x1A, colourBytes(255, 255, 255)).bold(),
         [](auto&, auto& c, auto&) { return c.bold; }},
        {"UnknownIdEndsTheLayer", Layer().italic().record(0x40, Bytes().u8(30)).bold(),
         [](auto&, auto& c, auto&) { return c.italic && !c.bold; }},
    };
    return cases;
}

// Each layer is a paragraph's own layer. Its first phrase, with an empty
// layer, shows the paragraph's character formatting; the second sets the
// size, and so the paragraph end's, to show it is read where it lies
// whatever the layer held.
TEST(AttributeMeaning, EachIdSetsWhatTheDeviceShows) {
    for (const AttributeCase& c : attributeCases()) {
        SCOPED_TRACE(c.name);
        TextLayoutSection layout;
        built::Paragraph own{3, 0, c.layer};
        own.phrases = {Phrase{2}, Phrase{1, Layer().fontSize(300)}};
        layout.paragraphs = {own};
        Document d = readOk(WordDocument().styles(StyleSection{}).text("Hi\x06").textLayout(layout).build());
        ASSERT_EQ(d.body.size(), 1u);
        ASSERT_EQ(d.body[0].runs.size(), 1u);
        EXPECT_TRUE(c.holds(d.body[0].format, d.body[0].runs[0].format, d));
        EXPECT_EQ(d.body[0].markFormat.size, 300);
    }
}

// A header whose text holds its fields' latest expansions.
built::HeaderFooter headerWithFields() {
    built::HeaderFooter header;
    header.present = true;
    header.text = std::string("Page 12 of 30, 03-02-2004 memo") + ParagraphEnd;
    header.fields = {
        {5, 2, 0x10000060, ""},
        {4, 2, 0x10000061, ""},
        {2, 10, 0x1000005F, "%D%M%Y%/0%1%/1%2%/2%3%/3"},
        {1, 4, 0x10000062, ""},
    };
    header.charactersAfterFields = 0;
    header.paragraphs = {{static_cast<uint32_t>(header.text.size()), 0, Layer().alignment(1),
                          {{static_cast<uint32_t>(header.text.size()), Layer().bold()}}}};
    return header;
}

TEST(HeaderFooterBlocks, FieldsBecomeFieldRunsWithTheirLatestExpansion) {
    PageLayoutSection page;
    page.header = headerWithFields();
    page.footer.present = true;
    page.footer.text = std::string("x") + ParagraphEnd;
    page.footer.paragraphs = {{2, 0, Layer(), {{2}}}};
    Document d = readOk(WordDocument().styles(StyleSection{}).pageLayout(page).build());
    ASSERT_EQ(d.header.paragraphs.size(), 1u);
    const std::vector<zentoro::Run>& runs = d.header.paragraphs[0].runs;
    struct Expected {
        RunKind kind;
        std::string text;
        FieldKind field;
    };
    std::vector<Expected> expected = {
        {RunKind::Text, "Page ", {}},           {RunKind::Field, "12", FieldKind::PageNumber},
        {RunKind::Text, " of ", {}},            {RunKind::Field, "30", FieldKind::PageCount},
        {RunKind::Text, ", ", {}},              {RunKind::Field, "03-02-2004", FieldKind::Date},
        {RunKind::Text, " ", {}},               {RunKind::Field, "memo", FieldKind::FileName},
    };
    ASSERT_EQ(runs.size(), expected.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(runs[i].kind, expected[i].kind);
        EXPECT_EQ(runs[i].text, expected[i].text);
        if (runs[i].kind == RunKind::Field) { EXPECT_EQ(runs[i].field, expected[i].field); }
        EXPECT_TRUE(runs[i].format.bold);
    }
    EXPECT_EQ(runs[5].pattern, "%D%M%Y%/0%1%/1%2%/2%3%/3");
    EXPECT_EQ(d.header.paragraphs[0].format.alignment, Alignment::Centre);
}

TEST(HeaderFooterBlocks, FlagsBaseLayersAndPageSetup) {
    PageLayoutSection page;
    page.firstPageNumber = 3;
    page.headerDistance = 500;
    page.footerDistance = 400;
    page.leftMargin = 1000;
    page.paperWidth = 12240;
    page.paperHeight = 15840;
    page.header.present = true;
    page.header.shownOnFirstPage = false;
    page.header.baseParagraph = Layer().alignment(2);
    page.header.baseCharacter = Layer().fontSize(160);
    page.header.text = std::string("a\x06") + "b" + ParagraphEnd;
    page.header.paragraphs = {{2, 0, Layer(), {{2}}}, {2, 0, Layer().alignment(1), {{2, Layer().italic()}}}};
    page.footer.present = false;
    page.footer.contentByteOnlyWhenAbsent = true;
    StyleSection arialNormal;
    arialNormal.normalCharacter = Layer().font("Arial");
    Document d = readOk(WordDocument().styles(arialNormal).pageLayout(page).build());
    EXPECT_EQ(d.page.firstPageNumber, 3);
    EXPECT_EQ(d.page.headerDistance, 500);
    EXPECT_EQ(d.page.footerDistance, 400);
    EXPECT_EQ(d.page.leftMargin, 1000);
    EXPECT_EQ(d.page.width, 12240);
    EXPECT_EQ(d.page.height, 15840);
    EXPECT_TRUE(d.header.present);
    EXPECT_FALSE(d.header.shownOnFirstPage);
    EXPECT_FALSE(d.footer.present);
    ASSERT_EQ(d.header.paragraphs.size(), 2u);
    // The base layers stand where Normal stands in the body, over the
    // device's defaults rather than Normal's.
    EXPECT_EQ(d.header.paragraphs[0].format.alignment, Alignment::Right);
    EXPECT_EQ(d.header.paragraphs[0].runs.at(0).format.size, 160);
    EXPECT_EQ(d.fonts.at(static_cast<size_t>(d.header.paragraphs[0].runs.at(0).format.font)).name, "Times New Roman");
    EXPECT_EQ(d.header.paragraphs[1].format.alignment, Alignment::Centre);
    EXPECT_EQ(d.header.paragraphs[1].runs.at(0).format.size, 160);
    EXPECT_TRUE(d.header.paragraphs[1].runs.at(0).format.italic);
}

TEST(HeaderFooterBlocks, WithoutALayoutTheTextIsOneParagraphPerEnd) {
    PageLayoutSection page;
    page.header.present = true;
    page.header.layoutPosition = 0;
    page.header.text = std::string("one\x06two") + ParagraphEnd;
    page.footer.contentByteOnlyWhenAbsent = true;
    Document d = readOk(WordDocument().pageLayout(page).build());
    ASSERT_EQ(d.header.paragraphs.size(), 2u);
    EXPECT_EQ(text(d.header.paragraphs[1]), "two");
}

TEST(BodyText, SpecialCharactersObjectsAndTheParagraphEnd) {
    std::string body = std::string("a\x07") + "b\x08" + "c\x09\x0A" + "d\x0B\x0C\x10\x0F\x0D" + "\x80\xE9\x0E" + "e\x06";
    TextLayoutSection layout;
    built::Paragraph own{static_cast<uint32_t>(body.size()), 0};
    uint32_t beforeObject = static_cast<uint32_t>(body.find('\x0E'));
    own.phrases = {Phrase{beforeObject}, Phrase{1, Layer(), 1}, Phrase{static_cast<uint32_t>(body.size()) - beforeObject - 1}};
    layout.paragraphs = {own};
    Document d = readOk(WordDocument().styles(StyleSection{}).text(body).textLayout(layout).build());
    ASSERT_EQ(d.body.size(), 1u);
    const std::vector<zentoro::Run>& runs = d.body[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, "a\u2028b\fc\t\td\u2011\u00AD\u00A0 \u20AC\u00E9");
    EXPECT_EQ(runs[1].kind, RunKind::Object);
    EXPECT_EQ(runs[2].text, "e");
    ASSERT_EQ(d.objects.size(), 1u);
    // The builder's trailing record holds 1, 2, 3, 4: tag, position, width, height.
    EXPECT_EQ(d.objects[0].sectionPosition, 2u);
    EXPECT_EQ(d.objects[0].displayWidth, 3);
    EXPECT_EQ(d.objects[0].displayHeight, 4);
}

TEST(BodyText, StyleRecordsGiveNamesHotKeysAndBothLayers) {
    StyleSection styles;
    styles.normalHotKey = 'N';
    styles.hotKeys = {'H'};
    // The device stores a style's character layer first; both are read whatever their order.
    styles.styles = {built::Style{"Heading", Layer().bold(), Layer().spaceBefore(240)}};
    Document d = readOk(WordDocument().styles(styles).build());
    ASSERT_EQ(d.styles.size(), 2u);
    EXPECT_EQ(d.styles[0].name, "Normal");
    EXPECT_EQ(d.styles[0].hotKey, 'N');
    EXPECT_EQ(d.styles[1].name, "Heading");
    EXPECT_EQ(d.styles[1].hotKey, 'H');
    EXPECT_TRUE(d.styles[1].character.bold);
    EXPECT_EQ(d.styles[1].paragraph.spaceAfter, 240);  // the builder's spaceBefore is id 10
}

TEST(DamagedDocuments, EveryTruncationFailsAsDamaged) {
    std::vector<uint8_t> whole = built::deviceDocument();
    Document complete = readOk(whole);
    ASSERT_EQ(complete.body.size(), 9u);
    ASSERT_EQ(complete.objects.size(), 1u);
    for (size_t size = 20; size < whole.size(); ++size) {
        std::vector<uint8_t> prefix(whole.begin(), whole.begin() + static_cast<long>(size));
        Document d;
        ASSERT_EQ(read(prefix, d).failure, Failure::DocumentDamaged) << "prefix of " << size << " bytes";
    }
}

TEST(DamagedDocuments, PhraseOfAnUnknownTypeCannotBeRead) {
    TextLayoutSection layout;
    layout.paragraphs = {built::Paragraph{3, 0, Layer(), 0, {Phrase{3, Layer(), 2}}}};
    Document d;
    EXPECT_EQ(read(WordDocument().text("Hi\x06").textLayout(layout).build(), d).failure, Failure::DocumentDamaged);
}

constexpr size_t StyleCountAt = 0x14 + 4 + 4 + 4 + 1;  // Normal's two empty layers, hot key, hot-key count

// A document of one style whose style count says `count`.
std::vector<uint8_t> withStyleCount(uint8_t count, std::string_view text = "Hi\x06") {
    StyleSection styles;
    styles.styles.push_back(built::Style{"Heading", Layer(), Layer().bold()});
    std::vector<uint8_t> bytes = WordDocument().styles(styles).text(text).build();
    bytes.at(StyleCountAt) = count;
    return bytes;
}

// One whose style count claims a record more than the bytes after it could
// hold, at 17 bytes or more a record (a name's count, the kind, two empty
// layers), though not at 16.
std::vector<uint8_t> withStyleCountJustPastItsBytes() {
    const std::string text = std::string(300, 'a') + "\x06";
    size_t after = withStyleCount(0, text).size() - StyleCountAt - 1;
    return withStyleCount(static_cast<uint8_t>(after / 17 + 1), text);
}

TEST(DamagedDocuments, CountsBeyondTheInputFailWithoutReadingOn) {
    struct Case {
        const char* name;
        std::vector<uint8_t> document;
    };
    TextLayoutSection hugeParagraphs;
    hugeParagraphs.paragraphCount = 0xFFFFFFFF;
    TextLayoutSection hugePhrases;
    built::Paragraph own{3, 0};
    own.phraseCount = 0xFFFFFFFF;
    hugePhrases.paragraphs = {own};
    TextLayoutSection longText;
    longText.paragraphs = {built::Paragraph{0xFFFFFFF0, 0, Layer(), 0, {Phrase{0xFFFFFFF0}}}};
    TextLayoutSection hugeLayer;
    hugeLayer.paragraphs = {built::Paragraph{3, 0, Layer().declaredLength(0xFFFFFFFF), 0, {Phrase{3}}}};
    std::vector<Case> cases = {
        {"ParagraphCount", WordDocument().text("Hi\x06").textLayout(hugeParagraphs).build()},
        {"PhraseCount", WordDocument().text("Hi\x06").textLayout(hugePhrases).build()},
        {"CharacterCount", WordDocument().text("Hi\x06").textLayout(longText).build()},
        {"LayerLength", WordDocument().text("Hi\x06").textLayout(hugeLayer).build()},
        {"DictionaryOutsideTheFile", WordDocument().text("Hi\x06").dictionaryOffset(0x7FFFFFF0).build()},
        {"StyleCount", withStyleCount(200)},
        {"StyleCountJustPastTheBytes", withStyleCountJustPastItsBytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Document d;
        EXPECT_EQ(read(c.document, d).failure, Failure::DocumentDamaged);
        EXPECT_EQ(d.styles.size(), 1u);  // Normal, and no style read from other bytes
    }
}

TEST(DamagedDocuments, AHeaderThatIsNotAWordDocumentsIsReportedSo) {
    Document d;
    EXPECT_EQ(read(WordDocument().headerUids(0x10000037, 0x1000006D, 0x10000001).build(), d).failure,
              Failure::NotWordDocument);
}

}  // namespace
}  // namespace zentoro
