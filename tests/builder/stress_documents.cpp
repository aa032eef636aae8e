#include "tests/builder/stress_documents.h"

#include <string>

#include "tests/builder/document_builder.h"

namespace zentoro::testing {

namespace {

using namespace std::string_literals;

constexpr uint32_t TextLayoutUid = 0x10000143;
constexpr uint32_t UnlistedUid = 0x10000999;
constexpr uint32_t WrappingLength = 0xFFFFFFFF;
constexpr int SilentFlagId = 24;  // an on/off flag that RTF has no word for
// Style reference r names the (256 - r)th style of the style section.
constexpr int FirstStyle = 255;
constexpr int SecondStyle = 254;
constexpr int ThirdStyle = 253;

uint32_t length(const std::string& text) { return static_cast<uint32_t>(text.size()); }

StyleSection richStyles() {
    StyleSection styles;
    styles.normalParagraph.leftIndent(0).alignment(0).widowControl(0);
    styles.normalCharacter.font("Times New Roman").fontSize(100).colour(0, 0, 0);
    styles.hotKeys = {'H', 'B', 'Q'};
    styles.styles.push_back(Style{"Heading 1", Layer().spaceBefore(240).keepWithNext(1).border(18),
                                  Layer().bold().fontSize(180).font("Arial")});
    styles.styles.push_back(Style{"Bulleted", Layer().bullet(149, 100, "Symbol").leftIndent(360).firstLineIndent(-360),
                                  Layer().colour(85, 85, 85, 0)});
    styles.styles.push_back(Style{"Quote {\\;}", Layer().rightIndent(720).alignment(3, 6).lineSpacing(280),
                                  Layer().italic().underline().font("Courier New")});
    return styles;
}

HeaderFooter richHeader() {
    HeaderFooter header;
    header.present = true;
    const std::string first = "Header";
    const std::string second = " {1}\x07two\x06";
    header.text = first + second;
    header.sharedFormats.push_back({Layer().alignment(1), Layer().bold()});
    header.paragraphs.push_back(HeaderFooterParagraph{
        length(header.text), 0, Layer().spaceAfter(60),
        {HeaderFooterPhrase{length(first), Layer().italic()}, HeaderFooterPhrase{length(second), Layer().fontSize(80)}}});
    return header;
}

HeaderFooter richFooter() {
    HeaderFooter footer;
    footer.present = true;
    footer.text = "Page\x09" "footer\x08\x06";
    footer.sharedFormats.push_back({Layer().alignment(2), Layer()});
    footer.paragraphs.push_back(HeaderFooterParagraph{length(footer.text), 1});
    return footer;
}

struct RichText {
    std::string title = "Title line\x06";
    std::string bullet = "Bullet one\x06";
    std::vector<std::string> phrases = {"Plain, ", "bold", " and {braces} \\ tab\x09" "end\x06"};
    std::string quote = "A quote\x07with a line break\x06";
    std::string last = "Page break\x08 high bytes \xe9\xfc and null \0 end\x06"s;

    std::string all() const { return title + bullet + phrases[0] + phrases[1] + phrases[2] + quote + last; }
};

TextLayoutSection richLayout(const RichText& text) {
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{Layer().alignment(1), FirstStyle, Layer().underline()});
    layout.formats.push_back(SharedFormat{Layer().spaceAfter(120), SecondStyle, Layer()});
    layout.formats.push_back(SharedFormat{Layer()
                                              .tabStop(720, 0)
                                              .tabStop(1440, 2)
                                              .exactLineSpacing(1)
                                              .lineSpacing(240)
                                              .keepTogether(1)
                                              .pageBreakBefore(1)
                                              .defaultTabWidth(360),
                                          0, Layer().strikethrough().verticalPosition(1)});
    layout.paragraphs.push_back(Paragraph{length(text.title), 1});
    layout.paragraphs.push_back(Paragraph{length(text.bullet), 2});
    Paragraph own{length(text.phrases[0] + text.phrases[1] + text.phrases[2]), 0, Layer().firstLineIndent(-280), 0};
    own.phrases.push_back(Phrase{length(text.phrases[0]), Layer()});
    own.phrases.push_back(Phrase{length(text.phrases[1]), Layer().bold().colour(170, 0, 0, 1), 2});
    own.phrases.push_back(Phrase{length(text.phrases[2]), Layer().font("Courier New").verticalPosition(2)});
    layout.paragraphs.push_back(own);
    Paragraph quote{length(text.quote), 0, Layer().spaceBefore(60), ThirdStyle};
    quote.phrases.push_back(Phrase{length(text.quote), Layer().strikethrough()});
    layout.paragraphs.push_back(quote);
    layout.paragraphs.push_back(Paragraph{length(text.last), 3});
    return layout;
}

WordDocument richDocumentParts() {
    PageLayoutSection page;
    page.header = richHeader();
    page.footer = richFooter();
    page.orientation = 1;
    RichText text;
    return WordDocument()
        .applicationId()
        .styles(richStyles())
        .pageLayout(page)
        .text(text.all())
        .textLayout(richLayout(text));
}

}  // namespace

std::vector<uint8_t> richDocument() { return richDocumentParts().build(); }

std::vector<uint8_t> richDocumentDictionaryFirst() { return richDocumentParts().dictionaryAtStart().build(); }

namespace {

constexpr int SansSerifFont = 1;
constexpr int MonospacedFont = 2;
constexpr int SerifFont = 3;
constexpr uint32_t PageNumberField = 0x10000060;
constexpr uint32_t PageCountField = 0x10000061;
constexpr uint32_t DateTimeField = 0x1000005F;
constexpr uint32_t FileNameField = 0x10000062;
constexpr int CentreTab = 2;
constexpr int RightTab = 3;

// Ids whose builder names follow the original translation's reading.
Layer& spaceBeforeParagraph(Layer& layer, int32_t twips) { return layer.record(0x09, Bytes().u32(static_cast<uint32_t>(twips))); }
Layer& spaceAfterParagraph(Layer& layer, int32_t twips) { return layer.record(0x0A, Bytes().u32(static_cast<uint32_t>(twips))); }

// A bullet record as the device stores it: rest length, size, character,
// indent flag, colour and the font with its class.
Layer& deviceBullet(Layer& layer, int character, uint32_t size, bool indent, std::string_view font, int screenFont) {
    Bytes rest;
    rest.u32(size).u8(character).u8(indent ? 1 : 0).u8(85).u8(85).u8(85).layerString(font, screenFont);
    return layer.record(0x15, Bytes().u8(static_cast<int>(rest.size())).append(rest));
}

StyleSection deviceStyles() {
    StyleSection styles;
    spaceAfterParagraph(styles.normalParagraph, 100);
    styles.normalCharacter.font("Arial", SansSerifFont).fontSize(240);
    styles.hotKeys = {'1', 'O'};
    Layer heading = Layer().keepWithNext(1);
    spaceBeforeParagraph(heading, 240);
    styles.styles.push_back(Style{"Heading 1", Layer().bold().fontSize(320), heading});
    Layer bullet = Layer().leftIndent(567).firstLineIndent(-283);
    deviceBullet(bullet, 0x95, 200, true, "Swiss", 0);
    styles.styles.push_back(Style{"Bulleted", Layer(), bullet});
    return styles;
}

HeaderFooter deviceHeader() {
    HeaderFooter header;
    header.present = true;
    header.shownOnFirstPage = false;
    header.text = "Page 2 of 5\t03-02-2004\t1:21am memo\x06";
    header.fields = {{5, 1, PageNumberField, ""},
                     {4, 1, PageCountField, ""},
                     {1, 10, DateTimeField, "%D%M%Y%/0%1%/1%2%/2%3%/3"},
                     {1, 6, DateTimeField, "%*J%:1%T%B"},
                     {1, 4, FileNameField, ""}};
    header.sharedFormats.push_back({Layer().tabStop(4513, CentreTab).tabStop(9026, RightTab), Layer()});
    header.baseCharacter = Layer().font("Times New Roman", SerifFont).fontSize(200);
    header.paragraphs.push_back(HeaderFooterParagraph{static_cast<uint32_t>(header.text.size()), 1});
    return header;
}

HeaderFooter deviceFooter() {
    HeaderFooter footer;
    footer.present = true;
    footer.text = "Left\tCentre\tRight\x06";
    footer.paragraphs.push_back(HeaderFooterParagraph{
        static_cast<uint32_t>(footer.text.size()), 0, Layer().tabStop(4513, CentreTab).tabStop(9026, RightTab),
        {HeaderFooterPhrase{5, Layer().italic()}, HeaderFooterPhrase{static_cast<uint32_t>(footer.text.size()) - 5}}});
    return footer;
}

// Paragraphs, each one shared format or one own-format paragraph of phrases.
struct DeviceBody {
    std::string text;
    TextLayoutSection layout;

    void shared(const std::string& paragraph) {
        text += paragraph;
        layout.paragraphs.push_back(Paragraph{length(paragraph), static_cast<int>(layout.formats.size())});
    }
    void own(Layer paragraphLayer, int style, std::vector<std::pair<std::string, Layer>> phrases) {
        Paragraph paragraph{0, 0, std::move(paragraphLayer), style};
        for (auto& [characters, layer] : phrases) {
            text += characters;
            paragraph.characters += length(characters);
            paragraph.phrases.push_back(Phrase{length(characters), std::move(layer), characters == "\x0E" ? 1 : 0});
        }
        layout.paragraphs.push_back(std::move(paragraph));
    }
};

}  // namespace

std::vector<uint8_t> deviceDocument() {
    DeviceBody body;
    TextLayoutSection& layout = body.layout;
    layout.formats.push_back(SharedFormat{Layer(), FirstStyle, Layer()});
    body.shared("A faithful document\x06");
    Layer justified = Layer().alignment(3).firstLineIndent(283);
    body.own(justified, 0, {{"Plain, ", Layer()}, {"bold", Layer().bold()}, {", ", Layer()},
                            {"italic", Layer().italic()}, {" and ", Layer()}, {"underlined", Layer().underline()},
                            {" text; x", Layer()}, {"2", Layer().verticalPosition(1)}, {" and H", Layer()},
                            {"2", Layer().verticalPosition(2)}, {"O in ", Layer()},
                            {"Courier", Layer().font("Courier New", MonospacedFont).fontSize(200)},
                            {" and in red.\x06", Layer().colour(200, 0, 0)}});
    body.own(Layer(), SecondStyle, {{"A bullet with its indent\x06", Layer()}});
    body.own(Layer(), SecondStyle, {{"Another bullet, as wide as the first\x06", Layer()}});
    Layer noIndentBullet = Layer().firstLineIndent(283);
    deviceBullet(noIndentBullet, 0x80, 240, false, "Times New Roman", SerifFont);
    body.own(noIndentBullet, 0, {{"A euro bullet followed by its text\x06", Layer()}});
    Layer tabs = Layer().tabStop(2268, 1).tabStop(4536, CentreTab).tabStop(9026, RightTab);
    body.own(tabs, 0, {{"Left\tAt 4 cm\tCentre\tRight\x06", Layer()}});
    Layer spaced = Layer().leftIndent(720).rightIndent(720).alignment(1).lineSpacing(360).exactLineSpacing(1);
    spaceBeforeParagraph(spaced, 120);
    spaceAfterParagraph(spaced, 240);
    body.own(spaced, 0, {{"Centred, indented, exactly spaced\x06", Layer()}});
    Layer boxed = Layer().borderMargin(100).record(0x01, Bytes().u8(230).u8(230).u8(230));
    for (int side = 0x11; side <= 0x14; ++side) boxed.record(side, Bytes().u8(1).u32(20).u8(0).u8(0).u8(128).u8(0));
    body.own(boxed, 0, {{"A boxed paragraph on grey\x06", Layer()}});
    body.own(Layer(), 0, {{"Caf\xe9 \x80 \x93quoted\x94 hard\x10space hard\x0Bhyphen soft\x0Chyphen line\x07" "break ", Layer()},
                          {"\x0E", Layer()},
                          {"\x06", Layer()}});
    PageLayoutSection page;
    page.header = deviceHeader();
    page.footer = deviceFooter();
    return WordDocument()
        .dictionaryAtStart()
        .styles(deviceStyles())
        .pageLayout(page)
        .text(body.text)
        .textLayout(layout)
        .build();
}

std::vector<uint8_t> rewindingTextDocument(uint32_t paragraphs, uint32_t leadingBytes) {
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{});
    layout.paragraphs.assign(paragraphs, Paragraph{WrappingLength, 1});
    return WordDocument()
        .styles(StyleSection{})
        .section(UnlistedUid, Bytes().fill(leadingBytes, 'y'))
        .text("text")
        .textLayout(layout)
        .build();
}

std::vector<uint8_t> heavyStyleDocument(uint32_t records, uint32_t paragraphs, StyleRecords kind) {
    Layer heavy;
    for (uint32_t i = 0; i < records; ++i) {
        if (kind == StyleRecords::Writing) {
            heavy.widowControl(0);
        } else {
            heavy.record(SilentFlagId, Bytes().u8(1));
        }
    }
    StyleSection styles;
    styles.styles.push_back(Style{"Heavy", heavy, Layer()});
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{Layer(), FirstStyle, Layer()});
    layout.paragraphs.assign(paragraphs, Paragraph{0, 1});
    return WordDocument().styles(styles).text("").textLayout(layout).build();
}

std::vector<uint8_t> repeatedTextLayoutDocument(int entries) {
    WordDocument document = richDocumentParts();
    std::vector<uint8_t> once = document.build();
    int listed = once[sectionTablePosition(once)] / 2;
    uint32_t layoutPosition = listedSectionPosition(once, TextLayoutUid);
    for (int i = listed; i < entries; ++i) document.entry(TextLayoutUid, layoutPosition);
    return document.build();
}

}  // namespace zentoro::testing
