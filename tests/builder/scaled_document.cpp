#include "tests/builder/scaled_document.h"

#include <string>
#include <string_view>

#include "tests/builder/document_builder.h"

namespace zentoro::testing {

namespace {

constexpr int StyleCount = 30;
constexpr int SharedFormatCount = 50;
constexpr size_t AverageParagraphBytes = 50;
constexpr size_t ShortestParagraphBytes = 20;
constexpr int MostPhrases = 5;
// Style reference r names the style at StyleTable entry 255 - r.
constexpr int FirstStyleRef = 255 - StyleCount + 1;

// A small deterministic generator, so that every run converts the same bytes.
class Sequence {
public:
    uint32_t next(uint32_t bound) {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) % bound;
    }

private:
    uint32_t state_ = 12345;
};

Layer paragraphLayer(int variant) {
    Layer layer;
    layer.leftIndent(360 * (variant % 4)).spaceAfter(120).alignment(variant % 4);
    if (variant % 3 == 0) layer.lineSpacing(240 + 20 * variant);
    if (variant % 5 == 0) layer.keepWithNext(1).tabStop(720 * (variant % 7 + 1), variant % 4);
    return layer;
}

Layer characterLayer(int variant) {
    static constexpr std::string_view Fonts[] = {"Arial", "Courier New", "Times New Roman", "Swiss"};
    Layer layer;
    layer.fontSize(static_cast<uint32_t>(100 + 20 * (variant % 8))).font(Fonts[variant % 4]);
    if (variant % 2 == 0) layer.bold();
    if (variant % 3 == 0) layer.italic();
    if (variant % 7 == 0) layer.colour(85 * (variant % 4), 0, 0);
    return layer;
}

StyleSection styleSection() {
    StyleSection styles;
    styles.normalCharacter.fontSize(100).font("Times New Roman");
    for (int i = 0; i < StyleCount; ++i) {
        styles.styles.push_back(Style{"Style " + std::to_string(i + 1), paragraphLayer(i), characterLayer(i)});
    }
    return styles;
}

int styleRefFor(int variant) { return variant % 4 == 0 ? 0 : FirstStyleRef + variant % StyleCount; }

std::vector<SharedFormat> sharedFormats() {
    std::vector<SharedFormat> formats;
    for (int i = 0; i < SharedFormatCount; ++i) {
        formats.push_back(SharedFormat{paragraphLayer(i + 1), styleRefFor(i), characterLayer(i + 3)});
    }
    return formats;
}

// Words with a tab, a backslash and braces among them, so that the
// character table's escapes are exercised too.
void appendParagraphText(std::string& text, size_t length, Sequence& random) {
    static constexpr std::string_view Words[] = {"lorem ", "ipsum ", "dolor ", "sit ", "amet ", "psion ",
                                                 "word ", "\t", "a\\b ", "{x} ", "series ", "five "};
    size_t end = text.size() + length - 1;
    while (text.size() < end) {
        std::string_view word = Words[random.next(std::size(Words))];
        text.append(word.substr(0, end - text.size()));
    }
    text.push_back(ParagraphEnd);
}

Paragraph ownFormatParagraph(uint32_t length, Sequence& random) {
    Paragraph paragraph{length, 0, paragraphLayer(static_cast<int>(random.next(8))), styleRefFor(static_cast<int>(random.next(40)))};
    uint32_t phrases = 1 + random.next(MostPhrases);
    uint32_t left = length;
    for (uint32_t i = 0; i < phrases; ++i) {
        uint32_t characters = i + 1 == phrases ? left : left / (phrases - i);
        int trailing = random.next(10) == 0 ? 1 : 0;
        paragraph.phrases.push_back(Phrase{characters, characterLayer(static_cast<int>(random.next(16))), trailing});
        left -= characters;
    }
    return paragraph;
}

TextLayoutSection textLayout(size_t textBytes, std::string& text) {
    TextLayoutSection layout;
    layout.formats = sharedFormats();
    Sequence random;
    size_t paragraphs = textBytes / AverageParagraphBytes;
    size_t spread = 2 * (AverageParagraphBytes - ShortestParagraphBytes) + 1;
    for (size_t i = 0; i < paragraphs; ++i) {
        auto length = static_cast<uint32_t>(ShortestParagraphBytes + random.next(static_cast<uint32_t>(spread)));
        appendParagraphText(text, length, random);
        if (i % 2 == 0) {
            layout.paragraphs.push_back(Paragraph{length, 1 + static_cast<int>(random.next(SharedFormatCount))});
        } else {
            layout.paragraphs.push_back(ownFormatParagraph(length, random));
        }
    }
    return layout;
}

HeaderFooter headerFooter(std::string_view text) {
    HeaderFooter block;
    block.present = true;
    block.text = text;
    block.sharedFormats.emplace_back(paragraphLayer(1), characterLayer(1));
    auto length = static_cast<uint32_t>(text.size());
    block.paragraphs.push_back(HeaderFooterParagraph{length, 0, paragraphLayer(2), {{length, characterLayer(2)}}});
    return block;
}

// Phrases of the many-phrases document: between three and eight per
// paragraph, each with several character attributes of its own.
constexpr int FewestShortPhrases = 3;
constexpr int MostShortPhrases = 8;
constexpr size_t ShortParagraphBytes = 24;
constexpr size_t ShortParagraphSpread = 33;

Layer phraseLayer(Sequence& random) {
    static constexpr std::string_view Fonts[] = {"Arial", "Courier New", "Times New Roman", "Swiss", "Roman"};
    Layer layer;
    layer.fontSize(80 + 20 * random.next(10)).font(Fonts[random.next(std::size(Fonts))]);
    layer.bold(static_cast<int>(random.next(2))).italic(static_cast<int>(random.next(2)));
    if (random.next(3) == 0) layer.underline();
    if (random.next(4) == 0) layer.colour(85 * static_cast<int>(random.next(4)), 0, 0);
    if (random.next(6) == 0) layer.verticalPosition(1 + static_cast<int>(random.next(2)));
    if (random.next(8) == 0) layer.strikethrough();
    return layer;
}

Paragraph shortOwnFormatParagraph(uint32_t length, Sequence& random) {
    Layer format = paragraphLayer(static_cast<int>(random.next(12)));
    if (random.next(4) == 0) format.exactLineSpacing(1).lineSpacing(200 + 20 * static_cast<int32_t>(random.next(5)));
    Paragraph paragraph{length, 0, format, styleRefFor(static_cast<int>(random.next(40)))};
    auto phrases = static_cast<uint32_t>(FewestShortPhrases + random.next(MostShortPhrases - FewestShortPhrases + 1));
    uint32_t left = length;
    for (uint32_t i = 0; i < phrases; ++i) {
        uint32_t characters = i + 1 == phrases ? left : left / (phrases - i);
        paragraph.phrases.push_back(Phrase{characters, phraseLayer(random), random.next(12) == 0 ? 1 : 0});
        left -= characters;
    }
    return paragraph;
}

TextLayoutSection manyPhrasesLayout(size_t textBytes, std::string& text) {
    TextLayoutSection layout;
    layout.formats = sharedFormats();
    Sequence random;
    size_t written = 0;
    while (written < textBytes) {
        auto length = static_cast<uint32_t>(ShortParagraphBytes + random.next(ShortParagraphSpread));
        appendParagraphText(text, length, random);
        layout.paragraphs.push_back(shortOwnFormatParagraph(length, random));
        written += length;
    }
    return layout;
}

std::vector<uint8_t> documentWith(TextLayoutSection layout, const std::string& text) {
    PageLayoutSection page;
    page.header = headerFooter("Zentoro benchmark\x06");
    page.footer = headerFooter("Page footer\x06");
    return WordDocument()
        .applicationId()
        .styles(styleSection())
        .pageLayout(page)
        .text(text)
        .textLayout(layout)
        .build();
}

}  // namespace

std::vector<uint8_t> manyPhrasesDocument(size_t textBytes) {
    std::string text;
    text.reserve(textBytes + ShortParagraphBytes + ShortParagraphSpread);
    TextLayoutSection layout = manyPhrasesLayout(textBytes, text);
    return documentWith(std::move(layout), text);
}

std::vector<uint8_t> scaledDocument(size_t textBytes) {
    std::string text;
    text.reserve(textBytes + AverageParagraphBytes);
    TextLayoutSection layout = textLayout(textBytes, text);
    return documentWith(std::move(layout), text);
}

}  // namespace zentoro::testing
