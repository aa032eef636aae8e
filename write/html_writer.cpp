#include "write/html_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "write/bullet_marker.h"
#include "write/concat.h"
#include "write/field_text.h"
#include "write/heading_level.h"
#include "write/object_table.h"
#include "write/picture_data.h"
#include "write/byte_sink.h"
#include "model/code_page.h"
#include "model/device_text.h"

namespace zentoro {

namespace {

constexpr char32_t PageBreakCharacter = U'\f';
constexpr char32_t ReplacementCharacter = 0xFFFD;
constexpr int32_t TwipsPerPixel = 15;
constexpr int32_t MinimumTextWidth = 1440;   // one inch
constexpr int32_t MaximumTextWidth = 28800;  // twenty inches  // CSS pixels are 1/96 inch
constexpr size_t TitleLength = 120;    // code points of the first paragraph kept as the title

struct Declaration {
    std::string_view property;
    std::string value;
};
using Declarations = std::vector<Declaration>;

// ---- CSS values ----

// Points with up to two decimals: a twip is exactly 0.05 pt.
std::string points(int32_t twips) {
    int64_t hundredths = int64_t{twips} * 5;
    uint64_t magnitude = static_cast<uint64_t>(hundredths < 0 ? -hundredths : hundredths);
    std::string text = hundredths < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    if (unsigned fraction = magnitude % 100; fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    }
    text += "pt";
    return text;
}

std::string hexColour(Colour colour) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text = "#";
    for (uint8_t part : {colour.red, colour.green, colour.blue}) {
        text += Digits[part >> 4];
        text += Digits[part & 0xF];
    }
    return text;
}

// A CSS string that is safe inside a <style> element and, once its quotes
// are escaped as HTML, inside a style attribute.
std::string cssString(std::string_view text) {
    std::string quoted = "\"";
    for (size_t i = 0; i < text.size();) {
        char32_t c = nextCodePoint(text, i);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) continue;
        if (c == '"' || c == '\\' || c == '<' || c == '>' || c == '&') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%x ", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            appendUtf8(quoted, c);
        }
    }
    return quoted + "\"";
}

std::string_view genericFamily(FontFamily family) {
    switch (family) {
        case FontFamily::Swiss:
        case FontFamily::SansSerif: return "sans-serif";
        case FontFamily::Monospaced: return "monospace";
        case FontFamily::Serif: break;
    }
    return "serif";
}

std::string fontFamily(const Document& document, int font) {
    if (font < 0 || static_cast<size_t>(font) >= document.fonts.size()) return "serif";
    const Font& chosen = document.fonts[font];
    std::string generic{genericFamily(chosen.family)};
    return chosen.name.empty() ? generic : cssString(chosen.name) + ", " + generic;
}

// ---- Declarations for a format; both lists always name the same properties ----

Declarations characterDeclarations(const Document& document, const CharacterFormat& format) {
    return {
        {"font-family", fontFamily(document, format.font)},
        {"font-size", points(format.size)},
        {"color", hexColour(format.colour)},
        {"font-weight", format.bold ? "bold" : "normal"},
        {"font-style", format.italic ? "italic" : "normal"},
    };
}

std::string_view textAlign(Alignment alignment) {
    switch (alignment) {
        case Alignment::Left: break;
        case Alignment::Centre: return "center";
        case Alignment::Right: return "right";
        case Alignment::Justified: return "justify";
    }
    return "left";
}

std::string_view borderStyle(BorderStyle style) {
    switch (style) {
        case BorderStyle::None: break;
        case BorderStyle::Solid: return "solid";
        case BorderStyle::Double: return "double";
        case BorderStyle::Dotted:
        case BorderStyle::DotDotDash: return "dotted";
        case BorderStyle::Dashed:
        case BorderStyle::DotDash: return "dashed";
    }
    return "none";
}

std::string border(const Border& side) {
    if (side.style == BorderStyle::None) return "none";
    return points(std::max(side.thickness, TwipsPerPixel)) + " " + std::string{borderStyle(side.style)} + " " +
           hexColour(side.colour);
}

std::string lineHeight(const ParagraphFormat& format) {
    if (format.lineSpacing <= 0) return "normal";
    if (format.lineSpacingMode == LineSpacingMode::Exactly) return points(format.lineSpacing);
    return concat({"max(1.2em, ", points(format.lineSpacing), ")"});
}

Declarations paragraphDeclarations(const ParagraphFormat& format) {
    bool bordered = std::any_of(format.borders.begin(), format.borders.end(),
                                [](const Border& side) { return side.style != BorderStyle::None; });
    // Space before and after goes in the padding, which does not collapse
    // between paragraphs as margins would, unless a border or a background
    // must stay inside it.
    bool spaceInMargin = bordered || format.hasBackground;
    std::string inside = bordered ? points(format.borderDistance) : "0";
    return {
        {"text-align", std::string{textAlign(format.alignment)}},
        {"margin-left", points(format.leftIndent)},
        {"margin-right", points(format.rightIndent)},
        {"text-indent", points(format.firstLineIndent)},
        {"margin-top", spaceInMargin ? points(format.spaceBefore) : "0"},
        {"margin-bottom", spaceInMargin ? points(format.spaceAfter) : "0"},
        {"padding-top", spaceInMargin ? inside : points(format.spaceBefore)},
        {"padding-bottom", spaceInMargin ? inside : points(format.spaceAfter)},
        {"padding-left", inside},
        {"padding-right", inside},
        {"border-top", border(format.borders[TopBorder])},
        {"border-bottom", border(format.borders[BottomBorder])},
        {"border-left", border(format.borders[LeftBorder])},
        {"border-right", border(format.borders[RightBorder])},
        {"background-color", format.hasBackground ? hexColour(format.background) : "transparent"},
        {"line-height", lineHeight(format)},
        {"tab-size", format.defaultTabInterval > 0 ? points(format.defaultTabInterval) : "8"},
        {"break-before", format.pageBreakBefore ? "page" : "auto"},
        {"break-inside", format.keepTogether ? "avoid" : "auto"},
        {"break-after", format.keepWithNext ? "avoid" : "auto"},
    };
}

// The list marker: the document's own bullet character, drawn inside the
// item where the device draws it, at the first line's start (with the
// bullet's indent on, at the smaller of the first-line and left indents),
// and never left of the page's text. The tab that follows the bullet in
// the text takes the text on to the left indent, as on the device.
void placeBullet(Declarations& declarations, const ParagraphFormat& format) {
    // Indents are any 32-bit values a file holds: their sum is taken in 64
    // bits and kept to 32.
    int64_t left = format.leftIndent;
    int64_t firstLine = format.bullet.indent ? std::min<int64_t>(left + format.firstLineIndent, left)
                                             : left + format.firstLineIndent;
    int64_t indent = std::clamp<int64_t>(std::max<int64_t>(firstLine, 0) - left, INT32_MIN, INT32_MAX);
    std::string marker;
    appendUtf8(marker, shownBullet(format.bullet.character));
    for (Declaration& declaration : declarations) {
        if (declaration.property == "text-indent") declaration.value = points(static_cast<int32_t>(indent));
        if (declaration.property == "list-style-type") declaration.value = cssString(marker + " ");
    }
}

// A paragraph's own declarations, as a list item when it has a bullet.
Declarations blockDeclarations(const ParagraphFormat& format) {
    Declarations declarations = paragraphDeclarations(format);
    declarations.push_back({"list-style-type", "none"});
    if (format.bullet.on) placeBullet(declarations, format);
    return declarations;
}

// Those of `own` whose values differ from `base`'s.
Declarations differing(const Declarations& own, const Declarations& base) {
    Declarations result;
    for (size_t i = 0; i < own.size(); ++i) {
        if (i >= base.size() || own[i].value != base[i].value) result.push_back(own[i]);
    }
    return result;
}

void removeProperty(Declarations& declarations, std::string_view property) {
    std::erase_if(declarations, [&](const Declaration& d) { return d.property == property; });
}

std::string declarationText(const Declarations& declarations, std::string_view separator) {
    std::string text;
    for (const Declaration& declaration : declarations) {
        if (!text.empty()) text += separator;
        text += declaration.property;
        text += ": ";
        text += declaration.value;
    }
    return text;
}

// ---- HTML text ----

bool allowedInHtml(char32_t c) {
    if (c < 0x20) return c == '\t' || c == '\n' || c == '\f';
    if (c >= 0x7F && c < 0xA0) return false;
    if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xFDD0 && c <= 0xFDEF) || c > 0x10FFFF) return false;
    return (c & 0xFFFE) != 0xFFFE;
}

// One character as HTML attribute value or element content (the special
// characters of the device aside, which the callers handle).
void appendHtml(std::string& out, char32_t c) {
    switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: appendUtf8(out, allowedInHtml(c) ? c : ReplacementCharacter);
    }
}

std::string escapedHtml(std::string_view text) {
    std::string escaped;
    for (size_t i = 0; i < text.size();) appendHtml(escaped, nextCodePoint(text, i));
    return escaped;
}

// ---- Style classes ----

// Letters and digits of any script are kept (CSS takes every character
// past ASCII in a class name, and HTML splits class lists only at ASCII
// spaces); ASCII and Latin-1 letters are lowered, and every run of anything
// else, characters HTML forbids included, becomes one '-'.
std::string slug(std::string_view name) {
    std::string slug;
    for (size_t i = 0; i < name.size();) {
        char32_t c = nextCodePoint(name, i);
        bool kept = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || (c >= 0xA0 && allowedInHtml(c) &&
                                                                         c != 0xA0 && c != 0xAD && c != 0xFFFD);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            c += 0x20;  // lower case, for ASCII and Latin-1 letters
            kept = true;
        }
        if (kept) {
            appendUtf8(slug, c);
        } else if (!slug.empty() && slug.back() != '-') {
            slug += '-';
        }
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return slug;
}

// "style-normal", "style-heading-1" ...: readable, and unique even when
// two names differ only in what a class name cannot hold.
std::vector<std::string> styleClassNames(const Document& document) {
    std::vector<std::string> names;
    for (size_t i = 0; i < document.styles.size(); ++i) {
        std::string name = concat({"style-", slug(document.styles[i].name)});
        if (name == "style-" || std::find(names.begin(), names.end(), name) != names.end()) {
            if (name != "style-") name += '-';
            name += std::to_string(i);
        }
        names.push_back(name);
    }
    return names;
}

// ---- The page ----

// Stands in for a style that the document lacks.
const Style PlainStyle;

const Style& styleOf(const Document& document, const Paragraph& paragraph) {
    if (paragraph.style < 0 || static_cast<size_t>(paragraph.style) >= document.styles.size()) return PlainStyle;
    return document.styles[paragraph.style];
}

// A paragraph's block element, opened again after a page break inside it.
struct Block {
    std::string tag;
    std::string open;
};

// A run's inline elements: the span of what differs from the style's font,
// size and colour, and the elements inside it. Neighbouring runs that share
// a span share one element.
struct Inline {
    std::string span;  // the span's start tag; empty for none
    std::string open;
    std::string close;
};

struct PageWriter {
    ByteSink& out;
    const Document& document;
    const WriteOptions& options;
    std::vector<std::string> classes;
    // Neighbouring paragraphs and runs mostly share their formatting, so
    // the last ones worked out are kept.
    const Style* blockStyle = nullptr;
    ParagraphFormat blockFormat;
    std::string blockAttributes;
    const Style* runStyle = nullptr;
    CharacterFormat runFormat;
    Inline runElements;
    std::vector<bool> objectNamed;  // an object's id is written where it first shows
};

void wrapIn(Inline& run, std::string_view tag, std::string_view attributes = {}) {
    run.open.append("<").append(tag).append(attributes).append(">");
    std::string close = "</";
    close.append(tag).append(">");
    run.close.insert(0, close);
}

Inline inlineElements(const Document& document, const CharacterFormat& style, const CharacterFormat& format) {
    Declarations own = differing(characterDeclarations(document, format), characterDeclarations(document, style));
    bool strong = format.bold && !style.bold;
    bool emphasis = format.italic && !style.italic;
    if (strong) removeProperty(own, "font-weight");
    if (emphasis) removeProperty(own, "font-style");
    Inline run;
    if (!own.empty()) run.span = concat({"<span style=\"", escapedHtml(declarationText(own, "; ")), "\">"});
    if (strong) wrapIn(run, "strong");
    if (emphasis) wrapIn(run, "em");
    if (format.underline) wrapIn(run, "u");
    if (format.strikethrough) wrapIn(run, "s");
    if (format.position == VerticalPosition::Superscript) wrapIn(run, "sup");
    if (format.position == VerticalPosition::Subscript) wrapIn(run, "sub");
    return run;
}

// The span open in the paragraph being written: a run whose span is
// another closes it first.
struct OpenSpan {
    std::string tag;
};

void switchSpan(PageWriter& page, OpenSpan& open, const std::string& span) {
    if (open.tag == span) return;
    if (!open.tag.empty()) put(page.out, "</span>");
    if (!span.empty()) put(page.out, span);
    open.tag = span;
}

// A page break ends the block and starts it again after a rule; a list item
// may hold the rule itself.
void writePageBreak(PageWriter& page, const Block& block, const Inline& run, const OpenSpan& span) {
    put(page.out, run.close);
    if (!span.tag.empty()) put(page.out, "</span>");
    if (block.tag == "li") {
        put(page.out, "<hr class=\"page-break\">");
    } else {
        put(page.out, concat({"</", block.tag, ">\n<hr class=\"page-break\">\n", block.open}));
    }
    put(page.out, span.tag);
    put(page.out, run.open);
}

void writeCharacters(PageWriter& page, const Block& block, const Inline& run, const OpenSpan& span,
                     std::string_view text) {
    std::string piece;
    piece.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = nextCodePoint(text, i);
        switch (c) {
            case LineBreakCharacter: piece += "<br>"; break;
            case SoftHyphenCharacter: piece += "&shy;"; break;
            case HardSpaceCharacter: piece += "&nbsp;"; break;
            case PageBreakCharacter:
                put(page.out, piece);
                piece.clear();
                writePageBreak(page, block, run, span);
                break;
            default: appendHtml(piece, c);
        }
    }
    put(page.out, piece);
}

// Only spaces and tabs, which show no font, weight or position.
bool blankText(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

void writeObject(PageWriter& page, int index) {
    if (index < 0 || static_cast<size_t>(index) >= page.document.objects.size()) {
        put(page.out, "<span class=\"object\">[Object]</span>");
        return;
    }
    const EmbeddedObject& object = page.document.objects[index];
    std::string label{objectLabel(object.kind)};
    std::vector<uint8_t> png = picturePng(object);
    if (png.empty()) {
        put(page.out, concat({"<span class=\"object\">[", label, "]</span>"}));
        return;
    }
    int width = object.displayWidth > 0 ? std::max(1, object.displayWidth / TwipsPerPixel) : object.picture.width;
    int height = object.displayHeight > 0 ? std::max(1, object.displayHeight / TwipsPerPixel) : object.picture.height;
    // The id names the picture as its PNG file is named (DOCUMENT-objectN.png).
    page.objectNamed.resize(page.document.objects.size());
    std::string id;
    if (!page.objectNamed[static_cast<size_t>(index)]) id = concat({" id=\"", pictureId(index), "\""});
    page.objectNamed[static_cast<size_t>(index)] = true;
    put(page.out, concat({"<img src=\"", pngDataUri(png), "\" alt=\"", label, "\" width=\"", std::to_string(width),
                          "\" height=\"", std::to_string(height), "\"", id, ">"}));
}

std::string_view runText(const Run& run, const WriteOptions& options) {
    return run.kind == RunKind::Field ? fieldText(run, options) : std::string_view(run.text);
}

// The class of the paragraph's style, and the declarations in which the
// paragraph differs from it.
const std::string& blockAttributes(PageWriter& page, const Style& style, const Paragraph& paragraph) {
    if (page.blockStyle == &style && page.blockFormat == paragraph.format) return page.blockAttributes;
    std::string attributes;
    if (&style != &PlainStyle) attributes = concat({" class=\"", page.classes[paragraph.style], "\""});
    Declarations changed = differing(blockDeclarations(paragraph.format), blockDeclarations(style.paragraph));
    if (!changed.empty()) attributes += concat({" style=\"", escapedHtml(declarationText(changed, "; ")), "\""});
    page.blockStyle = &style;
    page.blockFormat = paragraph.format;
    page.blockAttributes = std::move(attributes);
    return page.blockAttributes;
}

const Inline& runElements(PageWriter& page, const Style& style, const CharacterFormat& format) {
    if (page.runStyle != &style || !(page.runFormat == format)) {
        page.runStyle = &style;
        page.runFormat = format;
        page.runElements = inlineElements(page.document, style.character, format);
    }
    return page.runElements;
}

bool showsSomething(const Paragraph& paragraph, const WriteOptions& options) {
    return std::any_of(paragraph.runs.begin(), paragraph.runs.end(), [&](const Run& run) {
        return run.kind == RunKind::Object || !runText(run, options).empty();
    });
}

// A spreadsheet as a table of its cells. A list item holds it; a paragraph
// or heading, which cannot, is closed before it and opened again after.
void writeTable(PageWriter& page, const Block& block, const std::vector<std::vector<std::string>>& rows) {
    bool inside = block.tag == "li";
    if (!inside) put(page.out, concat({"</", block.tag, ">\n"}));
    put(page.out, "<table class=\"spreadsheet\">\n");
    for (const std::vector<std::string>& row : rows) {
        std::string line = "<tr>";
        for (const std::string& cell : row) line += concat({"<td>", escapedHtml(cell), "</td>"});
        line += "</tr>\n";
        put(page.out, line);
    }
    put(page.out, "</table>\n");
    if (!inside) put(page.out, block.open);
}

void writeParagraph(PageWriter& page, const Paragraph& paragraph, bool listItem) {
    const Style& style = styleOf(page.document, paragraph);
    int level = headingLevel(page.document, paragraph);
    Block block;
    block.tag = listItem ? "li" : level > 0 ? concat({"h", std::to_string(level)}) : "p";
    block.open = concat({"<", block.tag, blockAttributes(page, style, paragraph), ">"});

    put(page.out, block.open);
    OpenSpan span;
    BulletTabSkipper bulletTab(listItem);
    bool wrote = false;
    for (const Run& run : paragraph.runs) {
        if (const EmbeddedObject* table = tableOf(page.document, run)) {
            writeTable(page, block, table->table);
            continue;
        }
        if (run.kind == RunKind::Object) {
            bulletTab.next(run, {});
            writeObject(page, run.object);
            wrote = true;
            continue;
        }
        std::string_view text = bulletTab.next(run, runText(run, page.options));
        if (text.empty()) continue;
        wrote = true;
        const Inline& elements = runElements(page, style, run.format);
        if (blankText(text)) {
            // Blank runs stay in the span around them, with no element of
            // their own, which readers would take for an empty one and
            // drop: only an underline or a line through the gap is lost.
            writeCharacters(page, block, Inline{}, span, text);
            continue;
        }
        switchSpan(page, span, elements.span);
        put(page.out, elements.open);
        writeCharacters(page, block, elements, span, text);
        put(page.out, elements.close);
    }
    switchSpan(page, span, {});
    if (!wrote) {
        // An empty paragraph keeps its line, as high as its mark's font.
        Inline mark = inlineElements(page.document, style.character, paragraph.markFormat);
        std::string close = mark.span.empty() ? "" : "</span>";
        put(page.out, concat({mark.span, mark.open, "<br>", mark.close, close}));
    }
    put(page.out, concat({"</", block.tag, ">\n"}));
}

void writeParagraphs(PageWriter& page, const std::vector<Paragraph>& paragraphs) {
    bool inList = false;
    for (const Paragraph& paragraph : paragraphs) {
        bool bullet = paragraph.format.bullet.on;
        if (bullet != inList) put(page.out, bullet ? "<ul>\n" : "</ul>\n");
        inList = bullet;
        writeParagraph(page, paragraph, bullet);
    }
    if (inList) put(page.out, "</ul>\n");
}

// The paragraph's words, one space between each, cut after the word that
// reaches TitleLength characters and then ending in "…".
std::string titleWords(const Paragraph& paragraph, const WriteOptions& options) {
    std::string words;
    size_t length = 0;
    size_t lastWordEnd = 0;
    for (const Run& run : paragraph.runs) {
        std::string_view text = run.kind == RunKind::Object ? std::string_view() : runText(run, options);
        for (size_t i = 0; i < text.size();) {
            char32_t c = nextCodePoint(text, i);
            bool space = c == ' ' || c == '\t' || c == '\f' || c == LineBreakCharacter || c == HardSpaceCharacter;
            if (c == SoftHyphenCharacter) continue;
            if (space && (words.empty() || words.back() == ' ')) continue;
            if (space) lastWordEnd = words.size();
            if (length == TitleLength) {
                words.resize(lastWordEnd > 0 ? lastWordEnd : words.size());
                return words + "\u2026";
            }
            appendUtf8(words, space ? U' ' : c);
            ++length;
        }
    }
    while (!words.empty() && words.back() == ' ') words.pop_back();
    return words;
}

// The first heading's words, else the first paragraph's, else the
// document's name.
std::string title(const Document& document, const WriteOptions& options) {
    for (const Paragraph& paragraph : document.body) {
        if (headingLevel(document, paragraph) == 0) continue;
        if (std::string words = titleWords(paragraph, options); !words.empty()) return words;
    }
    for (const Paragraph& paragraph : document.body) {
        if (std::string words = titleWords(paragraph, options); !words.empty()) return words;
    }
    return options.documentName.empty() ? "Document" : options.documentName;
}

void writeStyleSheet(PageWriter& page) {
    const PageSetup& setup = page.document.page;
    // A damaged page set-up must not squeeze the text into a sliver or
    // spread it without bound.
    int64_t textWidth = int64_t{setup.width} - setup.leftMargin - setup.rightMargin;
    if (textWidth < MinimumTextWidth || textWidth > MaximumTextWidth) {
        const PageSetup a4;
        textWidth = a4.width - a4.leftMargin - a4.rightMargin;
    }
    put(page.out, "<style>\n");
    put(page.out, concat({"body { max-width: ", points(static_cast<int32_t>(textWidth)), "; margin: ",
                          points(std::clamp(setup.topMargin, 0, MaximumTextWidth)), " auto ",
                          points(std::clamp(setup.bottomMargin, 0, MaximumTextWidth)),
                         "; padding: 0 1em; background: #ffffff; color: #000000; }\n"}));
    put(page.out, "p, h1, h2, h3, h4, h5, h6, li { margin: 0; white-space: pre-wrap; overflow-wrap: break-word; }\n");
    put(page.out, "ul { margin: 0; padding: 0; list-style-position: inside; }\n");
    put(page.out, "img { max-width: 100%; height: auto; vertical-align: bottom; }\n");
    put(page.out, "table.spreadsheet { border-collapse: collapse; } .spreadsheet td { border: 1px solid #999999; "
                  "padding: 0 0.3em; white-space: pre-wrap; }\n");
    put(page.out, "header { margin-bottom: 2em; } footer { margin-top: 2em; }\n");
    put(page.out, "hr.page-break { border: 0; border-top: 1px dashed #999999; margin: 1em 0; break-after: page; }\n");
    for (size_t i = 0; i < page.document.styles.size(); ++i) {
        const Style& style = page.document.styles[i];
        Declarations declarations = blockDeclarations(style.paragraph);
        Declarations character = characterDeclarations(page.document, style.character);
        declarations.insert(declarations.end(), character.begin(), character.end());
        put(page.out, concat({".", page.classes[i], " { ", declarationText(declarations, "; "), "; }\n"}));
    }
    put(page.out, "</style>\n");
}

void writeHeaderFooter(PageWriter& page, const HeaderFooter& part, std::string_view tag) {
    bool showsAnything = std::any_of(part.paragraphs.begin(), part.paragraphs.end(),
                                     [&](const Paragraph& paragraph) { return showsSomething(paragraph, page.options); });
    if (!part.present || !showsAnything) return;
    put(page.out, concat({"<", tag, ">\n"}));
    writeParagraphs(page, part.paragraphs);
    put(page.out, concat({"</", tag, ">\n"}));
}

}  // namespace

bool writeHtml(const Document& document, const WriteOptions& options, ByteSink& out) {
    PageWriter page{out, document, options, styleClassNames(document), nullptr, {}, {}, nullptr, {}, {}, {}};
    std::string_view language = headingLanguage(document);
    put(out, concat({"<!doctype html>\n<html lang=\"", language.empty() ? "und" : language, "\">\n<head>\n<meta charset=\"utf-8\">\n"}));
    put(out, "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n");
    put(out, concat({"<title>", escapedHtml(title(document, options)), "</title>\n"}));
    writeStyleSheet(page);
    put(out, "</head>\n<body>\n");
    writeHeaderFooter(page, document.header, "header");
    put(out, "<main>\n");
    writeParagraphs(page, document.body);
    put(out, "</main>\n");
    writeHeaderFooter(page, document.footer, "footer");
    put(out, "</body>\n</html>\n");
    return finishSink(out);
}

bool writeHtml(const Document& document, const WriteOptions& options, std::FILE* output) {
    auto sink = std::make_unique<ByteSink>();
    sink->file = output;
    return writeHtml(document, options, *sink);
}

}  // namespace zentoro
