// Text bytes that stand for visible text (unbreakable tab, hard and
// potential hyphens, visible and hard spaces) come out as RTF that every
// reader shows, in the body and in headers and footers alike.
#include <gtest/gtest.h>

#include <string>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

struct TextByteCase {
    char byte;
    std::string rtf;
};

TEST(TextBytes, VisibleTextBytesBecomeTheirRtfInEveryCharacterTable) {
    const TextByteCase cases[] = {
        {UnbreakableTab, "\\tab "}, {HardHyphen, "\\_"}, {PotentialHyphen, "\\-"},
        {VisibleSpace, " "},        {HardSpace, "\\~"},
    };
    for (const TextByteCase& c : cases) {
        // "CG", the byte, "Times" in each of the four places text is written.
        std::string text = std::string("CG") + c.byte + "Times";
        uint32_t length = static_cast<uint32_t>(text.size());
        PageLayoutSection page;
        page.header = HeaderFooter{true, text, {}, {{0, 0, Layer(), {{length, Layer()}}}}};
        page.footer = HeaderFooter{true, text, {}, {{length, 1}}};
        TextLayoutSection layout;
        layout.formats = {SharedFormat{}};
        layout.paragraphs = {Paragraph{length, 1}, Paragraph{length, 0, Layer(), 0, {Phrase{length}}}};
        Conversion converted = convertBytes(
            WordDocument().styles(StyleSection{}).pageLayout(page).text(text + text).textLayout(layout).build());
        EXPECT_EQ(converted.result, 0);
        std::string expected = "CG" + c.rtf + "Times";
        EXPECT_NE(converted.rtf.find("{\\header {\\pard {" + expected + "}}}"), std::string::npos) << converted.rtf;
        EXPECT_NE(converted.rtf.find("{\\footer {\\pard " + expected + "}}"), std::string::npos) << converted.rtf;
        EXPECT_NE(converted.rtf.find("{\\pard " + expected + "}\n"), std::string::npos) << converted.rtf;
        EXPECT_NE(converted.rtf.find("{\\pard {" + expected + "}}"), std::string::npos) << converted.rtf;
    }
}

}  // namespace
}  // namespace zentoro
