// The HTML writer: a page that a strict HTML5 parser accepts, with the
// document's structure and formatting as elements.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/builder/model_document.h"
#include "tests/builder/temporary_folder.h"
#include "tests/support/output_checks.h"
#include "write/html_writer.h"

namespace zentoro::testing {
namespace {

std::string html(const Document& document, const WriteOptions& options = {}) {
    Written written = writtenBy(writeHtml, document, options);
    EXPECT_TRUE(written.succeeded);
    return written.output;
}

// What the page holds between <main> and </main>.
std::string mainPart(const std::string& page) {
    size_t start = page.find("<main>\n");
    size_t end = page.find("</main>");
    if (start == std::string::npos || end == std::string::npos) return page;
    return page.substr(start + 7, end - start - 7);
}

// Everything the writer must get right for a parser at once: every kind of
// paragraph and run, page breaks inside blocks and list items, characters
// that HTML reserves or forbids, and names that could end the style sheet.
Document everything() {
    Document document = modelDocument({
        paragraph("Title words", Heading1Style),
        paragraph({textRun("plain "), textRun("bold", "b"), textRun("italic", "i"), textRun("under", "u"),
                   textRun("struck", "s"), textRun("up", "^"), textRun("down", ","), textRun("all", "biusp")}),
        paragraph("a < b & c > d \"quoted\" 'single'\tafter tab"),
        paragraph("controls \x01\x1F\x7F\u0085\uFDD0\uFFFF end"),
        paragraph("before\fafter page break\f"),
        paragraph("one\u2028two\u2028"),
        paragraph(""),
        paragraph("first item", BulletStyle),
        paragraph("second\fitem", BulletStyle),
        paragraph("Subheading", Heading2Style),
        paragraph({textRun("picture "), objectRun(0), objectRun(1)}),
    });
    document.fonts.push_back({"Evil\" </style><script>x</script>", FontFamily::SansSerif});
    document.styles[BulletStyle].name = "</style> & \"Bullets\"";
    zentoro::Run odd = textRun("odd font");
    odd.format.font = 3;
    odd.format.colour = {255, 0, 0};
    document.body[1].runs.push_back(odd);
    document.body[2].format.alignment = Alignment::Centre;
    document.body[2].format.borders[TopBorder] = {BorderStyle::Double, 30, {0, 0, 255}};
    document.body[2].format.hasBackground = true;
    document.body[2].format.background = {200, 200, 200};
    document.objects = {sketch(4, 3), EmbeddedObject{ObjectKind::Other}};
    document.header = {true, true, {paragraph("Header text")}};
    document.footer = {true, false, {paragraph({textRun("Page "), fieldRun(FieldKind::PageNumber, "1")})}};
    return document;
}

TEST(HtmlWriter, PassesAStrictHtml5ParserAndTidy) {
    TemporaryFolder folder("html");
    std::string path = folder.path("everything.html");
    std::ofstream(path, std::ios::binary) << html(everything(), {"everything.wrd"});
    std::optional<ToolVerdict> html5lib = html5libCheck(path);
    std::optional<ToolVerdict> tidy = tidyCheck(path);
    if (!html5lib && !tidy) GTEST_SKIP() << "neither python3-html5lib nor tidy is installed";
    if (html5lib) {
        EXPECT_TRUE(html5lib->passed) << html5lib->messages;
    }
    if (tidy) {
        EXPECT_TRUE(tidy->passed) << tidy->messages;
    }
}

struct ElementCase {
    const char* name;
    Paragraph paragraph;
    std::string expected;  // the paragraph's element as written
};

TEST(HtmlWriter, WritesFormattingAsElements) {
    zentoro::Run bigger = textRun("big");
    bigger.format.size = 480;
    zentoro::Run biggerBreak = textRun("a\fb");
    biggerBreak.format.size = 480;
    zentoro::Run arial = textRun("sans");
    arial.format.font = 1;
    zentoro::Run notBold = textRun("light", "", Heading1Style);
    notBold.format.bold = false;
    Paragraph centred = paragraph("mid");
    centred.format.alignment = Alignment::Centre;
    Paragraph tinyTabs = paragraph("a\tb");
    tinyTabs.format.defaultTabInterval = 1;
    Paragraph noTabs = paragraph("a\tb");
    noTabs.format.defaultTabInterval = 0;
    Paragraph dashed = paragraph("boxed");
    dashed.format.borders = {Border{BorderStyle::Dashed, 20, Black}, Border{BorderStyle::DotDash, 20, Black},
                             Border{BorderStyle::DotDotDash, 20, Black}, Border{BorderStyle::None, 20, Black}};
    Paragraph orphan = paragraph("no style");
    orphan.style = 99;
    const ElementCase cases[] = {
        {"plain", paragraph("text"), "<p class=\"style-normal\">text</p>"},
        {"bold and italic", paragraph({textRun("a", "b"), textRun("b", "i"), textRun("c", "bi")}),
         "<p class=\"style-normal\"><strong>a</strong><em>b</em><strong><em>c</em></strong></p>"},
        {"underline, strike, super, sub", paragraph({textRun("u", "u"), textRun("s", "s"), textRun("2", "^"), textRun("0", ",")}),
         "<p class=\"style-normal\"><u>u</u><s>s</s><sup>2</sup><sub>0</sub></p>"},
        {"heading is bold by its style", paragraph("Head", Heading1Style), "<h1 class=\"style-heading-1\">Head</h1>"},
        {"not bold in a bold style", paragraph({notBold}, Heading1Style),
         "<h1 class=\"style-heading-1\"><span style=\"font-weight: normal\">light</span></h1>"},
        {"second-level heading", paragraph("Sub", Heading2Style), "<h2 class=\"style-heading-2\">Sub</h2>"},
        {"size differs", paragraph({bigger}), "<p class=\"style-normal\"><span style=\"font-size: 24pt\">big</span></p>"},
        {"font differs", paragraph({arial}),
         "<p class=\"style-normal\"><span style=\"font-family: &quot;Arial&quot;, sans-serif\">sans</span></p>"},
        {"paragraph format differs", centred, "<p class=\"style-normal\" style=\"text-align: center\">mid</p>"},
        {"default tabs of a twip", tinyTabs, "<p class=\"style-normal\" style=\"tab-size: 0.05pt\">"},
        {"no default tabs: the browser's", noTabs, "<p class=\"style-normal\" style=\"tab-size: 8\">"},
        {"style out of range", orphan, "<p style=\""},
        {"a bullet's picture first: the tab after it is the paragraph's own",
         paragraph({objectRun(0), textRun("\tafter")}, BulletStyle), "[Object]</span>\tafter</li>"},
        {"dashed and dotted borders", dashed,
         "border-top: 1pt dashed #000000; border-bottom: 1pt dashed #000000; border-left: 1pt dotted #000000\">"},
        {"empty paragraph keeps its line", paragraph(""), "<p class=\"style-normal\"><br></p>"},
        {"line break", paragraph("a\u2028b"), "<p class=\"style-normal\">a<br>b</p>"},
        {"tab kept", paragraph("a\tb"), "<p class=\"style-normal\">a\tb</p>"},
        {"hard space, soft hyphen", paragraph("a\u00A0b\u00ADc"), "<p class=\"style-normal\">a&nbsp;b&shy;c</p>"},
        {"page break", paragraph("a\fb"),
         "<p class=\"style-normal\">a</p>\n<hr class=\"page-break\">\n<p class=\"style-normal\">b</p>"},
        {"page break inside a bold run", paragraph({textRun("a\fb", "b")}),
         "<p class=\"style-normal\"><strong>a</strong></p>\n<hr class=\"page-break\">\n"
         "<p class=\"style-normal\"><strong>b</strong></p>"},
        {"page break inside a span", paragraph({biggerBreak}),
         "<p class=\"style-normal\"><span style=\"font-size: 24pt\">a</span></p>\n<hr class=\"page-break\">\n"
         "<p class=\"style-normal\"><span style=\"font-size: 24pt\">b</span></p>"},
    };
    for (const auto& each : cases) {
        std::string body = mainPart(html(modelDocument({each.paragraph})));
        EXPECT_NE(body.find(each.expected), std::string::npos) << each.name << "\n" << body;
    }
}

struct HeadingNameCase {
    const char* styleName;
    const char* tag;
};

TEST(HtmlWriter, MakesHeadingsOfHeadingStylesByName) {
    const HeadingNameCase cases[] = {
        {"Heading 1", "<h1 "}, {"heading 3", "<h3 "}, {"HEADING 6", "<h6 "}, {"Koptekst 2", "<h2 "},
        {"\u00dcberschrift 1", "<h1 "}, {"\u00fcBERSCHRIFT 2", "<h2 "}, {"Titre 3", "<h3 "}, {"Kop 4", "<h4 "},
        {"Titolo 5", "<h5 "}, {"T\u00edtulo 6", "<h6 "}, {"Titulo1", "<h1 "},
        {"Heading 7", "<p "},  {"Heading 0", "<p "},  {"Heading", "<p "},    {"Heading 12", "<p "},
        {"Subheading 1", "<p "}, {"Kopf 1", "<p "}, {"Uberschrift 1", "<p "},
    };
    for (const auto& each : cases) {
        Document document = modelDocument({paragraph("x", Heading1Style)});
        document.styles[Heading1Style].name = each.styleName;
        EXPECT_NE(mainPart(html(document)).find(each.tag), std::string::npos) << each.styleName;
    }
}

struct PageCase {
    const char* name;
    Document document;
    std::vector<std::string> present;
    std::vector<std::string> absent;
};

Document withStyleName(Document document, ModelStyle style, const char* name) {
    document.styles[style].name = name;
    return document;
}

Document withBullet(Document document, char32_t character, int32_t leftIndent, int32_t firstLineIndent, bool indent) {
    for (Paragraph& paragraph : document.body) {
        Bullet& bullet = paragraph.format.bullet;
        if (!bullet.on) continue;
        bullet.character = character;
        bullet.indent = indent;
        paragraph.format.leftIndent = leftIndent;
        paragraph.format.firstLineIndent = firstLineIndent;
    }
    return document;
}

Run sized(Run run, int32_t size) {
    run.format.size = size;
    run.format.underline = true;
    return run;
}

Run inFont(Run run, int font) {
    run.format.font = font;
    return run;
}

// What the pages of real documents got wrong, each pinned.
TEST(HtmlWriter, WritesPagesAsTheirAuthorsWouldPublishThem) {
    std::string words;
    for (int i = 0; i < 40; ++i) words += "word" + std::to_string(i) + " ";
    Document emptyHeader = modelDocument({paragraph("body")});
    emptyHeader.header = {true, true, {paragraph("")}};
    emptyHeader.footer = {true, true, {paragraph({fieldRun(FieldKind::PageNumber, "")})}};
    Document oddFont = modelDocument({paragraph({inFont(textRun("x"), 1)})});
    oddFont.fonts[1].name = "Q\"u\\o<t>e&d\x7F";
    const PageCase cases[] = {
        {"a blank run keeps no element of its own",
         modelDocument({paragraph({textRun("a"), sized(textRun("\t"), 480), textRun("b")})}),
         {"<p class=\"style-normal\">a\tb</p>"}, {"<span style=\"font-size: 24pt\">\t", "<u>\t</u>"}},
        {"runs in one font share one span",
         modelDocument({paragraph({inFont(textRun("plain "), 1), inFont(textRun("bold", "b"), 1), inFont(textRun(" end"), 1)})}),
         {"<span style=\"font-family: &quot;Arial&quot;, sans-serif\">plain <strong>bold</strong> end</span>"}, {}},
        {"the document's own bullet", withBullet(modelDocument({paragraph("\tEuro", BulletStyle)}), U'\u20AC', 360, -360, false),
         {"<li class=\"style-bulleted\" style=\"list-style-type: &quot;\u20AC &quot;\">Euro</li>"}, {"list-style-position: outside", "\tEuro"}},
        {"a bullet without indent stays inside the page",
         withBullet(modelDocument({paragraph("\titem", BulletStyle)}), U'\u2022', 0, -360, true),
         {"<li class=\"style-bulleted\" style=\"margin-left: 0pt; text-indent: 0pt\">item</li>"}, {}},
        {"a hanging bullet stands at the first line",
         withBullet(modelDocument({paragraph("\titem", BulletStyle)}), U'\u2022', 720, -360, true),
         {"<li class=\"style-bulleted\" style=\"margin-left: 36pt\">item</li>", "text-indent: -18pt"}, {}},
        {"points keep two decimals",
         withBullet(modelDocument({paragraph("\titem", BulletStyle)}), U'\u2022', 299, -19, true),
         {"margin-left: 14.95pt", "text-indent: -0.95pt"}, {}},
        {"the title is the first heading", modelDocument({paragraph("Intro words"), paragraph("The Heading", Heading2Style)}),
         {"<title>The Heading</title>"}, {}},
        {"a long first paragraph is cut at a word", modelDocument({paragraph(words)}),
         {"<title>word0 word1 word2", "word16 word17\u2026</title>"}, {"word17 \u2026"}},
        {"the language of the style names", withStyleName(modelDocument({paragraph("x")}), Heading1Style, "\u00dcberschrift 1"),
         {"<html lang=\"de\">", ".style-\u00fcberschrift-1 {"}, {"style-berschrift"}},
        {"no language to tell",
         withStyleName(withStyleName(modelDocument({paragraph("x")}), Heading1Style, "Titel"), Heading2Style, "Sub"),
         {"<html lang=\"und\">"}, {}},
        {"an empty header and footer leave no element", emptyHeader, {"<main>"}, {"<header>", "<footer>"}},
        {"spaces and tabs kept, spacing the document's alone", modelDocument({paragraph("a  b\tc")}),
         {"<p class=\"style-normal\">a  b\tc</p>", "p, h1, h2, h3, h4, h5, h6, li { margin: 0; white-space: pre-wrap;"}, {}},
        {"a font name's quotes, backslashes and brackets are escaped in CSS, its controls dropped", oddFont,
         {"font-family: &quot;Q\\22 u\\5c o\\3c t\\3e e\\26 d&quot;, sans-serif"}, {"Q\"", "Q&quot;u"}},
        {"class names keep every letter",
         withStyleName(modelDocument({paragraph("x", Heading2Style)}), Heading2Style, "\u0417\u0430\u0433 \u00e9t\u00e9\u0085!"),
         {"class=\"style-\u0417\u0430\u0433-\u00e9t\u00e9\""}, {"\u0085"}},
        {"class names lower each end of the alphabets",
         withStyleName(modelDocument({paragraph("x", Heading2Style)}), Heading2Style, "AZ az \u00c0\u00de\u00d7"),
         {"class=\"style-az-az-\u00e0\u00fe\u00d7\""}, {}},
    };
    TemporaryFolder folder("html-cases");
    for (const auto& each : cases) {
        std::string page = html(each.document);
        for (const std::string& piece : each.present) EXPECT_NE(page.find(piece), std::string::npos) << each.name << ": " << piece << "\n" << page;
        for (const std::string& piece : each.absent) EXPECT_EQ(page.find(piece), std::string::npos) << each.name << ": " << piece << "\n" << page;
        std::string path = folder.path("case.html");
        std::ofstream(path, std::ios::binary) << page;
        if (std::optional<ToolVerdict> tidy = tidyCheck(path)) {
            EXPECT_TRUE(tidy->passed) << each.name << "\n" << tidy->messages;
        }
    }
}

TEST(HtmlWriter, GroupsNeighbouringBulletsInOneList) {
    std::string body = mainPart(html(modelDocument({
        paragraph("one", BulletStyle), paragraph("two", BulletStyle), paragraph("between"),
        paragraph("three", BulletStyle)})));
    EXPECT_EQ(body,
              "<ul>\n<li class=\"style-bulleted\">one</li>\n<li class=\"style-bulleted\">two</li>\n</ul>\n"
              "<p class=\"style-normal\">between</p>\n"
              "<ul>\n<li class=\"style-bulleted\">three</li>\n</ul>\n");
}

TEST(HtmlWriter, HasAStyleClassForEveryStyleAndATitle) {
    Document document = modelDocument({paragraph(""), paragraph("  First\tWords & more  ")});
    document.styles.push_back(document.styles[NormalStyle]);  // a second "Normal"
    std::string page = html(document);
    for (const char* rule : {".style-normal {", ".style-heading-1 {", ".style-bulleted {", ".style-normal-4 {"}) {
        EXPECT_NE(page.find(rule), std::string::npos) << rule;
    }
    EXPECT_NE(page.find("<title>First Words &amp; more</title>"), std::string::npos);
    // A damaged page set-up falls back to A4's text width (451.3 pt).
    for (int32_t width : {0, -20000, 2000000000}) {
        document.page.width = width;
        EXPECT_NE(html(document).find("body { max-width: 451.3pt;"), std::string::npos) << width;
    }
    WriteOptions named;
    named.documentName = "notes <old>";
    EXPECT_NE(html(modelDocument({}), named).find("<title>notes &lt;old&gt;</title>"), std::string::npos);
}

TEST(HtmlWriter, EmbedsSketchesAsPngAtTheirDocumentSize) {
    Document document = modelDocument({paragraph({objectRun(0), objectRun(1), objectRun(2), objectRun(3)})});
    document.objects = {sketch(4, 3), sketch(0, 0), sketch(4, 3), sketch(4, 3)};
    document.objects[0].displayWidth = 1500;  // 100 px
    document.objects[0].displayHeight = 750;
    document.objects[2].displayWidth = 1;  // shown, if smaller than a pixel
    document.objects[2].displayHeight = 1;
    std::string body = mainPart(html(document));
    EXPECT_NE(body.find("\" alt=\"Sketch\" width=\"1\" height=\"1\" id=\"object3\">"), std::string::npos) << body;
    // Without a size of its own in the document, a picture takes its bitmap's.
    EXPECT_NE(body.find("\" alt=\"Sketch\" width=\"4\" height=\"3\" id=\"object4\">"), std::string::npos) << body;
    EXPECT_NE(body.find("<img src=\"data:image/png;base64,iVBORw0KGgo"), std::string::npos) << body;
    // Named as its PNG file would be (DOCUMENT-object1.png).
    EXPECT_NE(body.find("\" alt=\"Sketch\" width=\"100\" height=\"50\" id=\"object1\">"), std::string::npos) << body;
    EXPECT_NE(body.find("<span class=\"object\">[Sketch]</span>"), std::string::npos) << body;  // nothing to draw
    // A paragraph holding only pictures is not empty: no line of its own after them.
    EXPECT_EQ(body.find("<br>"), std::string::npos) << body;
}

TEST(HtmlWriter, WritesTheHeaderAndFooterAroundTheBody) {
    std::string page = html(everything());
    size_t header = page.find("<header>\n<p class=\"style-normal\">Header text</p>\n</header>");
    size_t body = page.find("<main>");
    size_t footer = page.find("<footer>\n<p class=\"style-normal\">Page 1</p>\n</footer>");
    ASSERT_NE(header, std::string::npos);
    ASSERT_NE(footer, std::string::npos);
    EXPECT_LT(header, body);
    EXPECT_LT(body, footer);
}

}  // namespace
}  // namespace zentoro::testing
