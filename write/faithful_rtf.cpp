#include "write/faithful_rtf.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <memory>
#include <vector>

#include "model/code_page.h"
#include "write/date_picture.h"
#include "write/rtf_picture.h"
#include "write/object_table.h"
#include "write/rtf_table.h"
#include "write/rtf_text.h"

namespace zentoro {

namespace {

using Tables = FaithfulRtfTables;

int colourNumber(const Tables& tables, Colour colour) {
    auto at = std::find(tables.colours.begin(), tables.colours.end(), colour);
    return static_cast<int>(at - tables.colours.begin()) + 1;
}

void noteColour(Tables& tables, Colour colour) {
    if (std::find(tables.colours.begin(), tables.colours.end(), colour) == tables.colours.end()) {
        tables.colours.push_back(colour);
    }
}

// Bullets that look the same share one list.
bool sameBullet(const Bullet& a, const Bullet& b) {
    return a.character == b.character && a.font == b.font && a.size == b.size && a.colour == b.colour &&
           a.indent == b.indent;
}

int listNumber(const Tables& tables, const Bullet& bullet) {
    auto at = std::find_if(tables.bullets.begin(), tables.bullets.end(),
                           [&](const Bullet& b) { return sameBullet(b, bullet); });
    return static_cast<int>(at - tables.bullets.begin()) + 1;
}

void noteParagraphFormat(Tables& tables, const ParagraphFormat& format) {
    for (const Border& border : format.borders) {
        if (border.style != BorderStyle::None) noteColour(tables, border.colour);
    }
    if (format.hasBackground) noteColour(tables, format.background);
    if (!format.bullet.on) return;
    noteColour(tables, format.bullet.colour);
    if (listNumber(tables, format.bullet) > static_cast<int>(tables.bullets.size())) {
        tables.bullets.push_back(format.bullet);
    }
}

void noteParagraph(Tables& tables, const Paragraph& paragraph) {
    noteParagraphFormat(tables, paragraph.format);
    noteColour(tables, paragraph.markFormat.colour);
    const Colour* last = &paragraph.markFormat.colour;
    for (const Run& run : paragraph.runs) {
        if (run.format.colour == *last) continue;
        noteColour(tables, run.format.colour);
        last = &run.format.colour;
    }
}

// What the document holds beside its body.
void noteHead(Tables& tables, const Document& document) {
    for (const Style& style : document.styles) {
        noteColour(tables, style.character.colour);
        noteParagraphFormat(tables, style.paragraph);
    }
    for (const Paragraph& paragraph : document.header.paragraphs) noteParagraph(tables, paragraph);
    for (const Paragraph& paragraph : document.footer.paragraphs) noteParagraph(tables, paragraph);
}

template <size_t N>
void keyword(ByteSink& sink, const char (&word)[N], int64_t value) {
    put(sink, word);
    putNumber(sink, value);
}

// Sizes are held in twips; RTF takes half points, here rounded to the nearest.
int64_t halfPoints(int32_t twips) {
    int64_t t = twips;
    return t >= 0 ? (t + 5) / 10 : (t - 5) / 10;
}

// The device's classes of screen font: Swiss and sans serif faces are
// \fswiss, monospaced ones \fmodern with fixed pitch, serif ones \froman.
std::string_view familyKeyword(FontFamily family) {
    switch (family) {
        case FontFamily::Swiss:
        case FontFamily::SansSerif: return "\\fswiss\\fprq2";
        case FontFamily::Monospaced: return "\\fmodern\\fprq1";
        case FontFamily::Serif: return "\\froman\\fprq2";
    }
    return "\\fnil";
}

void writeFontTable(ByteSink& sink, const Document& document) {
    put(sink, "{\\fonttbl");
    for (size_t i = 0; i < document.fonts.size(); ++i) {
        keyword(sink, "{\\f", static_cast<int64_t>(i));
        put(sink, familyKeyword(document.fonts[i].family));
        keyword(sink, "\\fcharset", rtfCharset(document.codePage));
        put(sink, ' ');
        writeRtfText(sink, document.fonts[i].name, document.codePage);
        put(sink, ";}");
    }
    put(sink, "}\n");
}

void writeColourTable(ByteSink& sink, const Tables& tables) {
    put(sink, "{\\colortbl;");
    for (const Colour& c : tables.colours) {
        keyword(sink, "\\red", c.red);
        keyword(sink, "\\green", c.green);
        keyword(sink, "\\blue", c.blue);
        put(sink, ';');
    }
    put(sink, "}\n");
}

size_t formatTextSlot(const Tables& tables, const CharacterFormat& f) {
    uint64_t key = static_cast<uint64_t>(static_cast<uint32_t>(f.font)) * 0x9E3779B97F4A7C15ull;
    key ^= static_cast<uint64_t>(static_cast<uint32_t>(f.size)) * 0xC2B2AE3D27D4EB4Full;
    key ^= (uint64_t{f.bold} | uint64_t{f.italic} << 1 | uint64_t{f.underline} << 2 | uint64_t{f.strikethrough} << 3 |
            static_cast<uint64_t>(f.position) << 4) * 0x165667B19E3779F9ull;
    key ^= (uint64_t{f.colour.red} | uint64_t{f.colour.green} << 8 | uint64_t{f.colour.blue} << 16) * 0x27D4EB2F165667C5ull;
    return static_cast<size_t>(key >> (64 - tables.formatTextGrowth.bits));
}

void writeCharacterKeywords(ByteSink& sink, const Tables& tables, const CharacterFormat& f) {
    keyword(sink, "\\f", f.font);
    keyword(sink, "\\fs", halfPoints(f.size));
    if (f.bold) put(sink, "\\b");
    if (f.italic) put(sink, "\\i");
    if (f.underline) put(sink, "\\ul");
    if (f.strikethrough) put(sink, "\\strike");
    if (f.position == VerticalPosition::Superscript) put(sink, "\\super");
    if (f.position == VerticalPosition::Subscript) put(sink, "\\sub");
    keyword(sink, "\\cf", colourNumber(tables, f.colour));
    put(sink, ' ');
}

void writeCharacterFormat(ByteSink& sink, const Tables& tables, const CharacterFormat& f) {
    if (timeToGrow(tables.formatTextGrowth) || tables.formatTexts.empty()) {
        tables.formatTexts.assign(size_t{1} << tables.formatTextGrowth.bits, {});
    }
    FaithfulRtfTables::FormatText& cached = tables.formatTexts[formatTextSlot(tables, f)];
    bool hit = cached.length != 0 && cached.format == f;
    countLookup(tables.formatTextGrowth, hit);
    if (hit) {
        ++tables.formatTextHits;
        put(sink, std::string_view(cached.text.data(), cached.length));
        return;
    }
    size_t start = sink.used;
    uint64_t flushedBefore = sink.bytesWritten;
    writeCharacterKeywords(sink, tables, f);
    // Kept when it was written whole into the buffer, as nearly always.
    size_t length = sink.used - start;
    if (sink.bytesWritten != flushedBefore || length > cached.text.size()) return;
    cached.format = f;
    cached.length = static_cast<uint8_t>(length);
    std::memcpy(cached.text.data(), sink.buffer.data() + start, length);
}

std::string_view alignmentKeyword(Alignment alignment) {
    switch (alignment) {
        case Alignment::Left: return "\\ql";
        case Alignment::Centre: return "\\qc";
        case Alignment::Right: return "\\qr";
        case Alignment::Justified: return "\\qj";
    }
    return "\\ql";
}

std::string_view borderStyleKeyword(BorderStyle style) {
    switch (style) {
        case BorderStyle::None: return "\\brdrnone";
        case BorderStyle::Solid: return "\\brdrs";
        case BorderStyle::Double: return "\\brdrdb";
        case BorderStyle::Dotted: return "\\brdrdot";
        case BorderStyle::Dashed: return "\\brdrdash";
        case BorderStyle::DotDash: return "\\brdrdashd";
        case BorderStyle::DotDotDash: return "\\brdrdashdd";
    }
    return "\\brdrs";
}

void writeBorders(ByteSink& sink, const Tables& tables, const ParagraphFormat& f) {
    static constexpr std::string_view SideKeywords[BorderSides] = {"\\brdrt", "\\brdrb", "\\brdrl", "\\brdrr"};
    for (size_t side = 0; side < BorderSides; ++side) {
        const Border& border = f.borders[side];
        if (border.style == BorderStyle::None) continue;
        put(sink, SideKeywords[side]);
        put(sink, borderStyleKeyword(border.style));
        keyword(sink, "\\brdrw", std::max<int32_t>(border.thickness, 1));
        keyword(sink, "\\brdrcf", colourNumber(tables, border.colour));
        keyword(sink, "\\brsp", f.borderDistance);
    }
}

void writeTabStops(ByteSink& sink, const std::vector<TabStop>& stops) {
    for (const TabStop& stop : stops) {
        if (stop.kind == TabKind::Centre) put(sink, "\\tqc");
        if (stop.kind == TabKind::Right) put(sink, "\\tqr");
        keyword(sink, "\\tx", stop.position);
    }
}

// Where a bulleted paragraph's first line and text stand. With "indent" on,
// the bullet stands at the smaller of the first-line and left indents and
// the text at the larger; with it off, the bullet stands at the first-line
// position and the text follows it.
// Sums of indents from a damaged document may leave 32 bits; they are
// taken in 64 and written as they come.
struct WideIndents {
    int64_t left;
    int64_t firstLine;
};

WideIndents indentsOf(const ParagraphFormat& f) {
    if (!f.bullet.on || !f.bullet.indent) return {f.leftIndent, f.firstLineIndent};
    int64_t firstLine = static_cast<int64_t>(f.leftIndent) + f.firstLineIndent;
    int64_t bullet = std::min<int64_t>(firstLine, f.leftIndent);
    int64_t text = std::max<int64_t>(firstLine, f.leftIndent);
    return {text, bullet - text};
}

void writeParagraphFormat(ByteSink& sink, const Tables& tables, const ParagraphFormat& f) {
    put(sink, alignmentKeyword(f.alignment));
    WideIndents indents = indentsOf(f);
    keyword(sink, "\\li", indents.left);
    keyword(sink, "\\ri", f.rightIndent);
    keyword(sink, "\\fi", indents.firstLine);
    keyword(sink, "\\sb", f.spaceBefore);
    keyword(sink, "\\sa", f.spaceAfter);
    if (f.lineSpacing != 0) {
        bool exact = f.lineSpacingMode == LineSpacingMode::Exactly;
        keyword(sink, "\\sl", exact ? -static_cast<int64_t>(f.lineSpacing) : f.lineSpacing);
        put(sink, "\\slmult0");
    }
    if (f.keepTogether) put(sink, "\\keep");
    if (f.keepWithNext) put(sink, "\\keepn");
    if (f.pageBreakBefore) put(sink, "\\pagebb");
    put(sink, f.widowControl ? "\\widctlpar" : "\\nowidctlpar");
    writeBorders(sink, tables, f);
    if (f.hasBackground) keyword(sink, "\\cbpat", colourNumber(tables, f.background));
    writeTabStops(sink, f.tabStops);
}

// The label's character in a list level or a \listtext group.
void writeBulletCharacter(ByteSink& sink, char32_t c, int codePage) {
    writeRtfCharacter(sink, c == 0 ? U' ' : c, codePage);
}

void writeBulletFormat(ByteSink& sink, const Tables& tables, const Bullet& bullet) {
    keyword(sink, "\\f", bullet.font);
    keyword(sink, "\\fs", halfPoints(bullet.size));
    keyword(sink, "\\cf", colourNumber(tables, bullet.colour));
}

// One simple list per distinct bullet; its one level draws the bullet.
void writeListTables(ByteSink& sink, const Tables& tables, int codePage) {
    if (tables.bullets.empty()) return;
    put(sink, "{\\*\\listtable");
    for (size_t i = 0; i < tables.bullets.size(); ++i) {
        const Bullet& bullet = tables.bullets[i];
        int id = static_cast<int>(i) + 1;
        keyword(sink, "{\\list\\listtemplateid", id);
        put(sink, "\\listsimple{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0");
        // A tab takes the text to the hanging indent; without one it follows the bullet.
        keyword(sink, "\\levelfollow", bullet.indent ? 0 : 1);
        put(sink, "\\levelstartat1\\levelspace0\\levelindent0{\\leveltext\\'01");
        writeBulletCharacter(sink, bullet.character, codePage);
        put(sink, ";}{\\levelnumbers;}");
        writeBulletFormat(sink, tables, bullet);
        put(sink, "}{\\listname ;}");
        keyword(sink, "\\listid", id);
        put(sink, "}\n");
    }
    put(sink, "}\n{\\*\\listoverridetable");
    for (size_t i = 0; i < tables.bullets.size(); ++i) {
        int id = static_cast<int>(i) + 1;
        keyword(sink, "{\\listoverride\\listid", id);
        keyword(sink, "\\listoverridecount0\\ls", id);
        put(sink, "}");
    }
    put(sink, "}\n");
}

void writeHotKey(ByteSink& sink, int key, int codePage) {
    if (key < 0) return;
    put(sink, "{\\*\\keycode \\shift\\ctrl ");
    writeRtfCharacter(sink, static_cast<char32_t>(key), codePage);
    put(sink, "}");
}

void writeStyleSheet(ByteSink& sink, const Document& document, const Tables& tables) {
    put(sink, "{\\stylesheet\n");
    for (size_t i = 0; i < document.styles.size(); ++i) {
        const Style& style = document.styles[i];
        keyword(sink, "{\\s", static_cast<int64_t>(i));
        if (i != 0) put(sink, "\\sbasedon0");
        ParagraphFormat format = style.paragraph;
        format.bullet.on = false;  // bullets belong to the paragraphs' lists
        writeParagraphFormat(sink, tables, format);
        writeCharacterFormat(sink, tables, style.character);
        writeHotKey(sink, style.hotKey, document.codePage);
        put(sink, ' ');
        writeRtfText(sink, style.name, document.codePage);
        put(sink, ";}\n");
    }
    put(sink, "}\n");
}

// A sketch shows as its picture at the size the document gives it; an object
// the writer cannot draw, or one the document shows as its application's
// icon, as a visible placeholder; a sketch that could not be decoded with
// the reason.
void writeObject(ByteSink& sink, const Document& document, const Run& run) {
    if (run.object < 0 || static_cast<size_t>(run.object) >= document.objects.size()) {
        put(sink, "[Object]");
        return;
    }
    const EmbeddedObject& object = document.objects[static_cast<size_t>(run.object)];
    switch (object.kind) {
        case ObjectKind::Sketch: {
            std::string picture =
                object.shownAsIcon ? std::string() : rtfPictureGroup(object.picture, object.displayWidth, object.displayHeight);
            if (!picture.empty()) {
                put(sink, picture);
            } else if (object.problem.empty() || object.shownAsIcon) {
                put(sink, "[Sketch]");
            } else {
                put(sink, "[Sketch: ");
                writeRtfText(sink, object.problem, document.codePage);
                put(sink, "]");
            }
            break;
        }
        case ObjectKind::Spreadsheet: put(sink, "[Spreadsheet]"); break;
        case ObjectKind::Other: put(sink, "[Object]"); break;
    }
}

void writeFieldInstruction(ByteSink& sink, const Run& run, int codePage) {
    switch (run.field) {
        case FieldKind::PageNumber: put(sink, "PAGE"); return;
        case FieldKind::PageCount: put(sink, "NUMPAGES"); return;
        case FieldKind::FileName: put(sink, "FILENAME"); return;
        case FieldKind::Date: break;
    }
    DatePicture picture = datePicture(run.pattern, run.text);
    put(sink, picture.hasDate ? "DATE" : "TIME");
    if (picture.picture.empty()) return;
    put(sink, " \\\\@ \"");
    writeRtfText(sink, picture.picture, codePage);
    put(sink, "\"");
}

void writeRun(ByteSink& sink, const Document& document, const Tables& tables, const Run& run) {
    if (run.kind == RunKind::Field) {
        put(sink, "{\\field{\\*\\fldinst ");
        writeFieldInstruction(sink, run, document.codePage);
        put(sink, "}{\\fldrslt {\\plain ");
        writeCharacterFormat(sink, tables, run.format);
        writeRtfText(sink, run.text, document.codePage);
        put(sink, "}}}");
        return;
    }
    put(sink, "{\\plain ");
    writeCharacterFormat(sink, tables, run.format);
    if (run.kind == RunKind::Object) {
        writeObject(sink, document, run);
    } else {
        writeRtfText(sink, run.text, document.codePage);
    }
    put(sink, "}");
}

void writeParagraphStart(ByteSink& sink, const Document& document, const Tables& tables, const Paragraph& paragraph,
                         bool withBullet) {
    keyword(sink, "\\pard\\plain \\s", paragraph.style);
    writeParagraphFormat(sink, tables, paragraph.format);
    const Bullet& bullet = paragraph.format.bullet;
    if (bullet.on && withBullet) keyword(sink, "\\ls", listNumber(tables, bullet));
    if (bullet.on && withBullet) put(sink, "\\ilvl0");
    writeCharacterFormat(sink, tables, paragraph.markFormat);
    if (bullet.on && withBullet) {
        put(sink, "{\\listtext\\pard\\plain ");
        writeBulletFormat(sink, tables, bullet);
        put(sink, ' ');
        writeBulletCharacter(sink, bullet.character, document.codePage);
        put(sink, bullet.indent ? "\\tab}" : " }");
    }
}

// A spreadsheet shown as a table stands between paragraphs: the text before
// it ends a paragraph, and the text after it starts one in the same format.
void writeParagraph(ByteSink& sink, const Document& document, const Tables& tables, const Paragraph& paragraph) {
    writeParagraphStart(sink, document, tables, paragraph, true);
    bool textBefore = false;
    for (const Run& run : paragraph.runs) {
        const EmbeddedObject* table = tableOf(document, run);
        if (!table) {
            writeRun(sink, document, tables, run);
            textBefore = true;
            continue;
        }
        if (textBefore) put(sink, "\\par\n");
        writeRtfTable(sink, table->table, table->displayWidth, document.codePage);
        writeParagraphStart(sink, document, tables, paragraph, false);
        textBefore = false;
    }
    // Readers take the last \par of a story as its end, not as the start of
    // another paragraph, so every paragraph, an empty last one too, ends so.
    put(sink, "\\par\n");
}

void writeParagraphs(ByteSink& sink, const Document& document, const Tables& tables,
                     const std::vector<Paragraph>& paragraphs) {
    for (const Paragraph& paragraph : paragraphs) writeParagraph(sink, document, tables, paragraph);
}

void writeHeaderFooter(ByteSink& sink, const Document& document, const Tables& tables, const HeaderFooter& block,
                       std::string_view group, std::string_view firstPageGroup, bool titlePage) {
    if (!block.present) return;
    put(sink, group);
    put(sink, '\n');
    writeParagraphs(sink, document, tables, block.paragraphs);
    put(sink, "}\n");
    if (!titlePage) return;
    put(sink, firstPageGroup);
    if (block.shownOnFirstPage) {
        put(sink, '\n');
        writeParagraphs(sink, document, tables, block.paragraphs);
    } else {
        put(sink, "\\pard\\plain ");
    }
    put(sink, "}\n");
}

void writePageSetup(ByteSink& sink, const PageSetup& page) {
    keyword(sink, "\\paperw", page.width);
    keyword(sink, "\\paperh", page.height);
    keyword(sink, "\\margl", page.leftMargin);
    keyword(sink, "\\margr", page.rightMargin);
    keyword(sink, "\\margt", page.topMargin);
    keyword(sink, "\\margb", page.bottomMargin);
    if (page.width > page.height) put(sink, "\\landscape");
    put(sink, '\n');
}

void writeSection(ByteSink& sink, const Document& document, const Tables& tables) {
    const PageSetup& page = document.page;
    bool titlePage = (document.header.present && !document.header.shownOnFirstPage) ||
                     (document.footer.present && !document.footer.shownOnFirstPage);
    put(sink, "\\sectd");
    keyword(sink, "\\headery", page.headerDistance);
    keyword(sink, "\\footery", page.footerDistance);
    keyword(sink, "\\pgnstarts", page.firstPageNumber);
    put(sink, "\\pgnrestart");
    if (titlePage) put(sink, "\\titlepg");
    put(sink, '\n');
    writeHeaderFooter(sink, document, tables, document.header, "{\\header", "{\\headerf", titlePage);
    writeHeaderFooter(sink, document, tables, document.footer, "{\\footer", "{\\footerf", titlePage);
}

}  // namespace

void beginFaithfulRtf(FaithfulRtfStream& stream, uint64_t sizeLimit, size_t expectedBody) {
    stream.tables = Tables{};
    stream.tables.formatTextGrowth =
        slotGrowthFor(expectedBody, 4096, Tables::FewestFormatTextBits, Tables::MostFormatTextBits);
    noteColour(stream.tables, Black);
    stream.body.clear();
    stream.body.reserve(expectedBody);
    stream.bodySink.block = &stream.body;
    stream.bodySink.sizeLimit = sizeLimit;
}

void writeFaithfulBodyParagraph(FaithfulRtfStream& stream, const Document& document, const Paragraph& paragraph) {
    noteParagraph(stream.tables, paragraph);
    writeParagraph(stream.bodySink, document, stream.tables, paragraph);
}

bool finishFaithfulRtf(FaithfulRtfStream& stream, const Document& document, ByteSink& sink) {
    flushSink(stream.bodySink);
    if (stream.bodySink.limitReached) {
        sink.failed = sink.limitReached = true;
        return false;
    }
    Tables& tables = stream.tables;
    noteHead(tables, document);
    keyword(sink, "{\\rtf1\\ansi\\ansicpg", document.codePage);
    put(sink, "\\deff0");
    int32_t defaultTab = document.styles.empty() ? 720 : document.styles[0].paragraph.defaultTabInterval;
    keyword(sink, "\\deftab", defaultTab);
    put(sink, '\n');
    writeFontTable(sink, document);
    writeColourTable(sink, tables);
    writeStyleSheet(sink, document, tables);
    writeListTables(sink, tables, document.codePage);
    writePageSetup(sink, document.page);
    writeSection(sink, document, tables);
    putBlock(sink, {reinterpret_cast<const char*>(stream.body.data()), stream.body.size()});
    put(sink, "}\n");
    return finishSink(sink);
}

bool writeFaithfulRtf(const Document& document, ByteSink& sink) {
    auto stream = std::make_unique<FaithfulRtfStream>();
    beginFaithfulRtf(*stream, sink.sizeLimit);
    for (const Paragraph& paragraph : document.body) writeFaithfulBodyParagraph(*stream, document, paragraph);
    return finishFaithfulRtf(*stream, document, sink);
}

bool writeFaithfulRtf(const Document& document, const WriteOptions&, std::FILE* output) {
    auto sink = std::make_unique<ByteSink>();
    sink->file = output;
    return writeFaithfulRtf(document, *sink);
}

}  // namespace zentoro
