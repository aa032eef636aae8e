// The writers at their boundaries: where a value just crosses a limit, where
// a code point needs four bytes or two UTF-16 units, where a paragraph's
// own formatting differs from its style's, and where an index is one past
// the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/code_page.h"
#include "tests/builder/model_document.h"
#include "tests/builder/temporary_folder.h"
#include "write/byte_sink.h"
#include "write/date_picture.h"
#include "write/faithful_rtf.h"
#include "write/html_writer.h"
#include "write/markdown_writer.h"
#include "write/rtf_text.h"

namespace zentoro::testing {
namespace {

TEST(WriterBoundaries, CodePointsTakeTheirUtf8AndRtfForms) {
    struct Case {
        char32_t codePoint;
        const char* utf8;
        const char* rtf;
    };
    for (const Case& c : {
             Case{0x7F, "\x7F", "\x7F"},
             Case{0x80, "\xC2\x80", "\\u128?"},
             Case{0x7FF, "\xDF\xBF", "\\u2047?"},
             Case{0x800, "\xE0\xA0\x80", "\\u2048?"},
             Case{0xFFFD, "\xEF\xBF\xBD", "\\u-3?"},
             Case{0x10000, "\xF0\x90\x80\x80", "\\u-10240?\\u-9216?"},
             Case{0x1F600, "\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},
             Case{0x10FFFF, "\xF4\x8F\xBF\xBF", "\\u-9217?\\u-8193?"},
         }) {
        std::string utf8;
        appendUtf8(utf8, c.codePoint);
        EXPECT_EQ(utf8, c.utf8) << std::hex << static_cast<uint32_t>(c.codePoint);
        size_t at = 0;
        EXPECT_EQ(nextCodePoint(utf8, at), c.codePoint);
        EXPECT_EQ(at, utf8.size());
        std::string rtf;
        ByteSink sink;
        sink.memory = &rtf;
        writeRtfText(sink, utf8, 1252);
        ASSERT_TRUE(finishSink(sink));
        EXPECT_EQ(rtf, c.rtf) << std::hex << static_cast<uint32_t>(c.codePoint);
    }
}

// A block too large for the buffer is counted against the limit like any
// other bytes: up to the limit it is written, a byte past it is not.
TEST(WriterBoundaries, ABlockLargerThanTheBufferStopsExactlyAtTheSizeLimit) {
    const std::string block(ByteSink{}.buffer.size() + 100, 'x');
    struct Case {
        size_t before;      // bytes written ahead of the block
        uint64_t limit;
        bool limitReached;
    };
    for (const Case& c : {Case{0, block.size(), false}, Case{0, block.size() - 1, true}, Case{10, block.size() + 10, false},
                          Case{10, block.size() + 9, true}, Case{0, 0, false}}) {
        std::string memory;
        auto sink = std::make_unique<ByteSink>();
        sink->memory = &memory;
        sink->sizeLimit = c.limit;
        put(*sink, std::string(c.before, 'a'));
        putBlock(*sink, block);
        EXPECT_EQ(finishSink(*sink), !c.limitReached) << c.before << " then a block, limit " << c.limit;
        EXPECT_EQ(sink->limitReached, c.limitReached) << c.before << " then a block, limit " << c.limit;
        if (!c.limitReached) {
            EXPECT_EQ(memory, std::string(c.before, 'a') + block);
        }
    }
}

TEST(WriterBoundaries, OnlyTimeSeparatorsOneAndTwoAreShown) {
    for (int n = 0; n <= 4; ++n) {
        std::string pattern = "%H%:" + std::to_string(n) + "%T";
        bool shown = datePicture(pattern, "").picture.find(':') != std::string::npos;
        EXPECT_EQ(shown, n == 1 || n == 2) << pattern;
    }
}

std::string html(const Document& document, const WriteOptions& options = {}) {
    Written written = writtenBy(writeHtml, document, options);
    EXPECT_TRUE(written.succeeded);
    return written.output;
}

// Between `open` and the next `close` after it.
std::string between(const std::string& text, const std::string& open, const std::string& close) {
    size_t begin = text.find(open);
    if (begin == std::string::npos) return {};
    begin += open.size();
    return text.substr(begin, text.find(close, begin) - begin);
}

TEST(WriterBoundaries, HtmlAtItsLimits) {
    struct Case {
        const char* name;
        std::function<void(Document&)> change;
        std::function<std::string(const std::string&)> part;  // of the page
        std::string expected;
    };
    auto title = [](const std::string& page) { return between(page, "<title>", "</title>"); };
    auto bodyWidth = [](const std::string& page) { return between(page, "body { max-width: ", ";"); };
    auto firstParagraph = [](const std::string& page) { return between(between(page, "<main>", "</main>"), "<p", ">"); };
    const Case cases[] = {
        {"the head ends before the body", [](Document&) {},
         [](const std::string& page) { return between(page, "</style>\n", "<main>"); }, "</head>\n<body>\n"},
        {"a title of 120 characters", [](Document& d) { d.body = {paragraph(std::string(120, 'a'))}; }, title,
         std::string(120, 'a')},
        {"a longer title is cut at 120 and marked so", [](Document& d) { d.body = {paragraph(std::string(121, 'b'))}; },
         title, std::string(120, 'b') + "\xE2\x80\xA6"},
        {"a text width of an inch is kept",
         [](Document& d) { d.page.width = 1440 + d.page.leftMargin + d.page.rightMargin; }, bodyWidth, "72pt"},
        {"a narrower one falls back to A4's",
         [](Document& d) { d.page.width = 1439 + d.page.leftMargin + d.page.rightMargin; }, bodyWidth, "451.3pt"},
        {"a text width of twenty inches is kept",
         [](Document& d) { d.page.width = 28800 + d.page.leftMargin + d.page.rightMargin; }, bodyWidth, "1440pt"},
        {"a wider one falls back to A4's",
         [](Document& d) { d.page.width = 28801 + d.page.leftMargin + d.page.rightMargin; }, bodyWidth, "451.3pt"},
        {"a left paragraph in a centred style says so",
         [](Document& d) {
             d.styles[NormalStyle].paragraph.alignment = Alignment::Centre;
             d.body = {paragraph("x")};
             d.body[0].format.alignment = Alignment::Left;
         },
         [&](const std::string& page) {
             std::string attributes = firstParagraph(page);
             return attributes.find("text-align: left") != std::string::npos ? "left" : attributes;
         },
         "left"},
        {"exact line spacing is the line's height",
         [](Document& d) {
             d.body = {paragraph("x")};
             d.body[0].format.lineSpacing = 240;
             d.body[0].format.lineSpacingMode = LineSpacingMode::Exactly;
         },
         [&](const std::string& page) {
             std::string height = between(firstParagraph(page), "line-height: ", ";");
             return height.substr(0, height.find('"'));
         },
         "12pt"},
        {"an object index one past the last is no object",
         [](Document& d) {
             d.objects = {sketch(2, 2)};
             d.body = {paragraph({objectRun(1)})};
         },
         [](const std::string& page) { return between(page, "<main>\n<p", "</p>"); }, "[Object]"},
    };
    for (const Case& c : cases) {
        Document document = modelDocument({paragraph("words")});
        c.change(document);
        std::string page = html(document);
        std::string part = c.part(page);
        if (std::string(c.name).find("object") != std::string::npos) {
            EXPECT_NE(part.find(c.expected), std::string::npos) << c.name << "\n" << page;
            EXPECT_EQ(part.find("<img"), std::string::npos) << c.name << "\n" << page;
        } else {
            EXPECT_EQ(part, c.expected) << c.name << "\n" << page;
        }
    }
}

// Picture names go into links percent-encoded: unreserved characters as
// they are, every other byte as %XX.
TEST(WriterBoundaries, PictureNamesArePercentEncodedInLinks) {
    struct Case {
        const char* prefix;
        const char* link;
    };
    TemporaryFolder folder("picture-names");
    for (const Case& c : {Case{"AZaz09-._~", "AZaz09-._~-object1.png"}, Case{"@[`{:", "%40%5B%60%7B%3A-object1.png"},
                          Case{"a b#%", "a%20b%23%25-object1.png"}, Case{"\xC3\xA9", "%C3%A9-object1.png"}}) {
        Document document = modelDocument({paragraph({objectRun(0)})});
        document.objects = {sketch(2, 2)};
        WriteOptions options;
        options.pictureFolder = folder.root().string();
        options.pictureNamePrefix = c.prefix;
        Written written = writtenBy(writeMarkdown, document, options);
        EXPECT_TRUE(written.succeeded) << c.prefix;
        EXPECT_EQ(written.output, "![Sketch](" + std::string(c.link) + ")\n") << c.prefix;
    }
}


// Every \cfN of the faithful RTF names an entry of its colour table, the
// colour of a paragraph's mark too, wherever the paragraph stands.
TEST(WriterBoundaries, EveryColourTheRtfUsesIsInItsColourTable) {
    enum Where { Body, Header, Footer };
    for (Where where : {Body, Header, Footer}) {
        Paragraph marked = paragraph({textRun("text")});
        marked.markFormat.colour = Colour{1, 2, 3};  // nowhere else in the document
        Document document = modelDocument({paragraph("words")});
        if (where == Body) document.body.push_back(marked);
        HeaderFooter& part = where == Header ? document.header : document.footer;
        if (where != Body) {
            part.present = true;
            part.paragraphs = {marked};
        }
        Written written = writtenBy(writeFaithfulRtf, document);
        ASSERT_TRUE(written.succeeded);
        const std::string& rtf = written.output;
        std::string table = between(rtf, "{\\colortbl", "}");
        size_t entries = static_cast<size_t>(std::count(table.begin(), table.end(), ';'));
        EXPECT_NE(table.find("\\red1\\green2\\blue3;"), std::string::npos) << where << ": " << table;
        for (size_t at = rtf.find("\\cf"); at != std::string::npos; at = rtf.find("\\cf", at + 1)) {
            size_t digits = at + 3;
            if (digits >= rtf.size() || !std::isdigit(static_cast<unsigned char>(rtf[digits]))) continue;
            EXPECT_LT(std::stoul(rtf.substr(digits)), entries) << where << ": " << rtf.substr(at, 8);
        }
    }
}

}  // namespace
}  // namespace zentoro::testing
