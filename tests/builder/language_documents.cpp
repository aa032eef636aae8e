#include "tests/builder/language_documents.h"

#include "tests/builder/document_builder.h"

namespace zentoro::testing {

namespace {

// Style references count down from 255, the first style of the style section.
constexpr int Heading1 = 255;
constexpr int Heading2 = 254;
constexpr int Heading3 = 253;
constexpr int BulletList = 252;
constexpr int SansSerifFont = 1;
constexpr int SerifFont = 3;
constexpr int BulletByte = 0x95;  // U+2022 in CP1252

StyleSection germanStyles() {
    StyleSection styles;
    styles.normalParagraph = Layer().spaceAfter(120);
    styles.normalCharacter = Layer().font("Times New Roman", SerifFont).fontSize(240);
    styles.styles = {
        {"\xDC" "berschrift 1", Layer().spaceBefore(240), Layer().font("Arial", SansSerifFont).fontSize(320).bold()},
        {"\xDC" "berschrift 2", Layer().spaceBefore(180), Layer().font("Arial", SansSerifFont).fontSize(280).bold()},
        {"\xDC" "berschrift 3", Layer().spaceBefore(120), Layer().font("Arial", SansSerifFont).fontSize(240).italic()},
        {"Aufz\xE4hlung", Layer().leftIndent(360).firstLineIndent(-360).bullet(BulletByte, 200, "Arial"), Layer()},
    };
    return styles;
}

struct BodyWriter {
    std::string text;
    TextLayoutSection layout;

    void paragraph(int style, std::vector<std::pair<std::string, Layer>> pieces) {
        Paragraph paragraph{0, 0, Layer(), style, {}};
        for (auto& [characters, character] : pieces) {
            text += characters;
            paragraph.characters += static_cast<uint32_t>(characters.size());
            paragraph.phrases.push_back(Phrase{static_cast<uint32_t>(characters.size()), character});
        }
        text += ParagraphEnd;
        ++paragraph.characters;
        ++paragraph.phrases.back().characters;
        layout.paragraphs.push_back(std::move(paragraph));
    }
    void paragraph(int style, const std::string& characters) { paragraph(style, {{characters, Layer()}}); }
};

}  // namespace

std::vector<uint8_t> germanTemplateDocument() {
    BodyWriter body;
    body.paragraph(Heading1, "Jahresbericht 1999");
    body.paragraph(0, "Dieser Bericht fasst das Jahr zusammen.");
    body.paragraph(Heading2, "Ergebnisse");
    body.paragraph(Heading3, "Verkauf");
    body.paragraph(BulletList, std::string(1, Tab) + "Umsatz gestiegen");
    body.paragraph(BulletList, std::string(1, Tab) + "Neue Kunden in M\xFCnchen");
    body.paragraph(BulletList, std::string(1, Tab) + "Kosten gesenkt");
    body.paragraph(Heading3, "Preise");
    body.paragraph(0, std::string("Artikel") + Tab + "Preis");
    body.paragraph(0, std::string("Stifte") + Tab + "1,25 \x80");
    body.paragraph(0, std::string("Papier") + Tab + "4,99 \x80");
    body.paragraph(Heading2, "Anmerkungen");
    body.paragraph(0, {{"Fl\xE4" "che in m", Layer()}, {"2", Layer().verticalPosition(1)}, {", Wasser H", Layer()},
                       {"2", Layer().verticalPosition(2)}, {"O und ein ", Layer()}, {"halb", Layer().bold()},
                       {"fettes Wort.", Layer()}});
    return WordDocument().styles(germanStyles()).text(body.text).textLayout(body.layout).build();
}

std::vector<uint8_t> codePageDocument(const std::string& styleName, const std::string& fontName, int bulletByte,
                                      const std::string& text) {
    StyleSection styles;
    styles.normalCharacter = Layer().font(fontName, SerifFont).fontSize(240);
    styles.styles = {{styleName, Layer().leftIndent(360).firstLineIndent(-360).bullet(bulletByte, 200, fontName),
                      Layer().font(fontName, SerifFont)}};
    BodyWriter body;
    body.paragraph(255, std::string(1, Tab) + text);
    body.paragraph(0, text);
    return WordDocument().styles(styles).text(body.text).textLayout(body.layout).build();
}

}  // namespace zentoro::testing
