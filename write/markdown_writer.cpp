#include "write/markdown_writer.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "write/bullet_marker.h"
#include "write/concat.h"
#include "write/field_text.h"
#include "write/heading_level.h"
#include "write/object_table.h"
#include "write/open_for_writing.h"
#include "write/picture_data.h"
#include "write/byte_sink.h"
#include "model/code_page.h"
#include "model/device_text.h"

namespace zentoro {

namespace {

constexpr char32_t PageBreakCharacter = U'\f';
constexpr char32_t ReplacementCharacter = 0xFFFD;

enum Mark : uint8_t { Strong = 1, Emphasis = 2, Strike = 4, Superscript = 8, Subscript = 16 };
constexpr Mark DelimitedMarks[] = {Strong, Emphasis, Strike};
constexpr uint8_t Delimited = Strong | Emphasis | Strike;

std::string_view delimiter(Mark mark) {
    switch (mark) {
        case Strong: return "**";
        case Emphasis: return "*";
        case Strike: return "~~";
        default: return "";
    }
}

uint8_t marksOf(const CharacterFormat& format) {
    return (format.bold ? Strong : 0) | (format.italic ? Emphasis : 0) | (format.strikethrough ? Strike : 0) |
           (format.position == VerticalPosition::Superscript ? Superscript : 0) |
           (format.position == VerticalPosition::Subscript ? Subscript : 0);
}

// One character of a line, or an object written as a whole.
struct Atom {
    char32_t c = 0;
    uint8_t marks = 0;
    std::string object;  // the object's Markdown; empty for a character
};
using Line = std::vector<Atom>;

// Where a line stands, for what its characters could start.
enum class LineKind : uint8_t { Text, Heading, TableCell };

// ---- Character classes, as CommonMark sees them ----

bool isWhitespace(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool isAsciiPunctuation(char32_t c) {
    return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || (c >= '{' && c <= '~');
}

bool isPunctuation(char32_t c) {
    if (c < 0x80) return isAsciiPunctuation(c);
    return c == 0xA1 || c == 0xA7 || c == 0xAB || c == 0xB6 || c == 0xB7 || c == 0xBB || c == 0xBF ||
           (c >= 0x2010 && c <= 0x2027) || (c >= 0x2030 && c <= 0x205E) || (c >= 0x3001 && c <= 0x3003) ||
           (c >= 0x3008 && c <= 0x3011) || (c >= 0xFF01 && c <= 0xFF0F);
}

bool isAsciiLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool isSpaceOrTab(const Atom& atom) { return atom.object.empty() && (atom.c == ' ' || atom.c == '\t'); }
bool isBlank(const Atom& atom) { return atom.object.empty() && isWhitespace(atom.c); }

// What a neighbour counts as: an object's Markdown starts with '!' and ends
// with ')' or ']', punctuation either way; the line's ends are whitespace.
char32_t characterAt(const Line& line, size_t i) {
    if (i >= line.size()) return U' ';
    return line[i].object.empty() ? line[i].c : U'!';
}

// ---- Escaping only what would change the rendering ----

// "&name;" or "&#...;": a character reference that Markdown would decode.
bool startsReference(const Line& line, size_t i) {
    size_t j = i + 1;
    while (j < line.size() && j - i < 34 && line[j].object.empty() &&
           (isAsciiLetter(line[j].c) || (line[j].c >= '0' && line[j].c <= '9') || (j == i + 1 && line[j].c == '#'))) {
        ++j;
    }
    return j > i + 1 && j < line.size() && line[j].object.empty() && line[j].c == ';';
}

bool lineIs(const Line& line, std::u32string_view allowed) {
    return std::all_of(line.begin(), line.end(),
                       [&](const Atom& atom) { return atom.object.empty() && allowed.find(atom.c) != std::u32string_view::npos; });
}

// An ordered list marker at the line's start: up to nine digits, then '.'
// or ')' before a space or the line's end. The index of the '.' or ')'.
size_t orderedListMark(const Line& line) {
    size_t digits = 0;
    while (digits < line.size() && digits < 10 && line[digits].object.empty() && line[digits].c >= '0' && line[digits].c <= '9') {
        ++digits;
    }
    if (digits == 0 || digits > 9 || digits >= line.size()) return line.size();
    char32_t mark = characterAt(line, digits);
    char32_t after = characterAt(line, digits + 1);
    return (mark == '.' || mark == ')') && (after == ' ' || after == '\t') ? digits : line.size();
}

// The first '#' of the run that would close an ATX heading: a run of '#'
// at the heading's end, after a space or making up the whole heading.
size_t headingClosingHash(const Line& line) {
    size_t start = line.size();
    while (start > 0 && characterAt(line, start - 1) == '#') --start;
    if (start == line.size()) return line.size();
    return start == 0 || characterAt(line, start - 1) == ' ' || characterAt(line, start - 1) == '\t' ? start : line.size();
}

// What a line's own shape makes syntax, found once per line.
struct LineSyntax {
    LineKind kind = LineKind::Text;
    bool tableRule = false;   // only pipes, dashes, colons and spaces: a table's delimiter row
    size_t closingHash = 0;   // the '#' that would close a heading; the line's size for none
};

LineSyntax syntaxOf(const Line& line, LineKind kind) {
    return {kind, lineIs(line, U"|-: \t"), kind == LineKind::Heading ? headingClosingHash(line) : line.size()};
}

// Whether the character at i would be read as Markdown syntax.
bool needsEscape(const Line& line, size_t i, const LineSyntax& syntax) {
    LineKind kind = syntax.kind;
    char32_t c = line[i].c;
    char32_t before = i == 0 ? U' ' : characterAt(line, i - 1);
    char32_t after = characterAt(line, i + 1);
    bool lineStart = i == 0 && kind != LineKind::TableCell;
    switch (c) {
        case '\\': return isAsciiPunctuation(after) || i + 1 == line.size();
        case '`': return true;
        case '*':
        case '~': return lineStart || !isWhitespace(before) || !isWhitespace(after);
        case '_': {
            bool wordBefore = !isWhitespace(before) && !isPunctuation(before);
            bool wordAfter = !isWhitespace(after) && !isPunctuation(after);
            return !(wordBefore && wordAfter);
        }
        case '[': return lineStart;
        case ']': return after == '(';
        case '<': return isAsciiLetter(after) || after == '/' || after == '!' || after == '?';
        case '>': return lineStart;
        case '&': return startsReference(line, i);
        case '|': return kind == LineKind::TableCell || syntax.tableRule;
        case '#': return lineStart || i == syntax.closingHash;
        case '-': return lineStart && (after == ' ' || after == '\t' || i + 1 == line.size() || lineIs(line, U"- \t"));
        case '+': return lineStart && (after == ' ' || after == '\t' || i + 1 == line.size());
        case '=': return lineStart && lineIs(line, U"= \t");
        case '.':
        case ')': return kind != LineKind::TableCell && i == orderedListMark(line);
        default: return false;
    }
}

// The line's characters, escaped: spaces and tabs that start the line
// become character references (Markdown would drop them or read an
// indented code block), those that end it are dropped.
std::vector<std::string> escapedCharacters(const Line& line, LineKind kind) {
    std::vector<std::string> escaped(line.size());
    size_t trailing = line.size();
    while (trailing > 0 && isSpaceOrTab(line[trailing - 1])) --trailing;
    size_t leading = 0;
    while (leading < trailing && isSpaceOrTab(line[leading])) ++leading;
    LineSyntax syntax = syntaxOf(line, kind);
    for (size_t i = 0; i < line.size(); ++i) {
        const Atom& atom = line[i];
        if (!atom.object.empty()) {
            escaped[i] = atom.object;
        } else if (i >= trailing) {
            continue;  // Markdown drops them anyway
        } else if (i < leading) {
            escaped[i] = atom.c == '\t' ? "&#9;" : "&#32;";
        } else if (needsEscape(line, i, syntax)) {
            escaped[i] = std::string{'\\'} + static_cast<char>(atom.c);
        } else {
            appendUtf8(escaped[i], atom.c == 0 ? ReplacementCharacter : atom.c);
        }
    }
    return escaped;
}

// ---- Emphasis ----

struct Segment {
    size_t begin = 0;
    size_t end = 0;
    uint8_t marks = 0;
};

// Characters of class `moved` take the marks that the characters on both
// sides share (and, with keepOwn, only those they hold themselves), so that
// emphasis never starts or ends next to them.
Line withMarksOutside(Line line, bool (*moved)(const Atom&), bool keepOwn) {
    for (size_t i = 0; i < line.size();) {
        if (!moved(line[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < line.size() && moved(line[end])) ++end;
        uint8_t before = i > 0 ? line[i - 1].marks : 0;
        uint8_t after = end < line.size() ? line[end].marks : 0;
        uint8_t shared = before & after & Delimited;
        for (size_t j = i; j < end; ++j) {
            uint8_t own = line[j].marks;
            line[j].marks = static_cast<uint8_t>((keepOwn ? shared & own : shared) | (own & ~Delimited));
        }
        i = end;
    }
    return line;
}

bool isPunctuationAtom(const Atom& atom) { return atom.object.empty() && isPunctuation(atom.c); }

std::vector<Segment> segmentsOf(const Line& line) {
    std::vector<Segment> segments;
    for (size_t i = 0; i < line.size(); ++i) {
        if (segments.empty() || segments.back().marks != line[i].marks) segments.push_back({i, i, line[i].marks});
        segments.back().end = i + 1;
    }
    return segments;
}

char32_t firstCodePoint(std::string_view text) {
    size_t i = 0;
    return text.empty() ? U' ' : nextCodePoint(text, i);
}

char32_t lastCodePoint(std::string_view text) {
    if (text.empty()) return U' ';
    size_t start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    return firstCodePoint(text.substr(start));
}

// Whether every delimiter run in closers + openers is read as Markdown
// reads it: closers able to close, openers able to open, and neither able
// to do both; except that a lone run of '*' (one mark's, or bold and
// italic together) that can do both (inside a word, or between
// punctuation) is still read as meant unless it could pair with the opener
// of another '*' mark open around it: then it pairs with its own partner.
bool delimitersHold(char32_t before, const std::string& closers, const std::string& openers, char32_t after,
                    bool otherStarMarkOpen) {
    std::string all = closers + openers;
    for (size_t begin = 0; begin < all.size();) {
        size_t end = begin;
        while (end < all.size() && all[end] == all[begin]) ++end;
        bool closing = end <= closers.size();
        if (!closing && begin < closers.size()) return false;  // one run would both close and open
        char32_t previous = begin == 0 ? before : static_cast<char32_t>(all[begin - 1]);
        char32_t next = end == all.size() ? after : static_cast<char32_t>(all[end]);
        bool leftFlanking = !isWhitespace(next) && (!isPunctuation(next) || isWhitespace(previous) || isPunctuation(previous));
        bool rightFlanking = !isWhitespace(previous) && (!isPunctuation(previous) || isWhitespace(next) || isPunctuation(next));
        bool able = closing ? rightFlanking : leftFlanking;
        bool loneStarRun = all[begin] == '*' && end - begin <= 3 && all.size() == end - begin && !otherStarMarkOpen;
        if (!able || (leftFlanking && rightFlanking && !loneStarRun)) return false;
        begin = end;
    }
    return true;
}

std::string joined(const std::vector<std::string>& escaped, const Segment& segment) {
    std::string text;
    for (size_t i = segment.begin; i < segment.end; ++i) text += escaped[i];
    if (segment.marks & Superscript) text = concat({"<sup>", text, "</sup>"});
    if (segment.marks & Subscript) text = concat({"<sub>", text, "</sub>"});
    return text;
}

// How many segments from `from` on carry the mark without a break.
size_t markSpan(const std::vector<Segment>& segments, size_t from, Mark mark) {
    size_t count = 0;
    while (from + count < segments.size() && (segments[from + count].marks & mark)) ++count;
    return count;
}

// A mark open on the line, with the length of the run of '*' it opened in.
struct OpenMark {
    Mark mark;
    size_t stars;
};

// Whether a run of `stars` '*' that can both open and close could pair
// with an open mark's opener rather than its own partner: CommonMark's rule
// of three keeps the two apart only where their lengths add up to a
// multiple of three, as a lone "**" and a lone "*" do.
bool mayPairWithOpenStars(std::span<const OpenMark> open, size_t stars) {
    return std::any_of(open.begin(), open.end(),
                       [&](const OpenMark& m) { return m.stars != 0 && (m.stars + stars) % 3 != 0; });
}

// The length of the run of '*' around `at` in `delimiters`.
size_t starRunAt(std::string_view delimiters, size_t at) {
    size_t begin = at, end = at;
    while (begin > 0 && delimiters[begin - 1] == '*') --begin;
    while (end < delimiters.size() && delimiters[end] == '*') ++end;
    return end - begin;
}

// The line with its emphasis as delimiters; false when some delimiter
// would not be read as meant.
bool writeWithDelimiters(const std::vector<Segment>& segments, const std::vector<std::string>& texts, std::string& out) {
    std::vector<OpenMark> open;
    for (size_t i = 0; i <= segments.size(); ++i) {
        uint8_t wanted = i < segments.size() ? segments[i].marks : 0;
        size_t kept = 0;
        while (kept < open.size() && (wanted & open[kept].mark)) ++kept;
        std::string closers;
        while (open.size() > kept) {
            closers += delimiter(open.back().mark);
            open.pop_back();
        }
        std::vector<Mark> starting;
        for (Mark mark : DelimitedMarks) {
            bool isOpen = std::any_of(open.begin(), open.end(), [&](const OpenMark& m) { return m.mark == mark; });
            if ((wanted & mark) && !isOpen) starting.push_back(mark);
        }
        // The mark that lasts longest opens first, so that it closes last.
        std::stable_sort(starting.begin(), starting.end(), [&](Mark a, Mark b) {
            return markSpan(segments, i, a) > markSpan(segments, i, b);
        });
        size_t before = open.size();
        std::string openers;
        for (Mark mark : starting) {
            openers += delimiter(mark);
            open.push_back({mark, 0});
        }
        for (size_t m = before, at = 0; m < open.size(); at += delimiter(open[m].mark).size(), ++m) {
            if (delimiter(open[m].mark)[0] == '*') open[m].stars = starRunAt(openers, at);
        }
        auto stars = static_cast<size_t>(std::count(closers.begin(), closers.end(), '*') +
                                         std::count(openers.begin(), openers.end(), '*'));
        bool otherStarMark = mayPairWithOpenStars(std::span(open).first(before), stars);
        if (!closers.empty() || !openers.empty()) {
            char32_t after = i < segments.size() ? firstCodePoint(texts[i]) : U' ';
            if (!delimitersHold(lastCodePoint(out), closers, openers, after, otherStarMark)) return false;
            out += closers + openers;
        }
        if (i < segments.size()) out += texts[i];
    }
    return true;
}

bool renderedWithDelimiters(const Line& line, LineKind kind, std::string& out) {
    std::vector<std::string> escaped = escapedCharacters(line, kind);
    std::vector<Segment> segments = segmentsOf(line);
    std::vector<std::string> texts;
    for (const Segment& segment : segments) texts.push_back(joined(escaped, segment));
    out.clear();
    return writeWithDelimiters(segments, texts, out);
}

Line without(Line line, uint8_t marks) {
    for (Atom& atom : line) atom.marks &= static_cast<uint8_t>(~marks);
    return line;
}

// Emphasis as delimiters, moved off the whitespace at its edges; where
// that cannot be read as meant, also off the punctuation at its edges;
// failing that, without the strikethrough, whose ~~ cannot stand inside a
// word; and last the line without emphasis, its text whole.
std::string renderLine(const Line& atoms, LineKind kind = LineKind::Text) {
    Line line = withMarksOutside(atoms, isBlank, false);
    std::string out;
    if (renderedWithDelimiters(line, kind, out)) return out;
    line = withMarksOutside(line, isPunctuationAtom, true);
    if (renderedWithDelimiters(line, kind, out)) return out;
    if (renderedWithDelimiters(without(line, Strike), kind, out)) return out;
    renderedWithDelimiters(without(line, Delimited), kind, out);
    return out;
}

// ---- Paragraphs ----

struct MarkdownWriter {
    ByteSink& out;
    const Document& document;
    const WriteOptions& options;
    std::map<int, std::string> pictures;  // object index -> its Markdown
    // Where the picture files are only listed, not written; or null.
    std::vector<std::filesystem::path>* listedPictures = nullptr;
    bool failed = false;
    bool afterBlock = false;    // a block was written: the next one needs a blank line
    bool afterListItem = false;
};

std::string percentEncoded(std::string_view name) {
    std::string encoded;
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            encoded += hex;
        }
    }
    return encoded;
}

// A path from UTF-8 text, whatever the system's narrow encoding.
std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// Writes a picture file, replacing a regular file of that name (or keeping
// it, when asked to) but never writing through a link or into a device or
// FIFO (which could block). A picture that cannot be stored whole is removed.
bool writeFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes, bool keepExisting) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return false;
    if (keepExisting && std::filesystem::exists(status)) return true;
    int ignored = 0;
    return writeWholeFile(path, bytes, ignored);
}

// The object as Markdown: an image written beside the output or embedded,
// or its label in brackets.
std::string objectMarkdown(MarkdownWriter& writer, int index) {
    if (auto found = writer.pictures.find(index); found != writer.pictures.end()) return found->second;
    bool known = index >= 0 && static_cast<size_t>(index) < writer.document.objects.size();
    ObjectKind kind = known ? writer.document.objects[index].kind : ObjectKind::Other;
    std::string label{objectLabel(kind)};
    std::string markdown = concat({"\\[", label, "\\]"});
    std::vector<uint8_t> png = known ? picturePng(writer.document.objects[index]) : std::vector<uint8_t>{};
    if (!png.empty() && writer.options.picturesAsDataUris) {
        markdown = concat({"![", label, "](", pngDataUri(png), ")"});
    } else if (!png.empty() && !writer.options.pictureFolder.empty()) {
        std::string prefix = writer.options.pictureNamePrefix.empty() ? "picture" : writer.options.pictureNamePrefix;
        std::string name = pngFileName(prefix, index);
        std::filesystem::path picture = pathFromUtf8(writer.options.pictureFolder) / pathFromUtf8(name);
        if (writer.listedPictures != nullptr) {
            writer.listedPictures->push_back(picture);
            markdown = concat({"![", label, "](", percentEncoded(name), ")"});
        } else if (writeFileBytes(picture, png, writer.options.keepExistingPictures)) {
            markdown = concat({"![", label, "](", percentEncoded(name), ")"});
        } else {
            writer.failed = true;
        }
    }
    writer.pictures[index] = markdown;
    return markdown;
}

// The paragraph's lines, split at line breaks; a page break ends a line too
// (`pageBreaks` counts them) and soft hyphens are dropped.
std::vector<Line> linesOf(MarkdownWriter& writer, const Paragraph& paragraph, std::vector<size_t>& pageBreaks) {
    // A heading's own style makes it bold or italic; only what differs is marked.
    uint8_t styleMarks = 0;
    if (headingLevel(writer.document, paragraph) > 0) {
        styleMarks = marksOf(writer.document.styles[paragraph.style].character) & (Strong | Emphasis);
    }
    std::vector<Line> lines(1);
    BulletTabSkipper bulletTab(paragraph.format.bullet.on);
    for (const Run& run : paragraph.runs) {
        uint8_t marks = marksOf(run.format) & ~styleMarks;
        if (run.kind == RunKind::Object) {
            bulletTab.next(run, {});
            lines.back().push_back({U'!', 0, objectMarkdown(writer, run.object)});
            continue;
        }
        std::string_view text = bulletTab.next(run, run.kind == RunKind::Field ? fieldText(run, writer.options) : run.text);
        for (size_t i = 0; i < text.size();) {
            char32_t c = nextCodePoint(text, i);
            if (c == SoftHyphenCharacter) continue;
            if (c == LineBreakCharacter || c == '\n' || c == PageBreakCharacter) {
                if (c == PageBreakCharacter) pageBreaks.push_back(lines.size());
                lines.emplace_back();
                continue;
            }
            lines.back().push_back({c == '\r' ? U' ' : c, marks, {}});
        }
    }
    return lines;
}

void startBlock(MarkdownWriter& writer, bool listItem) {
    if (writer.afterBlock && !(listItem && writer.afterListItem)) put(writer.out, '\n');
    writer.afterBlock = true;
    writer.afterListItem = listItem;
}

// The lines as Markdown; those at the end that show nothing are dropped,
// as a hard line break at a block's end would show as a backslash.
std::vector<std::string> renderedLines(const std::vector<Line>& lines, LineKind kind = LineKind::Text) {
    std::vector<std::string> rendered;
    for (const Line& line : lines) rendered.push_back(renderLine(line, kind));
    while (!rendered.empty() && rendered.back().empty()) rendered.pop_back();
    return rendered;
}

// A block: its lines joined by hard line breaks, behind their prefixes.
void writeBlock(MarkdownWriter& writer, const std::vector<std::string>& lines, bool listItem,
                std::string_view firstPrefix, std::string_view nextPrefix) {
    startBlock(writer, listItem);
    if (lines.empty()) {
        put(writer.out, firstPrefix.substr(0, firstPrefix.find_last_not_of(' ') + 1));
        put(writer.out, '\n');
        return;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        put(writer.out, i == 0 ? firstPrefix : nextPrefix);
        put(writer.out, lines[i]);
        put(writer.out, i + 1 < lines.size() ? "\\\n" : "\n");
    }
}

// A cell of a pipe table: Markdown's punctuation escaped, so that no cell
// ends early or formats what it holds; a line end becomes a space.
std::string tableCell(std::string_view text) {
    std::string cell;
    for (char c : text) {
        if (c == '\n' || c == '\r' || c == '\t') {
            cell += ' ';
            continue;
        }
        if (std::string_view("\\`*_[]<>|&#!~").find(c) != std::string_view::npos) cell += '\\';
        cell += c;
    }
    return cell;
}

// A spreadsheet as a pipe table, its first row the table's head.
void writeTableBlock(MarkdownWriter& writer, const std::vector<std::vector<std::string>>& rows) {
    startBlock(writer, false);
    for (size_t r = 0; r < rows.size(); ++r) {
        std::string line = "|";
        for (const std::string& cell : rows[r]) line += concat({" ", tableCell(cell), " |"});
        put(writer.out, line + "\n");
        if (r > 0) continue;
        std::string rule = "|";
        for (size_t c = 0; c < rows[r].size(); ++c) rule += " --- |";
        put(writer.out, rule + "\n");
    }
}

void writeParagraph(MarkdownWriter& writer, const Paragraph& paragraph);

// A paragraph holding a spreadsheet shown as a table: the text before it,
// the table and the text after it are blocks of their own. False when the
// paragraph holds none.
bool writeAroundTable(MarkdownWriter& writer, const Paragraph& paragraph) {
    for (size_t i = 0; i < paragraph.runs.size(); ++i) {
        const EmbeddedObject* table = tableOf(writer.document, paragraph.runs[i]);
        if (!table) continue;
        Paragraph part = paragraph;
        part.runs.assign(paragraph.runs.begin(), paragraph.runs.begin() + static_cast<std::ptrdiff_t>(i));
        if (!part.runs.empty()) writeParagraph(writer, part);
        writeTableBlock(writer, table->table);
        part.runs.assign(paragraph.runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, paragraph.runs.end());
        if (!part.runs.empty()) writeParagraph(writer, part);
        return true;
    }
    return false;
}

void writeParagraph(MarkdownWriter& writer, const Paragraph& paragraph) {
    if (writeAroundTable(writer, paragraph)) return;
    std::vector<size_t> pageBreaks;
    std::vector<Line> lines = linesOf(writer, paragraph, pageBreaks);
    if (paragraph.format.bullet.on) {
        writeBlock(writer, renderedLines(lines), true, "- ", "  ");
        return;
    }
    if (int level = headingLevel(writer.document, paragraph); level > 0) {
        // A heading is one line.
        Line heading;
        for (const Line& line : lines) {
            if (!heading.empty() && !line.empty()) heading.push_back({U' ', 0, {}});
            heading.insert(heading.end(), line.begin(), line.end());
        }
        std::vector<std::string> rendered = renderedLines({heading}, LineKind::Heading);
        if (!rendered.empty()) writeBlock(writer, rendered, false, std::string(level, '#') + " ", "");
        return;
    }
    // A page break ends the paragraph; what follows is a paragraph of its
    // own. Markdown has no empty paragraphs.
    size_t from = 0;
    pageBreaks.push_back(lines.size());
    for (size_t to : pageBreaks) {
        std::vector<Line> part(lines.begin() + from, lines.begin() + to);
        from = to;
        while (!part.empty() && part.front().empty()) part.erase(part.begin());
        std::vector<std::string> rendered = renderedLines(part);
        if (!rendered.empty()) writeBlock(writer, rendered, false, "", "");
    }
}

// ---- Tables ----

// The paragraph's one line when it can be a row of a table: no heading, no
// bullet, no line or page break, and at least one tab.
std::optional<Line> tableRowLine(MarkdownWriter& writer, const Paragraph& paragraph) {
    if (paragraph.format.bullet.on || headingLevel(writer.document, paragraph) > 0) return std::nullopt;
    std::vector<size_t> pageBreaks;
    std::vector<Line> lines = linesOf(writer, paragraph, pageBreaks);
    if (lines.size() != 1) return std::nullopt;
    if (std::none_of(lines[0].begin(), lines[0].end(), [](const Atom& atom) { return atom.object.empty() && atom.c == '\t'; })) {
        return std::nullopt;
    }
    return std::move(lines[0]);
}

size_t tabsIn(const Line& line) {
    return static_cast<size_t>(std::count_if(line.begin(), line.end(), [](const Atom& a) { return a.object.empty() && a.c == '\t'; }));
}

// One row: each cell's text without the spaces at its edges, between pipes.
std::string tableRow(const Line& line) {
    std::string row = "|";
    size_t begin = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && !(line[i].object.empty() && line[i].c == '\t')) continue;
        size_t from = begin;
        size_t to = i;
        while (from < to && isBlank(line[from])) ++from;
        while (to > from && isBlank(line[to - 1])) --to;
        Line cell(line.begin() + static_cast<std::ptrdiff_t>(from), line.begin() + static_cast<std::ptrdiff_t>(to));
        row += concat({" ", renderLine(cell, LineKind::TableCell), " |"});
        begin = i + 1;
    }
    return row;
}

// The first row heads the table, as a pipe table must have a head.
void writeTable(MarkdownWriter& writer, const std::vector<Line>& rows) {
    startBlock(writer, false);
    std::string delimiterRow = "|";
    for (size_t cell = 0; cell <= tabsIn(rows.front()); ++cell) delimiterRow += " --- |";
    for (size_t i = 0; i < rows.size(); ++i) {
        put(writer.out, tableRow(rows[i]));
        put(writer.out, '\n');
        if (i == 0) put(writer.out, delimiterRow + "\n");
    }
}

// Paragraphs whose columns are set with tabs, as many in each, become a
// table once two or more follow each other; any other paragraph is written
// as it is.
void writeParagraphs(MarkdownWriter& writer, const std::vector<Paragraph>& paragraphs) {
    for (size_t i = 0; i < paragraphs.size();) {
        std::vector<Line> rows;
        size_t next = i;
        while (next < paragraphs.size()) {
            std::optional<Line> row = tableRowLine(writer, paragraphs[next]);
            if (!row || (!rows.empty() && tabsIn(*row) != tabsIn(rows.front()))) break;
            rows.push_back(std::move(*row));
            ++next;
        }
        if (rows.size() >= 2) {
            writeTable(writer, rows);
            i = next;
        } else {
            writeParagraph(writer, paragraphs[i]);
            ++i;
        }
    }
}

// The header and footer with withHeaderFooter, around the body.
void writeDocument(MarkdownWriter& writer) {
    const Document& document = writer.document;
    bool withHeaderFooter = writer.options.withHeaderFooter;
    if (withHeaderFooter && document.header.present) writeParagraphs(writer, document.header.paragraphs);
    writeParagraphs(writer, document.body);
    if (withHeaderFooter && document.footer.present) writeParagraphs(writer, document.footer.paragraphs);
}

}  // namespace

bool writeMarkdown(const Document& document, const WriteOptions& options, ByteSink& out) {
    MarkdownWriter writer{out, document, options, {}};
    writeDocument(writer);
    return finishSink(out) && !writer.failed;
}

std::vector<std::filesystem::path> markdownPictureFiles(const Document& document, const WriteOptions& options) {
    std::vector<std::filesystem::path> listed;
    auto discarded = std::make_unique<ByteSink>();
    MarkdownWriter writer{*discarded, document, options, {}};
    writer.listedPictures = &listed;
    writeDocument(writer);
    return listed;
}

bool writeMarkdown(const Document& document, const WriteOptions& options, std::FILE* output) {
    auto sink = std::make_unique<ByteSink>();
    sink->file = output;
    return writeMarkdown(document, options, *sink);
}

}  // namespace zentoro
