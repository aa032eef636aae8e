#include <string>

#include "tests/builder/document_builder.h"

namespace zentoro::testing {

namespace {

// Style references count down from 255, the first style of the style section.
constexpr int HeadingStyle = 255;
constexpr int BodyTextStyle = 254;
constexpr int CodeStyle = 253;
constexpr int BulletStyle = 252;

// The byte that classifies a font after its name.
constexpr int SansSerifFont = 1;
constexpr int MonospacedFont = 2;
constexpr int SerifFont = 3;

StyleSection sampleStyles() {
    StyleSection styles;
    styles.normalParagraph = Layer().alignment(0).spaceAfter(120);
    styles.normalCharacter = Layer().font("Times New Roman", SerifFont).fontSize(240);
    styles.hotKeys = {'H', 'B', 'C', 'L'};
    styles.styles = {
        {"Heading 1", Layer().spaceBefore(240).spaceAfter(120).keepWithNext(1),
         Layer().font("Arial", SansSerifFont).fontSize(320).bold()},
        {"Body Text", Layer().alignment(3).firstLineIndent(283).exactLineSpacing(0).lineSpacing(280),
         Layer().font("Times New Roman", SerifFont).fontSize(240)},
        {"Code", Layer().leftIndent(720).tabStop(1440, 0).defaultTabWidth(720),
         Layer().font("Courier New", MonospacedFont).fontSize(200)},
        {"Bullet", Layer().leftIndent(360).firstLineIndent(-360).bullet(149, 200, "Arial"),
         Layer().fontSize(240)},
    };
    return styles;
}

// Appends a phrase's text to the document's text and returns the phrase.
Phrase phrase(std::string& text, const std::string& characters, Layer character = {}, int trailingRecords = 0) {
    text += characters;
    return Phrase{static_cast<uint32_t>(characters.size()), character, trailingRecords};
}

Paragraph sharedFormatParagraph(std::string& text, const std::string& characters, int formatRef) {
    text += characters;
    return Paragraph{static_cast<uint32_t>(characters.size()), formatRef};
}

Paragraph ownFormatParagraph(int styleRef, std::vector<Phrase> phrases) {
    uint32_t characters = 0;
    for (const Phrase& p : phrases) characters += p.characters;
    return Paragraph{characters, 0, Layer().leftIndent(0), styleRef, std::move(phrases)};
}

TextLayoutSection sampleBody(std::string& text) {
    TextLayoutSection layout;
    layout.formats = {
        {Layer(), HeadingStyle, Layer()},
        {Layer().spaceBefore(60), CodeStyle, Layer()},
        {Layer(), BulletStyle, Layer()},
        {Layer().alignment(1), 0, Layer().italic().colour(85, 85, 85)},
    };
    auto& paragraphs = layout.paragraphs;
    paragraphs.push_back(sharedFormatParagraph(text, std::string("Zentoro sample document") + ParagraphEnd, 1));
    paragraphs.push_back(ownFormatParagraph(
        BodyTextStyle,
        {phrase(text, "This paragraph has "), phrase(text, "bold", Layer().bold()), phrase(text, ", "),
         phrase(text, "italic", Layer().italic()), phrase(text, " and "),
         phrase(text, "underlined", Layer().underline()), phrase(text, " words, a tab"),
         phrase(text, std::string(1, Tab) + "here, a line break" + LineBreak + "and more text after it.", {}, 1),
         phrase(text, std::string(1, ParagraphEnd))}));
    paragraphs.push_back(ownFormatParagraph(
        BodyTextStyle,
        {phrase(text, "Grey text, ", Layer().colour(170, 170, 170)),
         phrase(text, "struck text", Layer().strikethrough()), phrase(text, ", a superscript"),
         phrase(text, "2", Layer().verticalPosition(1)), phrase(text, " and a subscript"),
         phrase(text, "n", Layer().verticalPosition(2)), phrase(text, ". Caf\xE9 cr\xE8me costs \xA3" "3."),
         phrase(text, std::string(1, ParagraphEnd))}));
    paragraphs.push_back(sharedFormatParagraph(
        text, std::string("Braces {like these} and a backslash \\ stay text.") + ParagraphEnd, 2));
    paragraphs.push_back(sharedFormatParagraph(text, std::string("First point") + ParagraphEnd, 3));
    paragraphs.push_back(sharedFormatParagraph(text, std::string("Second point") + ParagraphEnd, 3));
    paragraphs.push_back(sharedFormatParagraph(text, std::string("A centred grey line.") + ParagraphEnd, 4));
    paragraphs.push_back(ownFormatParagraph(
        0, {phrase(text, std::string(1, PageBreak) + "On the second page, in "),
            phrase(text, "Courier New", Layer().font("Courier New", MonospacedFont).fontSize(200)),
            phrase(text, std::string(".") + ParagraphEnd)}));
    return layout;
}

HeaderFooter sampleHeader() {
    HeaderFooter header;
    header.present = true;
    header.text = std::string("Zentoro sample") + ParagraphEnd;
    header.paragraphs = {{static_cast<uint32_t>(header.text.size()), 0, Layer().alignment(1),
                          {{static_cast<uint32_t>(header.text.size()), Layer().italic()}}}};
    return header;
}

HeaderFooter sampleFooter() {
    HeaderFooter footer;
    footer.present = true;
    footer.text = std::string("Converted from a Psion Series 5") + ParagraphEnd;
    footer.sharedFormats = {{Layer(), Layer()}};
    footer.paragraphs = {{static_cast<uint32_t>(footer.text.size()), 1}};
    return footer;
}

}  // namespace

std::vector<uint8_t> sampleDocument() {
    PageLayoutSection page;
    page.leftMargin = 1800;
    page.rightMargin = 1800;
    page.header = sampleHeader();
    page.footer = sampleFooter();
    page.paperWidth = 16838;  // A4, landscape
    page.paperHeight = 11906;
    page.orientation = 1;

    std::string text;
    TextLayoutSection body = sampleBody(text);
    // Sections in the order the device writes them.
    return WordDocument()
        .ignoredSection()
        .styles(sampleStyles())
        .pageLayout(page)
        .text(text)
        .textLayout(body)
        .applicationId()
        .build();
}

}  // namespace zentoro::testing
