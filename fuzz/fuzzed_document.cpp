#include "fuzz/fuzzed_document.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>
#include <utility>

#include "fuzz/choice_reader.h"
#include "reader/word_uids.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/sketch_builder.h"

namespace zentoro::fuzzing {

namespace {

using namespace zentoro::testing;

constexpr uint32_t SectionUids[] = {ApplicationIdSectionUid, IgnoredSectionUid, StyleSectionUid,
                                    PageLayoutSectionUid,    TextSectionUid,    TextLayoutSectionUid};

constexpr char ParagraphEndByte = 6;
constexpr char ObjectCharacter = 14;
// Text bytes with a meaning of their own, beside the paragraph end.
constexpr char SpecialBytes[] = {0, 7, 8, 9, 10, 11, 12, 13, 15, 16};
constexpr std::string_view FontNames[] = {"Arial", "Courier New", "Times New Roman", "Swiss", "Symbol"};
// Style reference r names the (255 - r)th style record.
constexpr int FirstStyleRef = 255;

// The choices, and whether this input breaks the document it describes.
class Decoder {
public:
    explicit Decoder(std::span<const uint8_t> input) : in(input) { breaking_ = in.flag(); }

    // True where this input breaks the document here.
    bool breakHere(uint32_t oneIn) {
        if (!breaking_ || !in.chance(oneIn)) return false;
        damaged = true;
        return true;
    }

    // A count, length or position that does not fit the document.
    uint32_t wrong(uint32_t right) {
        switch (in.below(5)) {
            case 0: return 0xFFFFFFFF;
            case 1: return right + 1 + in.below(16);
            case 2: return right == 0 ? 0x80000000 : right - 1 - in.below(std::min<uint32_t>(right, 16));
            case 3: return 0x7FFFFFF0 + in.below(16);
            default: return in.u32();
        }
    }

    // An object phrase that refers to an embedded object block: where the
    // phrase is, and which block.
    struct ObjectPlace {
        size_t paragraph;
        size_t phrase;
        size_t block;
    };

    ChoiceReader in;
    bool damaged = false;
    bool plainNames = true;
    std::vector<EmbeddedObjectBlock> objectBlocks;
    std::vector<ObjectPlace> objectPlaces;

private:
    bool breaking_ = false;
};

int32_t measure(Decoder& d) {
    switch (d.in.below(6)) {
        case 0: return 0;
        case 1: return -static_cast<int32_t>(d.in.below(2000));
        case 2: return static_cast<int32_t>(d.in.u32());
        default: return static_cast<int32_t>(d.in.below(256) * 20);
    }
}

char textByte(Decoder& d) {
    switch (d.in.below(10)) {
        case 0: return static_cast<char>(0x80 + d.in.below(128));
        case 1:
        case 2: return SpecialBytes[d.in.below(std::size(SpecialBytes))];
        case 3: return "{}\\"[d.in.below(3)];
        case 4: {
            char control = static_cast<char>(1 + d.in.below(31));
            return control == ParagraphEndByte ? ' ' : control;
        }
        default: return static_cast<char>(32 + d.in.below(95));
    }
}

// Characters without a paragraph end.
std::string textRun(Decoder& d, uint32_t maxLength) {
    std::string text;
    uint32_t length = d.in.below(maxLength + 1);
    for (uint32_t i = 0; i < length; ++i) text += textByte(d);
    return text;
}

std::string name(Decoder& d, uint32_t maxLength) {
    std::string text;
    uint32_t length = d.in.below(maxLength + 1);
    for (uint32_t i = 0; i < length; ++i) {
        char c = textByte(d);
        text += c == 0 ? '?' : c;
    }
    return text;
}

bool isPlain(const std::string& name) { return name.find_first_of("{}\\") == std::string::npos; }

std::string fontName(Decoder& d) {
    if (!d.in.chance(4)) return std::string(FontNames[d.in.below(std::size(FontNames))]);
    std::string font = name(d, 40);
    d.plainNames = d.plainNames && isPlain(font);
    return font;
}

Bytes colourValue(Decoder& d) { return Bytes().u8(d.in.byte()).u8(d.in.byte()).u8(d.in.byte()); }

Bytes borderValue(Decoder& d) {
    return Bytes().u8(static_cast<int>(d.in.below(8))).u32(static_cast<uint32_t>(measure(d))).append(colourValue(d)).u8(0);
}

void addRecord(Decoder& d, Layer& layer) {
    ChoiceReader& in = d.in;
    auto small = [&](uint32_t count) { return static_cast<int>(in.below(count)); };
    switch (in.below(22)) {
        case 0: layer.colour(in.byte(), in.byte(), in.byte(), std::array{0, 1, 25, 26}[in.below(4)]); break;
        case 1: layer.leftIndent(measure(d)); break;
        case 2: layer.rightIndent(measure(d)); break;
        case 3: layer.firstLineIndent(measure(d)); break;
        case 4: layer.alignment(small(5), in.flag() ? 5 : 6); break;
        case 5: layer.lineSpacing(measure(d)); break;
        case 6: layer.exactLineSpacing(small(3)); break;
        case 7: layer.spaceAfter(measure(d)); break;
        case 8: layer.spaceBefore(measure(d)); break;
        case 9: layer.record(11 + small(5), Bytes().u8(small(3))); break;  // keep, widow, wrapping flags
        case 10: layer.borderMargin(measure(d)); break;
        case 11: layer.record(17 + small(4), borderValue(d)); break;
        case 12: {  // bullet: size, character, indent, colour and font
            Bytes rest = Bytes().u32(static_cast<uint32_t>(measure(d))).u8(in.byte()).u8(small(3));
            rest.append(colourValue(d)).layerString(fontName(d), small(5));
            layer.record(21, Bytes().u8(static_cast<int>(rest.size())).append(rest));
            break;
        }
        case 13: layer.defaultTabWidth(measure(d)); break;
        case 14: layer.tabStop(measure(d), small(5)); break;
        case 15: layer.fontSize(static_cast<uint32_t>(measure(d))); break;
        case 16: layer.record(std::array{29, 30, 32, 33}[in.below(4)], Bytes().u8(small(3))); break;
        case 17: layer.verticalPosition(small(4)); break;
        case 18: layer.font(fontName(d), small(5)); break;
        case 19: layer.lineFeed(small(3)); break;
        case 20: layer.record(std::array{24, 27, 35}[in.below(3)], Bytes().u8(small(3))); break;
        default: layer.record(1, colourValue(d)); break;
    }
}

Layer decodeLayer(Decoder& d) {
    Layer layer;
    uint32_t records = d.in.below(5);
    for (uint32_t i = 0; i < records; ++i) addRecord(d, layer);
    if (d.breakHere(24)) {  // an id no reader knows, and whatever follows it
        layer.record(d.in.byte(), Bytes().u32(d.in.u32()));
    }
    if (d.breakHere(16)) layer.declaredLength(d.wrong(static_cast<uint32_t>(layer.recordsSize())));
    return layer;
}

struct Styles {
    StyleSection section;
    uint32_t count = 0;
};

Styles decodeStyles(Decoder& d) {
    Styles styles;
    StyleSection& section = styles.section;
    section.normalParagraph = decodeLayer(d);
    section.normalCharacter = decodeLayer(d);
    section.normalHotKey = 'A' + static_cast<int>(d.in.below(26));
    styles.count = d.in.below(5);
    for (uint32_t i = 0; i < styles.count; ++i) {
        Style style{name(d, 16), decodeLayer(d), decodeLayer(d)};
        d.plainNames = d.plainNames && isPlain(style.name);
        if (d.breakHere(16)) style.nameLengthByte = d.in.byte();
        section.styles.push_back(std::move(style));
        if (!d.in.chance(4)) section.hotKeys.push_back('A' + static_cast<int>(d.in.below(26)));
    }
    return styles;
}

int styleRef(Decoder& d, uint32_t styles) {
    if (d.breakHere(16)) return d.in.byte();
    if (styles == 0 || d.in.flag()) return 0;
    return FirstStyleRef - static_cast<int>(d.in.below(styles));
}

int formatRef(Decoder& d, size_t formats) {
    if (d.breakHere(16)) return 1 + static_cast<int>(d.in.below(255));
    return 1 + static_cast<int>(d.in.below(static_cast<uint32_t>(formats)));
}

uint32_t characterCount(Decoder& d, const std::string& text) {
    uint32_t length = static_cast<uint32_t>(text.size());
    return d.breakHere(24) ? d.wrong(length) : length;
}

constexpr uint32_t PixelDepths[] = {1, 2, 4, 8, 12, 16, 24};

// A small sketch in any depth and compression; broken, its paint data
// claims other sizes and positions than it has.
Sketch decodeSketch(Decoder& d) {
    Sketch sketch;
    sketch.width = 1 + d.in.below(8);
    sketch.height = 1 + d.in.below(8);
    sketch.bitsPerPixel = PixelDepths[d.in.below(std::size(PixelDepths))];
    sketch.colour = d.in.flag();
    sketch.compression = d.in.below(5);
    uint32_t mask = sketch.bitsPerPixel >= 32 ? 0xFFFFFFFF : (1u << sketch.bitsPerPixel) - 1;
    for (uint32_t i = 0; i < sketch.width * sketch.height; ++i) sketch.pixels.push_back(d.in.u32() & mask);
    if (d.in.chance(4)) {
        sketch.areaWidth = static_cast<uint16_t>(d.in.below(16));
        sketch.areaHeight = static_cast<uint16_t>(d.in.below(16));
        sketch.bitmapX = static_cast<uint16_t>(d.in.below(8));
        sketch.bitmapY = static_cast<uint16_t>(d.in.below(8));
        sketch.magnificationX = static_cast<uint16_t>(d.in.below(3000));
        sketch.magnificationY = static_cast<uint16_t>(d.in.below(3000));
        for (int32_t& cut : sketch.cuts) cut = static_cast<int32_t>(d.in.below(48));
    }
    if (d.breakHere(16)) sketch.paintLength = d.wrong(0);
    if (d.breakHere(16)) sketch.pixelOffset = d.wrong(0);
    if (d.breakHere(16)) sketch.declaredWidth = d.wrong(sketch.width);
    if (d.breakHere(16)) sketch.declaredHeight = d.wrong(sketch.height);
    if (d.breakHere(16)) sketch.pixelData = Bytes().u32(d.in.u32()).u32(d.in.u32());
    return sketch;
}

// One character covered by a phrase of type 1 with the object's place and
// size: a sketch, an object of another application or a place that holds
// no object; broken, a phrase of type 1 whose tag is not that of an object.
Phrase objectPhrase(Decoder& d, size_t paragraph, size_t phrase) {
    Phrase object{1, decodeLayer(d), 1};
    if (d.breakHere(8)) return object;
    switch (d.in.below(3)) {
        case 0: {
            uint32_t section = d.in.flag() ? d.in.u32() : d.in.below(64);
            object.object = ObjectReference{section, measure(d), measure(d)};
            return object;
        }
        case 1: d.objectBlocks.push_back(sketchBlock(decodeSketch(d))); break;
        default:
            d.objectBlocks.push_back(EmbeddedObjectBlock{otherObject(d.in.flag() ? SpreadsheetUid : d.in.u32()),
                                                         name(d, 8), measure(d), measure(d)});
            break;
    }
    d.objectBlocks.back().shownAsIcon = d.in.chance(4);
    // Placed when the document is built; the reference is filled in then.
    d.objectPlaces.push_back({paragraph, phrase, d.objectBlocks.size() - 1});
    object.object = ObjectReference{};
    return object;
}

// A paragraph with its own format, its text split into phrases.
Paragraph ownFormatParagraph(Decoder& d, uint32_t styles, size_t index, std::string& text) {
    Paragraph paragraph{0, 0, decodeLayer(d), styleRef(d, styles)};
    std::string own;
    uint32_t pieces = 1 + d.in.below(4);
    for (uint32_t i = 0; i < pieces; ++i) {
        bool last = i + 1 == pieces;
        if (d.in.chance(6)) {
            own += ObjectCharacter;
            paragraph.phrases.push_back(objectPhrase(d, index, paragraph.phrases.size()));
            if (!last) continue;
        }
        std::string piece = textRun(d, 12);
        if (last) piece += ParagraphEndByte;
        if (piece.empty()) continue;
        own += piece;
        Phrase phrase{characterCount(d, piece), decodeLayer(d)};
        if (d.breakHere(24)) phrase.trailingRecords = d.in.byte();
        paragraph.phrases.push_back(std::move(phrase));
    }
    paragraph.characters = characterCount(d, own);
    if (d.breakHere(24)) paragraph.phraseCount = d.wrong(static_cast<uint32_t>(paragraph.phrases.size()));
    text += own;
    return paragraph;
}

TextLayoutSection decodeTextLayout(Decoder& d, uint32_t styles, std::string& text) {
    TextLayoutSection layout;
    uint32_t formats = d.in.below(5);
    for (uint32_t i = 0; i < formats; ++i) {
        layout.formats.push_back(SharedFormat{decodeLayer(d), styleRef(d, styles), decodeLayer(d)});
    }
    uint32_t paragraphs = d.in.below(9);
    for (uint32_t i = 0; i < paragraphs; ++i) {
        if (formats > 0 && d.in.flag()) {
            std::string own = textRun(d, 16) + ParagraphEndByte;
            layout.paragraphs.push_back(Paragraph{characterCount(d, own), formatRef(d, formats)});
            text += own;
        } else {
            layout.paragraphs.push_back(ownFormatParagraph(d, styles, layout.paragraphs.size(), text));
        }
    }
    if (d.breakHere(16)) layout.formatCount = d.in.byte();
    if (d.breakHere(16)) layout.paragraphCount = d.wrong(paragraphs);
    return layout;
}

// A date or time pattern: the device's % codes, with numbered places and
// separators, and some literal characters.
std::string datePattern(Decoder& d) {
    constexpr std::string_view Codes = "DMY123/:HIJTSAB%*x";
    std::string pattern;
    uint32_t parts = d.in.below(10);
    for (uint32_t i = 0; i < parts; ++i) {
        if (d.in.chance(4)) {
            pattern += textByte(d);
            continue;
        }
        pattern += '%';
        if (d.in.chance(4)) pattern += '*';
        pattern += Codes[d.in.below(static_cast<uint32_t>(Codes.size()))];
        if (d.in.chance(3)) pattern += static_cast<char>('0' + d.in.below(4));
    }
    return pattern;
}

constexpr uint32_t FieldKinds[] = {0x1000005F, 0x10000060, 0x10000061, 0x10000062, 0x10000001};

// Fields over stretches of the block's text, each within one paragraph: the
// text holds their latest expansions.
void addFields(Decoder& d, HeaderFooter& block) {
    uint32_t size = static_cast<uint32_t>(block.text.size());
    uint32_t at = 0;
    uint32_t count = d.in.below(4);
    for (uint32_t i = 0; i < count && at < size; ++i) {
        uint32_t start = at + d.in.below(std::min<uint32_t>(size - at, 8));
        uint32_t end = start;
        uint32_t length = 1 + d.in.below(8);
        while (end < size && end - start < length && block.text[end] != ParagraphEndByte) ++end;
        if (end == start) break;
        HeaderFooterField field{start - at, end - start, FieldKinds[d.in.below(std::size(FieldKinds))]};
        if (d.in.flag()) field.pattern = datePattern(d);
        if (d.breakHere(24)) field.gap = d.wrong(field.gap);
        if (d.breakHere(24)) field.length = d.wrong(field.length);
        block.fields.push_back(std::move(field));
        at = end;
    }
    // The characters after the last field, without the final paragraph end.
    block.charactersAfterFields = size - at - (size > at ? 1 : 0);
}

HeaderFooter decodeHeaderFooter(Decoder& d) {
    HeaderFooter block;
    block.present = d.in.below(4) != 0;
    block.contentByteOnlyWhenAbsent = !d.breakHere(16);
    if (!block.present) return block;
    block.shownOnFirstPage = !d.in.chance(4);
    if (d.in.flag()) block.baseParagraph = decodeLayer(d);
    if (d.in.flag()) block.baseCharacter = decodeLayer(d);
    uint32_t formats = d.in.below(3);
    for (uint32_t i = 0; i < formats; ++i) block.sharedFormats.emplace_back(decodeLayer(d), decodeLayer(d));
    uint32_t paragraphs = 1 + d.in.below(3);
    for (uint32_t i = 0; i < paragraphs; ++i) {
        std::string own = textRun(d, 12) + ParagraphEndByte;
        HeaderFooterParagraph paragraph{characterCount(d, own)};
        if (formats > 0 && d.in.flag()) {
            paragraph.formatRef = formatRef(d, formats);
        } else {
            paragraph.paragraph = decodeLayer(d);
            size_t cut = d.in.below(static_cast<uint32_t>(own.size()));
            for (const std::string& piece : {own.substr(0, cut), own.substr(cut)}) {
                if (!piece.empty()) paragraph.phrases.push_back({characterCount(d, piece), decodeLayer(d)});
            }
        }
        block.paragraphs.push_back(std::move(paragraph));
        block.text += own;
    }
    addFields(d, block);
    // Other UIDs in the places of the tagged entries.
    block.withLayoutEntry = !d.breakHere(16);
    block.withUnusedEntries = !d.breakHere(16);
    if (d.breakHere(24)) block.blockUid = d.in.u32();
    if (d.breakHere(24)) block.textUid = d.in.u32();
    if (d.breakHere(16)) block.layoutPosition = d.in.flag() ? d.in.u32() : d.in.below(4096);
    return block;
}

// A header or footer's text only counts when its block can be read.
std::string blockText(const HeaderFooter& block) {
    bool readable = block.present && block.blockUid == 0x1000005C && block.textUid == 0x10000064;
    return readable ? block.text : std::string();
}

PageLayoutSection decodePageLayout(Decoder& d) {
    PageLayoutSection page;
    if (d.in.flag()) {
        page.firstPageNumber = measure(d);
        page.headerDistance = measure(d);
        page.footerDistance = measure(d);
        page.leftMargin = measure(d);
        page.rightMargin = measure(d);
        page.topMargin = measure(d);
        page.bottomMargin = measure(d);
        page.paperWidth = measure(d);
        page.paperHeight = measure(d);
    }
    page.orientation = static_cast<int>(d.in.below(3));
    page.header = decodeHeaderFooter(d);
    page.footer = decodeHeaderFooter(d);
    return page;
}

// The cardinality in its shortest form or, by choice, a longer one.
Bytes textSectionBytes(Decoder& d, const std::string& text) {
    uint32_t length = static_cast<uint32_t>(text.size());
    if (d.breakHere(16)) length = d.wrong(length);
    Bytes out;
    switch (d.in.below(4)) {
        case 0: out.cardinality4(length); break;
        case 1:
            if (length < 16384) {
                out.cardinality2(length);
                break;
            }
            [[fallthrough]];
        default: out.cardinality(length); break;
    }
    return out.text(text);
}

// Inserts `uid` at a random place at or after `first`.
void insertAfter(Decoder& d, std::vector<uint32_t>& order, size_t first, uint32_t uid) {
    size_t at = first + d.in.below(static_cast<uint32_t>(order.size() - first + 1));
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), uid);
}

// An order that every reader can follow: styles first of the sections that
// write, the text before its layout, and the layout last of them.
std::vector<uint32_t> sectionOrder(Decoder& d, bool withPageLayout, bool withTextLayout) {
    std::vector<uint32_t> order = {StyleSectionUid};
    if (withPageLayout) insertAfter(d, order, 1, PageLayoutSectionUid);
    insertAfter(d, order, 0, TextSectionUid);
    if (withTextLayout) order.push_back(TextLayoutSectionUid);
    // The application id writes a line feed, which may not come before the RTF.
    size_t afterStyles = static_cast<size_t>(std::find(order.begin(), order.end(), StyleSectionUid) - order.begin()) + 1;
    if (d.in.flag()) insertAfter(d, order, afterStyles, ApplicationIdSectionUid);
    if (d.in.flag()) insertAfter(d, order, 0, IgnoredSectionUid);
    return order;
}

void breakOrder(Decoder& d, std::vector<uint32_t>& order) {
    if (d.breakHere(8) && !order.empty()) order.erase(order.begin() + d.in.below(static_cast<uint32_t>(order.size())));
    if (d.breakHere(8) && !order.empty()) order.push_back(order[d.in.below(static_cast<uint32_t>(order.size()))]);
    if (d.breakHere(8)) {
        for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[d.in.below(static_cast<uint32_t>(i))]);
    }
}

void breakBytes(Decoder& d, std::vector<uint8_t>& bytes) {
    if (d.breakHere(8)) {
        uint32_t flips = 1 + d.in.below(4);
        for (uint32_t i = 0; i < flips; ++i) bytes[d.in.below(static_cast<uint32_t>(bytes.size()))] = d.in.byte();
    }
    // Truncation keeps the header, so that the sections are still walked.
    constexpr size_t HeaderSize = 20;
    if (d.breakHere(8) && bytes.size() > HeaderSize) {
        bytes.resize(HeaderSize + d.in.below(static_cast<uint32_t>(bytes.size() - HeaderSize)));
    }
}

// The embedded object blocks, unlisted, and after them the text layout
// whose object phrases refer to where the blocks were placed.
void addTextLayoutWithObjects(Decoder& d, WordDocument& document, const TextLayoutSection& layout) {
    auto positions = std::make_shared<std::vector<uint32_t>>(d.objectBlocks.size(), 0);
    for (size_t i = 0; i < d.objectBlocks.size(); ++i) {
        document.unlisted([positions, i, block = d.objectBlocks[i]](uint32_t start) {
            PlacedBlock placed = placeObjectBlock(block, start);
            (*positions)[i] = placed.sectionPosition;
            return placed.bytes;
        });
    }
    document.section(TextLayoutSectionUid, [positions, layout = TextLayoutSection(layout), places = d.objectPlaces,
                                     blocks = d.objectBlocks](uint32_t) mutable {
        for (const Decoder::ObjectPlace& place : places) {
            const EmbeddedObjectBlock& block = blocks[place.block];
            layout.paragraphs[place.paragraph].phrases[place.phrase].object =
                ObjectReference{(*positions)[place.block], block.displayWidth, block.displayHeight};
        }
        return layout.bytes();
    });
}

}  // namespace

FuzzedDocument decodeFuzzedDocument(std::span<const uint8_t> input) {
    Decoder d(input);
    FuzzedDocument result;

    Styles styles = decodeStyles(d);
    bool withPageLayout = d.in.below(4) != 0;
    PageLayoutSection page = decodePageLayout(d);
    TextLayoutSection layout = decodeTextLayout(d, styles.count, result.bodyText);
    bool withTextLayout = !d.in.chance(8);
    Bytes text = textSectionBytes(d, result.bodyText);
    std::vector<uint32_t> order = sectionOrder(d, withPageLayout, withTextLayout);
    breakOrder(d, order);

    WordDocument document;
    for (uint32_t uid : order) {
        switch (uid) {
            case StyleSectionUid: document.styles(styles.section); break;
            case PageLayoutSectionUid: document.pageLayout(page); break;
            case TextSectionUid: document.section(TextSectionUid, text); break;
            case TextLayoutSectionUid: addTextLayoutWithObjects(d, document, layout); break;
            case ApplicationIdSectionUid: document.applicationId(d.breakHere(8) ? d.in.u32() : WordDocumentUid); break;
            default: document.ignoredSection(); break;
        }
    }
    if (d.breakHere(8)) document.entry(SectionUids[d.in.below(std::size(SectionUids))], d.wrong(0));
    if (d.in.chance(4)) document.dictionaryAtStart();
    if (d.breakHere(16)) document.dictionaryCountByte(d.in.byte());
    if (d.breakHere(32)) document.dictionaryOffset(d.wrong(0));

    result.bytes = document.build();
    breakBytes(d, result.bytes);
    result.wellFormed = !d.damaged;
    result.roads = roadChoicesFor(input);
    auto readWhole = [](const HeaderFooter& block) {
        return block.present && block.baseParagraph.recordsSize() == 0 && block.baseCharacter.recordsSize() == 0;
    };
    result.originalReadsItWhole = d.plainNames && (!withPageLayout || (readWhole(page.header) && readWhole(page.footer)));
    if (withPageLayout) {
        result.headerText = blockText(page.header);
        result.footerText = blockText(page.footer);
    }
    return result;
}

}  // namespace zentoro::fuzzing
