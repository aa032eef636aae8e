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

uint32_t u32At(const std::vector<uint8_t>& document, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(document[at + i]) << (8 * i);
    return value;
}

size_t dictionaryPosition(const std::vector<uint8_t>& document) { return u32At(document, 16); }

// Where the dictionary of a built document says the text layout section lies.
uint32_t textLayoutPosition(const std::vector<uint8_t>& document) {
    size_t dictionary = dictionaryPosition(document);
    size_t entries = document[dictionary] / 2;
    for (size_t i = 0; i < entries; ++i) {
        size_t entry = dictionary + 1 + 8 * i;
        if (u32At(document, entry) == TextLayoutUid) return u32At(document, entry + 4);
    }
    return 0;
}

}  // namespace

std::vector<uint8_t> richDocument() { return richDocumentParts().build(); }

std::vector<uint8_t> richDocumentDictionaryFirst() { return richDocumentParts().dictionaryAtStart().build(); }

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
    int listed = once[dictionaryPosition(once)] / 2;
    uint32_t layoutPosition = textLayoutPosition(once);
    for (int i = listed; i < entries; ++i) document.entry(TextLayoutUid, layoutPosition);
    return document.build();
}

}  // namespace zentoro::testing
