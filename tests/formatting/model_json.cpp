// Prints what the faithful conversion's model holds of a document, as JSON,
// in the terms a word processor shows: per paragraph its alignment, indents
// (where the bullet rule puts them), spacing, tab stops and bullet, per run
// its text and character formatting. The formatting read-back compares
// LibreOffice's reading of the faithful RTF with this.
//
//   faithful_model_json FILE.wrd
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "convert/failure_description.h"
#include "model/code_page.h"
#include "model/read_document.h"

namespace zentoro {
namespace {

void putString(std::string& out, const std::string& utf8) {
    out += '"';
    size_t at = 0;
    while (at < utf8.size()) {
        char32_t c = nextCodePoint(utf8, at);
        if (c == U'"' || c == U'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x2028) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            appendUtf8(out, c);
        }
    }
    out += '"';
}

void putFlag(std::string& out, const char* name, bool value) {
    out += ",\"";
    out += name;
    out += value ? "\":true" : "\":false";
}

void putNumber(std::string& out, const char* name, int64_t value) {
    out += ",\"";
    out += name;
    out += "\":";
    out += std::to_string(value);
}

const char* alignmentName(Alignment a) {
    switch (a) {
        case Alignment::Left: return "left";
        case Alignment::Centre: return "center";
        case Alignment::Right: return "right";
        case Alignment::Justified: return "justify";
    }
    return "left";
}

const char* tabName(TabKind k) {
    switch (k) {
        case TabKind::Left: return "left";
        case TabKind::Centre: return "center";
        case TabKind::Right: return "right";
    }
    return "left";
}

std::string runText(const Document& d, const Run& run) {
    if (run.kind != RunKind::Object) return run.text;
    ObjectKind kind = run.object >= 0 ? d.objects[static_cast<size_t>(run.object)].kind : ObjectKind::Other;
    return kind == ObjectKind::Sketch ? "[Sketch]" : kind == ObjectKind::Spreadsheet ? "[Spreadsheet]" : "[Object]";
}

void putParagraph(std::string& out, const Document& d, const Paragraph& p) {
    const ParagraphFormat& f = p.format;
    int64_t left = f.leftIndent;
    int64_t first = f.firstLineIndent;
    if (f.bullet.on && f.bullet.indent) {
        int64_t firstLine = left + first;
        int64_t bullet = std::min(firstLine, left);
        left = std::max(firstLine, left);
        first = bullet - left;
    }
    out += "{\"align\":\"";
    out += alignmentName(f.alignment);
    out += '"';
    putNumber(out, "left", left);
    putNumber(out, "right", f.rightIndent);
    putNumber(out, "first", first);
    putNumber(out, "before", f.spaceBefore);
    putNumber(out, "after", f.spaceAfter);
    out += ",\"tabs\":[";
    for (size_t i = 0; i < f.tabStops.size(); ++i) {
        if (i) out += ',';
        out += '[';
        out += std::to_string(f.tabStops[i].position);
        out += ",\"";
        out += tabName(f.tabStops[i].kind);
        out += "\"]";
    }
    out += "],\"bullet\":";
    if (f.bullet.on) {
        std::string c;
        appendUtf8(c, f.bullet.character);
        putString(out, c);
    } else {
        out += "null";
    }
    out += ",\"runs\":[";
    for (size_t i = 0; i < p.runs.size(); ++i) {
        const Run& r = p.runs[i];
        if (i) out += ',';
        out += "{\"text\":";
        putString(out, runText(d, r));
        putFlag(out, "field", r.kind == RunKind::Field);
        putFlag(out, "bold", r.format.bold);
        putFlag(out, "italic", r.format.italic);
        putFlag(out, "underline", r.format.underline);
        out += ",\"font\":";
        putString(out, d.fonts[static_cast<size_t>(r.format.font)].name);
        putNumber(out, "size", r.format.size);
        char colour[40];
        std::snprintf(colour, sizeof colour, ",\"colour\":\"#%02x%02x%02x\"", r.format.colour.red, r.format.colour.green,
                      r.format.colour.blue);
        out += colour;
        out += ",\"position\":\"";
        out += r.format.position == VerticalPosition::Superscript ? "super"
               : r.format.position == VerticalPosition::Subscript ? "sub" : "";
        out += '"';
        out += '}';
    }
    out += "]}";
}

void putParagraphs(std::string& out, const Document& d, const char* name, const std::vector<Paragraph>& ps) {
    out += "\"";
    out += name;
    out += "\":[";
    for (size_t i = 0; i < ps.size(); ++i) {
        if (i) out += ",\n";
        putParagraph(out, d, ps[i]);
    }
    out += "]";
}

}  // namespace
}  // namespace zentoro

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: faithful_model_json FILE.wrd\n", stderr);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    zentoro::Document document;
    zentoro::ConversionResult result = zentoro::readDocument(bytes, document);
    if (!result.succeeded()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], zentoro::describeFailure(result.failure));
        return 1;
    }
    std::string out = "{";
    zentoro::putParagraphs(out, document, "body", document.body);
    out += ",\n";
    zentoro::putParagraphs(out, document, "header", document.header.paragraphs);
    out += ",\n";
    zentoro::putParagraphs(out, document, "footer", document.footer.paragraphs);
    out += "}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}
