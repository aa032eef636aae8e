#include "tests/builder/model_document.h"

#include <utility>

namespace zentoro::testing {

namespace {

Style style(std::string name, CharacterFormat character, ParagraphFormat paragraph = {}) {
    Style made;
    made.name = std::move(name);
    made.character = character;
    made.paragraph = paragraph;
    return made;
}

CharacterFormat styleCharacter(ModelStyle style) {
    CharacterFormat format;
    format.size = 240;
    if (style == Heading1Style || style == Heading2Style) {
        format.font = 1;
        format.size = style == Heading1Style ? 360 : 280;
        format.bold = true;
    }
    return format;
}

ParagraphFormat styleParagraph(ModelStyle style) {
    ParagraphFormat format;
    format.spaceAfter = 120;
    if (style == BulletStyle) {
        format.leftIndent = 360;
        format.firstLineIndent = -360;
        format.bullet.on = true;
        format.bullet.character = 0x2022;
    }
    return format;
}

}  // namespace

CharacterFormat characterFormat(std::string_view letters, ModelStyle style) {
    CharacterFormat format = styleCharacter(style);
    for (char letter : letters) {
        switch (letter) {
            case 'b': format.bold = true; break;
            case 'i': format.italic = true; break;
            case 'u': format.underline = true; break;
            case 's': format.strikethrough = true; break;
            case '^': format.position = VerticalPosition::Superscript; break;
            case ',': format.position = VerticalPosition::Subscript; break;
            default: break;
        }
    }
    return format;
}

Run textRun(std::string text, std::string_view letters, ModelStyle style) {
    Run run;
    run.format = characterFormat(letters, style);
    run.text = std::move(text);
    return run;
}

Run fieldRun(FieldKind kind, std::string expansion) {
    Run run = textRun(std::move(expansion));
    run.kind = RunKind::Field;
    run.field = kind;
    return run;
}

Run objectRun(int object) {
    Run run;
    run.kind = RunKind::Object;
    run.format = styleCharacter(NormalStyle);
    run.object = object;
    return run;
}

Paragraph paragraph(std::vector<Run> runs, ModelStyle style) {
    Paragraph made;
    made.style = style;
    made.format = styleParagraph(style);
    made.markFormat = styleCharacter(style);
    made.runs = std::move(runs);
    return made;
}

Paragraph paragraph(std::string text, ModelStyle style) {
    std::vector<Run> runs;
    if (!text.empty()) runs.push_back(textRun(std::move(text), "", style));
    return paragraph(std::move(runs), style);
}

Document modelDocument(std::vector<Paragraph> body) {
    Document document;
    document.fonts = {{"Times New Roman", FontFamily::Serif}, {"Arial", FontFamily::Swiss}, {"Courier New", FontFamily::Monospaced}};
    for (ModelStyle each : {NormalStyle, Heading1Style, Heading2Style, BulletStyle}) {
        static constexpr const char* Names[] = {"Normal", "Heading 1", "Heading 2", "Bulleted"};
        document.styles.push_back(style(Names[each], styleCharacter(each), styleParagraph(each)));
    }
    document.body = std::move(body);
    return document;
}

EmbeddedObject sketch(int width, int height) {
    EmbeddedObject object;
    object.kind = ObjectKind::Sketch;
    object.displayWidth = width * 15;
    object.displayHeight = height * 15;
    object.picture.width = width;
    object.picture.height = height;
    object.picture.rgb.assign(static_cast<size_t>(width) * height * 3, 0x80);
    return object;
}

Written writtenBy(Writer writer, const Document& document, const WriteOptions& options) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return {};
    Written written;
    written.succeeded = writer(document, options, file);
    long size = std::ftell(file);
    std::rewind(file);
    written.output.resize(size > 0 ? static_cast<size_t>(size) : 0);
    size_t got = std::fread(written.output.data(), 1, written.output.size(), file);
    written.output.resize(got);
    std::fclose(file);
    return written;
}

}  // namespace zentoro::testing
