// The document in memory, independent of any output: what its author saw on
// the device. Readers fill it; writers turn it into RTF, text, HTML or
// Markdown and know nothing of the file it came from.
//
// Formatting is held resolved: every paragraph and every run carries its
// whole effective formatting (built-in defaults, then Normal, the style,
// the shared or own paragraph layer, the phrase's layer), so that a writer
// never has to know how layers combine. Lengths are twips (1/20 point).
// Text is UTF-8; the device's special characters are these code points:
//   '\t' tab (also the unbreakable tab), U+2028 line break, '\f' page break,
//   U+00A0 hard space, U+2011 hard hyphen, U+00AD soft hyphen.
// A paragraph's end is not part of its text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zentoro {

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Colour&) const = default;
};

inline constexpr Colour Black{0, 0, 0};
inline constexpr Colour White{255, 255, 255};

// The device's classification of a font, for readers that lack its name.
enum class FontFamily : uint8_t { Swiss, SansSerif, Monospaced, Serif };

struct Font {
    std::string name;  // UTF-8
    FontFamily family = FontFamily::Serif;
    bool operator==(const Font&) const = default;
};

enum class VerticalPosition : uint8_t { Normal, Superscript, Subscript };

struct CharacterFormat {
    int font = 0;        // index into Document::fonts
    int32_t size = 200;  // twips: 200 is 10 pt
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    VerticalPosition position = VerticalPosition::Normal;
    Colour colour = Black;
    bool operator==(const CharacterFormat&) const = default;
};

enum class Alignment : uint8_t { Left, Centre, Right, Justified };
enum class LineSpacingMode : uint8_t { AtLeast, Exactly };
enum class TabKind : uint8_t { Left, Centre, Right };

struct TabStop {
    int32_t position = 0;  // from the left margin
    TabKind kind = TabKind::Left;
    bool operator==(const TabStop&) const = default;
};

enum class BorderStyle : uint8_t { None, Solid, Double, Dotted, Dashed, DotDash, DotDotDash };

struct Border {
    BorderStyle style = BorderStyle::None;
    int32_t thickness = 0;
    Colour colour = Black;
    bool operator==(const Border&) const = default;
};

enum BorderSide { TopBorder, BottomBorder, LeftBorder, RightBorder, BorderSides };

struct Bullet {
    bool on = false;
    int32_t size = 200;      // twips
    char32_t character = 0;  // Unicode
    bool indent = false;     // on: bullet at min(first-line, left), text at max(first-line, left)
    Colour colour = Black;
    int font = 0;            // index into Document::fonts
    bool operator==(const Bullet&) const = default;
};

struct ParagraphFormat {
    Alignment alignment = Alignment::Left;
    int32_t leftIndent = 0;
    int32_t rightIndent = 0;
    int32_t firstLineIndent = 0;  // relative to the left indent
    int32_t spaceBefore = 0;
    int32_t spaceAfter = 0;
    int32_t lineSpacing = 0;      // 0: single
    LineSpacingMode lineSpacingMode = LineSpacingMode::AtLeast;
    bool keepTogether = false;
    bool keepWithNext = false;
    bool pageBreakBefore = false;
    bool widowControl = false;
    int32_t borderDistance = 0;
    std::array<Border, BorderSides> borders{};
    bool hasBackground = false;
    Colour background = White;
    int32_t defaultTabInterval = 720;
    std::vector<TabStop> tabStops;  // in order of position
    Bullet bullet;
    bool operator==(const ParagraphFormat&) const = default;
};

enum class FieldKind : uint8_t { Date, PageNumber, PageCount, FileName };
enum class ObjectKind : uint8_t { Sketch, Spreadsheet, Other };

// Pixels of a decoded picture: rows top to bottom, 8-bit RGB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3 bytes
};

struct EmbeddedObject {
    ObjectKind kind = ObjectKind::Other;
    int32_t displayWidth = 0;   // twips, as the document shows it
    int32_t displayHeight = 0;
    uint32_t sectionPosition = 0;  // where its Embedded Object Section lies in the file
    Picture picture;               // empty when the object could not be drawn
    std::string problem;           // why a sketch could not be drawn; empty otherwise
    bool shownAsIcon = false;      // the document shows the application's icon in its place
    // A spreadsheet's first worksheet as the device shows its cells: rows
    // of equal length, UTF-8; empty when there is none to show.
    std::vector<std::vector<std::string>> table;
};

enum class RunKind : uint8_t { Text, Field, Object };

// A stretch of a paragraph in one character format.
struct Run {
    RunKind kind = RunKind::Text;
    CharacterFormat format;
    std::string text;     // Text: the characters; Field: its latest expansion
    FieldKind field = FieldKind::PageNumber;
    std::string pattern;  // Field: the device's date/time pattern, as stored
    int object = -1;      // Object: index into Document::objects
};

struct Paragraph {
    int style = 0;  // index into Document::styles; 0 is Normal
    ParagraphFormat format;
    CharacterFormat markFormat;  // the paragraph end's own character format
    std::vector<Run> runs;
};

struct Style {
    std::string name;  // UTF-8
    int hotKey = -1;   // the key character, or -1
    ParagraphFormat paragraph;
    CharacterFormat character;
};

struct HeaderFooter {
    bool present = false;
    bool shownOnFirstPage = true;
    std::vector<Paragraph> paragraphs;
};

struct PageSetup {
    int32_t width = 11906;  // A4
    int32_t height = 16838;
    int32_t leftMargin = 1440;
    int32_t rightMargin = 1440;
    int32_t topMargin = 1440;
    int32_t bottomMargin = 1440;
    int32_t headerDistance = 720;  // from the top edge
    int32_t footerDistance = 720;  // from the bottom edge
    int32_t firstPageNumber = 1;
};

struct Document {
    // The Windows code page the document's bytes are read in: set before
    // reading (1252 unless the caller knows the device's language).
    int codePage = 1252;
    PageSetup page;
    std::vector<Font> fonts;    // every font the document names, each once
    std::vector<Style> styles;  // styles[0] is Normal
    HeaderFooter header;
    HeaderFooter footer;
    std::vector<Paragraph> body;
    std::vector<EmbeddedObject> objects;
};

}  // namespace zentoro
