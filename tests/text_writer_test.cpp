// The plain text writer: the document's characters, one line per paragraph.
#include <gtest/gtest.h>

#include "tests/builder/model_document.h"
#include "write/html_writer.h"
#include "write/markdown_writer.h"
#include "write/text_writer.h"

namespace zentoro::testing {
namespace {

struct CharacterCase {
    const char* name;
    std::string text;
    std::string expected;
};

TEST(TextWriter, WritesTheDevicesCharactersAsPlainText) {
    const CharacterCase cases[] = {
        {"tab", "a\tb", "a\tb\n"},
        {"line break", "one\u2028two", "one\ntwo\n"},
        {"page break", "end\fstart", "end\fstart\n"},
        {"hard space", "10\u00A0kg", "10\u00A0kg\n"},
        {"hard hyphen", "e\u2011mail", "e\u2011mail\n"},
        {"soft hyphen dropped", "hyphen\u00ADation", "hyphenation\n"},
        {"Latin-1 and euro", "caf\u00E9 \u20AC5", "caf\u00E9 \u20AC5\n"},
        {"malformed UTF-8", "a\xFF" "b\xC3", "a\uFFFDb\uFFFD\n"},
        {"overlong, surrogate, past U+10FFFF", "a\xC0\xAF" "b\xED\xA0\x80" "c\xF4\x90\x80\x80",
         "a\uFFFD\uFFFDb\uFFFD\uFFFD\uFFFDc\uFFFD\uFFFD\uFFFD\uFFFD\n"},
        {"beyond the first plane", "\U0001F600", "\U0001F600\n"},
        {"empty paragraph", "", "\n"},
    };
    for (const auto& each : cases) {
        Written written = writtenBy(writeText, modelDocument({paragraph(each.text)}));
        EXPECT_TRUE(written.succeeded) << each.name;
        EXPECT_EQ(written.output, each.expected) << each.name;
    }
}

struct BulletCase {
    const char* name;
    std::string text;
    char32_t bullet;
    std::string expected;
};

TEST(TextWriter, StartsABulletedParagraphWithItsBullet) {
    const BulletCase cases[] = {
        {"the device's tab becomes the space", "\tone", U'\u2022', "\u2022 one\n"},
        {"the document's own bullet", "\tEuro", U'\u20AC', "\u20AC Euro\n"},
        {"no tab to replace", "plain", U'\u2022', "\u2022 plain\n"},
        {"later tabs kept", "\ta\tb", U'\u2022', "\u2022 a\tb\n"},
        {"a bullet that cannot be shown", "\tx", 0, "\u2022 x\n"},
    };
    for (const auto& each : cases) {
        Document document = modelDocument({paragraph(each.text, BulletStyle), paragraph("\tafter")});
        document.body[0].format.bullet.character = each.bullet;
        EXPECT_EQ(writtenBy(writeText, document).output, each.expected + "\tafter\n") << each.name;
    }
    // A picture first: a tab after it is the paragraph's own.
    Document picture = modelDocument({paragraph({objectRun(0), textRun("\tafter")}, BulletStyle)});
    picture.objects = {sketch(2, 2)};
    EXPECT_EQ(writtenBy(writeText, picture).output, "\u2022 [Sketch]\tafter\n");
}

TEST(TextWriter, JoinsRunsAndShowsFieldsAndObjects) {
    Document document = modelDocument({
        paragraph({textRun("plain "), textRun("bold", "b"), textRun(" and "), textRun("up", "^")}),
        paragraph({textRun("Picture: "), objectRun(0), textRun(", table: "), objectRun(1), objectRun(7)}),
        paragraph({textRun("File "), fieldRun(FieldKind::FileName, "old.wrd"), textRun(", page "),
                   fieldRun(FieldKind::PageNumber, "3")}),
    });
    document.objects = {sketch(2, 2), EmbeddedObject{ObjectKind::Spreadsheet}};
    WriteOptions options;
    options.documentName = "letter";
    Written written = writtenBy(writeText, document, options);
    EXPECT_EQ(written.output,
              "plain bold and up\n"
              "Picture: [Sketch], table: [Spreadsheet][Object]\n"
              "File letter, page 3\n");
}

TEST(TextWriter, WritesTheHeaderAndFooterOnlyWhenAsked) {
    Document document = modelDocument({paragraph("Body")});
    document.header = {true, true, {paragraph("Head")}};
    document.footer = {true, true, {paragraph("Foot")}};
    EXPECT_EQ(writtenBy(writeText, document).output, "Body\n");
    WriteOptions options;
    options.withHeaderFooter = true;
    EXPECT_EQ(writtenBy(writeText, document, options).output, "Head\nBody\nFoot\n");
    document.footer.present = false;
    EXPECT_EQ(writtenBy(writeText, document, options).output, "Head\nBody\n");
}

// A file name may hold any bytes; what the writers show of it is UTF-8.
TEST(Writers, ShowAFileNameThatIsNotUtf8AsCharacters) {
    Document document = modelDocument({paragraph({fieldRun(FieldKind::FileName, "old.wrd")})});
    WriteOptions options;
    options.documentName = "caf\xE9 \xED\xA0\x80.wrd";
    for (Writer writer : std::initializer_list<Writer>{writeText, writeHtml, writeMarkdown}) {
        std::string output = writtenBy(writer, document, options).output;
        EXPECT_NE(output.find("caf\uFFFD \uFFFD\uFFFD\uFFFD.wrd"), std::string::npos) << output;
    }
}

TEST(Writers, ReportAFullDeviceAsAFailure) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (full == nullptr) GTEST_SKIP() << "/dev/full is not there";
    Document document = modelDocument({paragraph(std::string(200000, 'x'))});
    for (Writer writer : std::initializer_list<Writer>{writeText, writeHtml, writeMarkdown}) {
        EXPECT_FALSE(writer(document, {}, full));
        std::clearerr(full);
    }
    std::fclose(full);
}

}  // namespace
}  // namespace zentoro::testing
