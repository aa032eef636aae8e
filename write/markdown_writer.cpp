#include "write/markdown_writer.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

enum Mark : uint8_t { Strong = 1, Emphasis = 2, Strike = 4 };
constexpr Mark AllMarks[] = {Strong, Emphasis, Strike};

std::string_view delimiter(Mark mark) {
    switch (mark) {
        case Strong: return "**";
        case Emphasis: return "*";
        case Strike: return "~~";
    }
    return "";
}

std::string_view htmlTag(Mark mark) {
    switch (mark) {
        case Strong: return "strong";
        case Emphasis: return "em";
        case Strike: return "del";
    }
    return "";
}

uint8_t marksOf(const CharacterFormat& format) {
    return (format.bold ? Strong : 0) | (format.italic ? Emphasis : 0) | (format.strikethrough ? Strike : 0);
}

// One character of a line, or an object written as a whole.
struct Atom {
    char32_t c = 0;
    uint8_t marks = 0;
    std::string object;  // the object's Markdown; empty for a character
};
using Line = std::vector<Atom>;

// ---- Character classes, as CommonMark sees them ----

bool isWhitespace(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool isPunctuation(char32_t c) {
    if (c < 0x80) return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || (c >= '{' && c <= '~');
    return c == 0xA1 || c == 0xA7 || c == 0xAB || c == 0xB6 || c == 0xB7 || c == 0xBB || c == 0xBF ||
           (c >= 0x2010 && c <= 0x2027) || (c >= 0x2030 && c <= 0x205E) || (c >= 0x3001 && c <= 0x3003) ||
           (c >= 0x3008 && c <= 0x3011) || (c >= 0xFF01 && c <= 0xFF0F);
}

// Characters that start or end Markdown syntax wherever they stand.
bool alwaysEscaped(char32_t c) {
    return c == '\\' || c == '`' || c == '*' || c == '_' || c == '[' || c == ']' || c == '<' || c == '>' ||
           c == '#' || c == '~' || c == '&' || c == '|';
}

// Characters that start a block (a list item, a setext underline) at the
// start of a line.
bool escapedAtLineStart(char32_t c) { return c == '-' || c == '+' || c == '='; }

bool isSpaceOrTab(const Atom& atom) { return atom.object.empty() && (atom.c == ' ' || atom.c == '\t'); }
bool isBlank(const Atom& atom) { return atom.object.empty() && isWhitespace(atom.c); }

// ---- One line ----

struct Segment {
    size_t begin = 0;
    size_t end = 0;
    uint8_t marks = 0;
};

// Whitespace keeps the marks that the characters on both sides share, so
// that emphasis never starts or ends next to a space.
Line withWhitespaceOutsideEmphasis(Line line) {
    for (size_t i = 0; i < line.size();) {
        if (!isBlank(line[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < line.size() && isBlank(line[end])) ++end;
        uint8_t before = i > 0 ? line[i - 1].marks : 0;
        uint8_t after = end < line.size() ? line[end].marks : 0;
        for (size_t j = i; j < end; ++j) line[j].marks = before & after;
        i = end;
    }
    return line;
}

std::vector<Segment> segmentsOf(const Line& line) {
    std::vector<Segment> segments;
    for (size_t i = 0; i < line.size(); ++i) {
        if (segments.empty() || segments.back().marks != line[i].marks) segments.push_back({i, i, line[i].marks});
        segments.back().end = i + 1;
    }
    return segments;
}

// The line's characters, escaped: spaces and tabs that start the line
// become character references (Markdown would drop them or read an
// indented code block), those that end it are dropped, and what would start
// a block at the line's start is escaped.
std::vector<std::string> escapedCharacters(const Line& line) {
    std::vector<std::string> escaped(line.size());
    size_t trailing = line.size();
    while (trailing > 0 && isSpaceOrTab(line[trailing - 1])) --trailing;
    size_t leading = 0;
    while (leading < trailing && isSpaceOrTab(line[leading])) ++leading;
    // An ordered list marker: up to nine digits and '.' or ')'.
    size_t digits = leading;
    while (digits < line.size() && digits - leading < 10 && line[digits].c >= '0' && line[digits].c <= '9') ++digits;
    bool listNumber = digits > leading && digits - leading <= 9 && digits < line.size() &&
                      (line[digits].c == '.' || line[digits].c == ')');
    for (size_t i = 0; i < line.size(); ++i) {
        const Atom& atom = line[i];
        if (!atom.object.empty()) {
            escaped[i] = atom.object;
        } else if (i >= trailing) {
            continue;  // Markdown drops them anyway
        } else if (i < leading) {
            escaped[i] = atom.c == '\t' ? "&#9;" : "&#32;";
        } else if (alwaysEscaped(atom.c) || (i == leading && leading == 0 && escapedAtLineStart(atom.c)) ||
                   (listNumber && leading == 0 && i == digits)) {
            escaped[i] = std::string{'\\'} + static_cast<char>(atom.c);
        } else {
            appendUtf8(escaped[i], atom.c == 0 ? ReplacementCharacter : atom.c);
        }
    }
    return escaped;
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
// reads it: closers only able to close, openers only able to open.
bool delimitersHold(char32_t before, const std::string& closers, const std::string& openers, char32_t after) {
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
        if (closing ? (!rightFlanking || leftFlanking) : (!leftFlanking || rightFlanking)) return false;
        begin = end;
    }
    return true;
}

std::string joined(const std::vector<std::string>& escaped, const Segment& segment) {
    std::string text;
    for (size_t i = segment.begin; i < segment.end; ++i) text += escaped[i];
    return text;
}

// How many segments from `from` on carry the mark without a break.
size_t markSpan(const std::vector<Segment>& segments, size_t from, Mark mark) {
    size_t count = 0;
    while (from + count < segments.size() && (segments[from + count].marks & mark)) ++count;
    return count;
}

// The line with its emphasis as delimiters; nothing when some delimiter
// would not be read as meant.
bool writeWithDelimiters(const std::vector<Segment>& segments, const std::vector<std::string>& texts, std::string& out) {
    std::vector<Mark> open;
    for (size_t i = 0; i <= segments.size(); ++i) {
        uint8_t wanted = i < segments.size() ? segments[i].marks : 0;
        size_t kept = 0;
        while (kept < open.size() && (wanted & open[kept])) ++kept;
        std::string closers;
        while (open.size() > kept) {
            closers += delimiter(open.back());
            open.pop_back();
        }
        std::vector<Mark> starting;
        for (Mark mark : AllMarks) {
            if ((wanted & mark) && std::find(open.begin(), open.end(), mark) == open.end()) starting.push_back(mark);
        }
        // The mark that lasts longest opens first, so that it closes last.
        std::stable_sort(starting.begin(), starting.end(), [&](Mark a, Mark b) {
            return markSpan(segments, i, a) > markSpan(segments, i, b);
        });
        std::string openers;
        for (Mark mark : starting) {
            openers += delimiter(mark);
            open.push_back(mark);
        }
        if (!closers.empty() || !openers.empty()) {
            char32_t after = i < segments.size() ? firstCodePoint(texts[i]) : U' ';
            if (!delimitersHold(lastCodePoint(out), closers, openers, after)) return false;
            out += closers + openers;
        }
        if (i < segments.size()) out += texts[i];
    }
    return true;
}

std::string writeWithHtml(const std::vector<Segment>& segments, const std::vector<std::string>& texts) {
    std::string out;
    for (size_t i = 0; i < segments.size(); ++i) {
        std::string close;
        for (Mark mark : AllMarks) {
            if (!(segments[i].marks & mark)) continue;
            out.append("<").append(htmlTag(mark)).append(">");
            std::string end = "</";
            end.append(htmlTag(mark)).append(">");
            close.insert(0, end);
        }
        out += texts[i] + close;
    }
    return out;
}

std::string renderLine(const Line& atoms) {
    Line line = withWhitespaceOutsideEmphasis(atoms);
    std::vector<std::string> escaped = escapedCharacters(line);
    std::vector<Segment> segments = segmentsOf(line);
    std::vector<std::string> texts;
    for (const Segment& segment : segments) texts.push_back(joined(escaped, segment));
    std::string out;
    if (writeWithDelimiters(segments, texts, out)) return out;
    return writeWithHtml(segments, texts);
}

// ---- Paragraphs ----

struct MarkdownWriter {
    ByteSink& out;
    const Document& document;
    const WriteOptions& options;
    std::map<int, std::string> pictures;  // object index -> its Markdown
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

// Writes a picture file, replacing a regular file of that name but never
// writing through a link or into a device or FIFO (which could block).
bool writeFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return false;
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
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
        std::string name = concat({prefix, "-", std::to_string(writer.pictures.size() + 1), ".png"});
        if (writeFileBytes(std::filesystem::path(writer.options.pictureFolder) / name, png)) {
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
    for (const Run& run : paragraph.runs) {
        uint8_t marks = marksOf(run.format) & ~styleMarks;
        if (run.kind == RunKind::Object) {
            lines.back().push_back({U'!', 0, objectMarkdown(writer, run.object)});
            continue;
        }
        std::string_view text = run.kind == RunKind::Field ? fieldText(run, writer.options) : run.text;
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
std::vector<std::string> renderedLines(const std::vector<Line>& lines) {
    std::vector<std::string> rendered;
    for (const Line& line : lines) rendered.push_back(renderLine(line));
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
        std::vector<std::string> rendered = renderedLines({heading});
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

void writeParagraphs(MarkdownWriter& writer, const std::vector<Paragraph>& paragraphs) {
    for (const Paragraph& paragraph : paragraphs) writeParagraph(writer, paragraph);
}

}  // namespace

bool writeMarkdown(const Document& document, const WriteOptions& options, ByteSink& out) {
    MarkdownWriter writer{out, document, options, {}};
    if (options.withHeaderFooter && document.header.present) writeParagraphs(writer, document.header.paragraphs);
    writeParagraphs(writer, document.body);
    if (options.withHeaderFooter && document.footer.present) writeParagraphs(writer, document.footer.paragraphs);
    return finishSink(out) && !writer.failed;
}

bool writeMarkdown(const Document& document, const WriteOptions& options, std::FILE* output) {
    auto sink = std::make_unique<ByteSink>();
    sink->file = output;
    return writeMarkdown(document, options, *sink);
}

}  // namespace zentoro
