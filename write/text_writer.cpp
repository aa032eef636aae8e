#include "write/text_writer.h"

#include <string>
#include <vector>

#include "write/field_text.h"
#include "write/picture_data.h"
#include "write/stream_output.h"
#include "write/utf8.h"

namespace zentoro {

namespace {

void writeCharacters(StreamOutput& out, std::string_view text) {
    std::string piece;
    for (size_t i = 0; i < text.size();) {
        char32_t c = nextCodePoint(text, i);
        if (c == SoftHyphenCharacter) continue;
        appendUtf8(piece, c == LineBreakCharacter ? U'\n' : c);
    }
    out.put(piece);
}

void writeRun(StreamOutput& out, const Document& document, const Run& run, const WriteOptions& options) {
    switch (run.kind) {
        case RunKind::Text: writeCharacters(out, run.text); break;
        case RunKind::Field: writeCharacters(out, fieldText(run, options)); break;
        case RunKind::Object: {
            bool known = run.object >= 0 && static_cast<size_t>(run.object) < document.objects.size();
            out.put('[');
            out.put(objectLabel(known ? document.objects[run.object].kind : ObjectKind::Other));
            out.put(']');
            break;
        }
    }
}

void writeParagraphs(StreamOutput& out, const Document& document, const std::vector<Paragraph>& paragraphs,
                     const WriteOptions& options) {
    for (const Paragraph& paragraph : paragraphs) {
        for (const Run& run : paragraph.runs) writeRun(out, document, run, options);
        out.put('\n');
    }
}

}  // namespace

bool writeText(const Document& document, const WriteOptions& options, std::FILE* output) {
    StreamOutput out(output);
    bool withHeaderFooter = options.withHeaderFooter;
    if (withHeaderFooter && document.header.present) writeParagraphs(out, document, document.header.paragraphs, options);
    writeParagraphs(out, document, document.body, options);
    if (withHeaderFooter && document.footer.present) writeParagraphs(out, document, document.footer.paragraphs, options);
    return out.finish();
}

}  // namespace zentoro
