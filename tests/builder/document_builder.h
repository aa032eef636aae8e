// Assembles Word documents from readable pieces, so that a test reads like
// the document it describes: header UIDs, a section dictionary, sections,
// attribute layers and cardinalities.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentoro::testing {

// Text bytes that stand for a paragraph end, a line break, a page break and a tab.
inline constexpr char ParagraphEnd = '\x06';
inline constexpr char LineBreak = '\x07';
inline constexpr char PageBreak = '\x08';
inline constexpr char Tab = '\x09';
// Text bytes that stand for visible text.
inline constexpr char UnbreakableTab = '\x0A';
inline constexpr char HardHyphen = '\x0B';
inline constexpr char PotentialHyphen = '\x0C';
inline constexpr char VisibleSpace = '\x0F';
inline constexpr char HardSpace = '\x10';

// A little-endian byte string under construction.
class Bytes {
public:
    Bytes& u8(int value);
    Bytes& u32(uint32_t value);
    Bytes& text(std::string_view characters);
    Bytes& append(const Bytes& other);
    Bytes& fill(size_t count, int value);
    // A cardinality in its shortest form, or in the one-, two- or four-byte form.
    Bytes& cardinality(uint32_t value);
    Bytes& cardinality1(uint32_t value);
    Bytes& cardinality2(uint32_t value);
    Bytes& cardinality4(uint32_t value);
    // A layer string: length byte n, n - 1 characters, one trailing byte.
    Bytes& layerString(std::string_view characters, int trailing = 0);

    size_t size() const { return data.size(); }
    std::vector<uint8_t> data;
};

// An attribute layer: a 32-bit length and its attribute records. The length
// is that of the records unless declaredLength() says otherwise.
class Layer {
public:
    Layer& record(int id, const Bytes& value = {});
    Layer& colour(int red, int green, int blue, int id = 25);
    Layer& leftIndent(int32_t twips) { return longRecord(2, twips); }
    Layer& rightIndent(int32_t twips) { return longRecord(3, twips); }
    Layer& firstLineIndent(int32_t twips) { return longRecord(4, twips); }
    Layer& alignment(int value, int id = 5) { return byteRecord(id, value); }
    Layer& lineSpacing(int32_t twips) { return longRecord(7, twips); }
    Layer& exactLineSpacing(int value) { return byteRecord(8, value); }
    Layer& spaceAfter(int32_t twips) { return longRecord(9, twips); }
    Layer& spaceBefore(int32_t twips) { return longRecord(10, twips); }
    Layer& keepTogether(int value) { return byteRecord(11, value); }
    Layer& keepWithNext(int value) { return byteRecord(12, value); }
    Layer& pageBreakBefore(int value) { return byteRecord(13, value); }
    Layer& widowControl(int value) { return byteRecord(14, value); }
    Layer& lineWrapping(int value) { return byteRecord(15, value); }
    Layer& borderMargin(int32_t value) { return longRecord(16, value); }
    Layer& border(int id = 17);
    Layer& bullet(int character, uint32_t size, std::string_view font);
    Layer& defaultTabWidth(int32_t twips) { return longRecord(22, twips); }
    Layer& tabStop(int32_t position, int alignment);
    Layer& fontSize(uint32_t tenthsOfPoints) { return longRecord(28, static_cast<int32_t>(tenthsOfPoints)); }
    Layer& italic(int value = 1) { return byteRecord(29, value); }
    Layer& bold(int value = 1) { return byteRecord(30, value); }
    Layer& verticalPosition(int value) { return byteRecord(31, value); }
    Layer& underline(int value = 1) { return byteRecord(32, value); }
    Layer& strikethrough(int value = 1) { return byteRecord(33, value); }
    // The byte after the name classifies the font: 0 Swiss, 1 sans serif,
    // 2 monospaced, 3 serif.
    Layer& font(std::string_view name, int screenFont = 0);
    Layer& lineFeed(int value = 1) { return byteRecord(36, value); }
    Layer& declaredLength(uint32_t length);

    Bytes bytes() const;
    size_t recordsSize() const { return records_.size(); }

private:
    Layer& byteRecord(int id, int value);
    Layer& longRecord(int id, int32_t value);
    Bytes records_;
    std::optional<uint32_t> declaredLength_;
};

struct Style {
    std::string name;
    Layer paragraph;
    Layer character;
    std::optional<int> nameLengthByte;  // default: 4 * characters + 2
};

struct StyleSection {
    Layer normalParagraph;
    Layer normalCharacter;
    int normalHotKey = 'N';
    std::vector<int> hotKeys;
    std::vector<Style> styles;
    Bytes bytes() const;
};

struct SharedFormat {
    Layer paragraph;
    int styleRef = 0;
    Layer character;
};

// Where an object phrase finds its embedded object, and the size the
// document shows it at (twips).
struct ObjectReference {
    uint32_t sectionPosition = 0;
    int32_t displayWidth = 0;
    int32_t displayHeight = 0;
};

struct Phrase {
    uint32_t characters = 0;
    Layer character;
    int trailingRecords = 0;
    std::optional<ObjectReference> object;  // an object phrase (type 1) over its one character
};

// A paragraph element of the text layout: with formatRef 0 it carries its
// own format and its text in phrases; otherwise it names a shared format.
struct Paragraph {
    uint32_t characters = 0;
    int formatRef = 0;
    Layer paragraph;
    int styleRef = 0;
    std::vector<Phrase> phrases;
    std::optional<uint32_t> phraseCount;  // default: phrases.size()
};

struct TextLayoutSection {
    std::vector<SharedFormat> formats;
    std::vector<Paragraph> paragraphs;
    std::optional<int> formatCount;          // default: formats.size()
    std::optional<uint32_t> paragraphCount;  // default: paragraphs.size()
    Bytes bytes() const;
};

Bytes textSection(std::string_view text);

struct HeaderFooterPhrase {
    uint32_t characters = 0;
    Layer character;
};

struct HeaderFooterParagraph {
    uint32_t characters = 0;
    int formatRef = 0;
    Layer paragraph;
    std::vector<HeaderFooterPhrase> phrases;
};

// A field of a header or footer: `gap` characters after the previous one
// (or the text's start), `length` characters of its latest expansion.
struct HeaderFooterField {
    uint32_t gap = 0;
    uint32_t length = 0;
    uint32_t kind = 0x10000060;  // page number
    std::string pattern;         // written for every field; read for dates
};

// A header or footer block of the page layout section, with its text and
// the layout that it points to. A present block starts as the device
// writes it: content byte 1, the first-page byte, three unknown bytes and
// the two base layers.
struct HeaderFooter {
    bool present = false;
    std::string text;
    std::vector<std::pair<Layer, Layer>> sharedFormats;
    std::vector<HeaderFooterParagraph> paragraphs;
    bool withLayoutEntry = true;    // false: another UID stands in its place
    bool withUnusedEntries = true;  // false: other UIDs stand in their places
    uint32_t blockUid = 0x1000005C;
    uint32_t textUid = 0x10000064;
    std::optional<uint32_t> layoutPosition;  // default: the layout written after the section
    bool shownOnFirstPage = true;
    Layer baseParagraph;
    Layer baseCharacter;
    std::vector<HeaderFooterField> fields;  // none: the field entry holds 0
    uint32_t charactersAfterFields = 0;
    // An absent block as the device writes it: its content byte 0 alone.
    bool contentByteOnlyWhenAbsent = false;
};

struct PageLayoutSection {
    int32_t firstPageNumber = 1;
    int32_t headerDistance = 720;
    int32_t footerDistance = 720;
    int32_t leftMargin = 1440;
    int32_t rightMargin = 1440;
    int32_t topMargin = 1440;
    int32_t bottomMargin = 1440;
    HeaderFooter header;
    HeaderFooter footer;
    int32_t paperWidth = 11906;
    int32_t paperHeight = 16838;
    int orientation = 0;
    // The layouts are placed after the section's own fields, so the block
    // entries need the section's start to give absolute positions.
    Bytes bytes(uint32_t sectionStart) const;
};

// A whole document: the header, its sections in order and a dictionary
// that lists them (placed after the sections).
class WordDocument {
public:
    using SectionContent = std::function<Bytes(uint32_t sectionStart)>;

    WordDocument& section(uint32_t uid, const Bytes& content);
    WordDocument& section(uint32_t uid, SectionContent content);
    // A dictionary entry that points wherever the test likes.
    WordDocument& entry(uint32_t uid, uint32_t position);
    WordDocument& headerUids(uint32_t epoc, uint32_t standard, uint32_t word);
    WordDocument& dictionaryCountByte(int value);
    WordDocument& dictionaryOffset(uint32_t position);
    // Places the dictionary right after the header instead of after the
    // sections, so that a truncated copy still lists its sections.
    WordDocument& dictionaryAtStart();

    WordDocument& applicationId(uint32_t uid = 0x1000007F);
    WordDocument& ignoredSection();
    WordDocument& styles(const StyleSection& styles);
    WordDocument& pageLayout(const PageLayoutSection& layout);
    WordDocument& text(std::string_view text);
    WordDocument& textLayout(const TextLayoutSection& layout);
    // Bytes placed among the sections without a dictionary entry, as the
    // blocks of embedded objects are.
    WordDocument& unlisted(SectionContent content);

    std::vector<uint8_t> build() const;

private:
    struct Entry {
        uint32_t uid;
        std::optional<SectionContent> content;
        uint32_t position = 0;
        bool listed = true;
    };
    std::vector<Entry> entries_;
    uint32_t uids_[3] = {0x10000037, 0x1000006D, 0x1000007F};
    std::optional<int> countByte_;
    std::optional<uint32_t> dictionaryOffset_;
    bool dictionaryAtStart_ = false;
};

// The sample shipped under examples/: every feature the converter handles.
std::vector<uint8_t> sampleDocument();

// Where a document's section table lies, and where it places the section of
// `uid` (0 where it names none, or the table lies past the end).
size_t sectionTablePosition(const std::vector<uint8_t>& document);
uint32_t listedSectionPosition(const std::vector<uint8_t>& document, uint32_t uid);

}  // namespace zentoro::testing
