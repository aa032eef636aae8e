// Document models assembled in code, for the writers' tests: a paragraph
// reads as its runs, a run as its text and a few formatting letters.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"
#include "write/write_options.h"

namespace zentoro::testing {

// Styles of modelDocument(), by index.
enum ModelStyle { NormalStyle, Heading1Style, Heading2Style, BulletStyle };

// The character format of the style, with formatting letters on top:
// b bold, i italic, u underline, s strikethrough, ^ superscript, , subscript.
CharacterFormat characterFormat(std::string_view letters, ModelStyle style = NormalStyle);

Run textRun(std::string text, std::string_view letters = "", ModelStyle style = NormalStyle);
Run fieldRun(FieldKind kind, std::string expansion);
Run objectRun(int object);

// A paragraph in the style's own formatting.
Paragraph paragraph(std::vector<Run> runs, ModelStyle style = NormalStyle);
Paragraph paragraph(std::string text, ModelStyle style = NormalStyle);

// Fonts Times New Roman, Arial and Courier New; styles Normal, Heading 1,
// Heading 2 and Bulleted (with a bullet).
Document modelDocument(std::vector<Paragraph> body);

// A sketch whose picture is `width` by `height` pixels of grey.
EmbeddedObject sketch(int width, int height);

using Writer = bool (*)(const Document&, const WriteOptions&, std::FILE*);

struct Written {
    bool succeeded = false;
    std::string output;
};

// What the writer writes for the document.
Written writtenBy(Writer writer, const Document& document, const WriteOptions& options = {});

}  // namespace zentoro::testing
