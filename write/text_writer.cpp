#include "write/text_writer.h"

#include <memory>
#include <string>
#include <vector>

#include "write/bullet_marker.h"
#include "write/field_text.h"
#include "write/object_table.h"
#include "write/picture_data.h"
#include "write/byte_sink.h"
#include "model/code_page.h"
#include "model/device_text.h"

namespace zentoro {

namespace {

void writeCharacters(ByteSink& out, std::string_view text) {
    std::string piece;
    for (size_t i = 0; i < text.size();) {
        char32_t c = nextCodePoint(text, i);
        if (c == SoftHyphenCharacter) continue;
        appendUtf8(piece, c == LineBreakCharacter ? U'\n' : c);
    }
    put(out, piece);
}

void writeRun(ByteSink& out, const Document& document, const Run& run, const WriteOptions& options,
              BulletTabSkipper& bulletTab) {
    switch (run.kind) {
        case RunKind::Text: writeCharacters(out, bulletTab.next(run, run.text)); break;
        case RunKind::Field: writeCharacters(out, bulletTab.next(run, fieldText(run, options))); break;
        case RunKind::Object: {
            bulletTab.next(run, {});
            bool known = run.object >= 0 && static_cast<size_t>(run.object) < document.objects.size();
            put(out, '[');
            put(out, objectLabel(known ? document.objects[run.object].kind : ObjectKind::Other));
            put(out, ']');
            break;
        }
    }
}

// A bulleted paragraph starts with its bullet and a space, which stands for
// the tab that follows the bullet on the device.
void writeBullet(ByteSink& out, const Bullet& bullet) {
    std::string marker;
    appendUtf8(marker, shownBullet(bullet.character));
    marker += ' ';
    put(out, marker);
}

// A spreadsheet as lines of tab-separated cells, on lines of its own; a
// tab or line end inside a cell becomes a space.
void writeTable(ByteSink& out, const std::vector<std::vector<std::string>>& rows) {
    for (const std::vector<std::string>& row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            if (i > 0) line += '\t';
            for (char c : row[i]) line += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
        }
        line += '\n';
        put(out, line);
    }
}

void writeParagraphs(ByteSink& out, const Document& document, const std::vector<Paragraph>& paragraphs,
                     const WriteOptions& options) {
    for (const Paragraph& paragraph : paragraphs) {
        if (paragraph.format.bullet.on) writeBullet(out, paragraph.format.bullet);
        BulletTabSkipper bulletTab(paragraph.format.bullet.on);
        bool lineStarted = false;
        for (const Run& run : paragraph.runs) {
            const EmbeddedObject* table = tableOf(document, run);
            if (!table) {
                writeRun(out, document, run, options, bulletTab);
                lineStarted = true;
                continue;
            }
            if (lineStarted) put(out, '\n');
            writeTable(out, table->table);
            lineStarted = false;
        }
        put(out, '\n');
    }
}

}  // namespace

bool writeText(const Document& document, const WriteOptions& options, ByteSink& out) {
    bool withHeaderFooter = options.withHeaderFooter;
    if (withHeaderFooter && document.header.present) writeParagraphs(out, document, document.header.paragraphs, options);
    writeParagraphs(out, document, document.body, options);
    if (withHeaderFooter && document.footer.present) writeParagraphs(out, document, document.footer.paragraphs, options);
    return finishSink(out);
}

bool writeText(const Document& document, const WriteOptions& options, std::FILE* output) {
    auto sink = std::make_unique<ByteSink>();
    sink->file = output;
    return writeText(document, options, *sink);
}

}  // namespace zentoro
