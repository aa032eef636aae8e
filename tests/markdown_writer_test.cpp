// The Markdown writer: what it writes, and what cmark reads in it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>

#include "tests/builder/model_document.h"
#include "tests/builder/temporary_folder.h"
#include "tests/support/output_checks.h"
#include "write/markdown_writer.h"

namespace zentoro::testing {
namespace {

std::string markdown(const Document& document, const WriteOptions& options = {}) {
    Written written = writtenBy(writeMarkdown, document, options);
    EXPECT_TRUE(written.succeeded);
    return written.output;
}

struct MarkdownCase {
    const char* name;
    std::vector<Paragraph> body;
    std::string expected;
};

TEST(MarkdownWriter, WritesBlocksAndEmphasis) {
    const MarkdownCase cases[] = {
        {"paragraphs", {paragraph("one"), paragraph(""), paragraph("two")}, "one\n\ntwo\n"},
        {"headings", {paragraph("Top", Heading1Style), paragraph("Next", Heading2Style)}, "# Top\n\n## Next\n"},
        {"emphasis", {paragraph({textRun("a "), textRun("bold", "b"), textRun(", "), textRun("it", "i"), textRun(" "), textRun("gone", "s")})},
         "a **bold**, *it* ~~gone~~\n"},
        {"spaces move outside emphasis", {paragraph({textRun("a"), textRun(" bold words ", "b"), textRun("b")})},
         "a **bold words** b\n"},
        {"nested emphasis", {paragraph({textRun("all ", "b"), textRun("of ", "bi"), textRun("it", "b")})}, "**all *of* it**\n"},
        {"emphasis ending together", {paragraph({textRun("x "), textRun("bold ", "b"), textRun("both", "bi")})},
         "x **bold *both***\n"},
        {"emphasis inside a word", {paragraph({textRun("in"), textRun("side", "b"), textRun("word")})},
         "in**side**word\n"},
        {"bullets", {paragraph("one", BulletStyle), paragraph("two", BulletStyle), paragraph("after")},
         "- one\n- two\n\nafter\n"},
        {"empty bullet", {paragraph("", BulletStyle)}, "-\n"},
        {"line breaks", {paragraph("one\u2028two\u2028")}, "one\\\ntwo\n"},
        {"nothing after the last break", {paragraph("one\u2028 \t\u2028"), paragraph(" ", Heading1Style)}, "one\n"},
        {"line break in a bullet", {paragraph("one\u2028two", BulletStyle)}, "- one\\\n  two\n"},
        {"page break ends the paragraph", {paragraph("one\ftwo")}, "one\n\ntwo\n"},
        {"syntax escaped", {paragraph("*a* _b_ `c` [d](e) <f> ~h~ &amp; \\*j")},
         "\\*a\\* \\_b\\_ \\`c\\` [d\\](e) \\<f> \\~h\\~ \\&amp; \\\\\\*j\n"},
        {"block starts escaped", {paragraph("- no list"), paragraph("+ no"), paragraph("1. no"), paragraph("2) no"),
                                  paragraph("==="), paragraph("123456789012. fine"), paragraph("#### four"),
                                  paragraph("> quote"), paragraph("[x]: /url"), paragraph("+"), paragraph("+1")},
         "\\- no list\n\n\\+ no\n\n1\\. no\n\n2\\) no\n\n\\===\n\n123456789012. fine\n\n\\#### four\n\n"
         "\\> quote\n\n\\[x]: /url\n\n\\+\n\n+1\n"},
        {"leading spaces kept, trailing dropped", {paragraph("    code? \t")}, "&#32;&#32;&#32;&#32;code?\n"},
        {"soft hyphen dropped", {paragraph("hy\u00ADphen")}, "hyphen\n"},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(markdown(modelDocument(each.body)), each.expected) << each.name;
    }
}

// What the Markdown of real documents did wrong: raw HTML for emphasis that
// safe-mode renderers drop, tab entities after bullets, lost raised and
// lowered characters, collapsed tab tables, and escapes nothing needed.
TEST(MarkdownWriter, WritesWhatEveryRendererKeeps) {
    const MarkdownCase cases[] = {
        {"the bullet's tab is the marker's gap", {paragraph("\tone", BulletStyle), paragraph("\t\ttwo", BulletStyle)},
         "- one\n- &#9;two\n"},
        {"superscript and subscript", {paragraph({textRun("m"), textRun("2", "^"), textRun(" H"), textRun("2", ","), textRun("O")})},
         "m<sup>2</sup> H<sub>2</sub>O\n"},
        {"bold part of a word", {paragraph({textRun("halb", "b"), textRun("fett")})}, "**halb**fett\n"},
        {"italic end of a word", {paragraph({textRun("Haupt"), textRun("sache", "i")})}, "Haupt*sache*\n"},
        {"emphasis starting at punctuation in a word", {paragraph({textRun("foo"), textRun(".bar", "i"), textRun("baz")})},
         "foo.*bar*baz\n"},
        {"struck inside a word loses only the stroke", {paragraph({textRun("ab"), textRun("cd", "s"), textRun("ef")})},
         "abcdef\n"},
        {"bold and struck inside a word keeps the bold", {paragraph({textRun("ab"), textRun("cd", "bs"), textRun("ef")})},
         "ab**cd**ef\n"},
        {"nothing to escape", {paragraph("C# and F# cost 1.5 \u20AC, a < b, a * b, snake_case, AT&T, [x] #1 ~ 2 a|b")},
         "C# and F# cost 1.5 \u20AC, a < b, a * b, snake_case, AT&T, [x] #1 ~ 2 a|b\n"},
        {"a name longer than any character reference's", {paragraph("&" + std::string(34, 'a') + ";")},
         "&" + std::string(34, 'a') + ";\n"},
        {"heading ending in hashes", {paragraph("C #", Heading1Style)}, "# C \\#\n"},
        {"tab table", {paragraph("Item\tPrice"), paragraph("Pens\t1.25"), paragraph("Paper\t4.99 *")},
         "| Item | Price |\n| --- | --- |\n| Pens | 1.25 |\n| Paper | 4.99 * |\n"},
        {"table cells with pipes, emphasis and empty cells", {paragraph({textRun("a|b\t"), textRun("bold", "b")}), paragraph("\tc")},
         "| a\\|b | **bold** |\n| --- | --- |\n|  | c |\n"},
        {"uneven tabs stay as they are", {paragraph("a\tb"), paragraph("c\td\te")}, "a\tb\n\nc\td\te\n"},
        {"a lone tabbed line is no table", {paragraph("a\tb"), paragraph("plain")}, "a\tb\n\nplain\n"},
        {"a heading is no table row", {paragraph("Item\tPrice", Heading1Style), paragraph("Pens\t1.25"), paragraph("Ink\t2")},
         "# Item\tPrice\n\n| Pens | 1.25 |\n| --- | --- |\n| Ink | 2 |\n"},
        {"a dash and a tab start no list", {paragraph("-\tdone")}, "\\-\tdone\n"},
        {"emphasis ending in blanks at the line's end", {paragraph({textRun("say "), textRun("hello ", "b")}),
                                                           paragraph({textRun("say "), textRun("hello\t", "i")})},
         "say **hello**\n\nsay *hello*\n"},
        {"emphasis moved off punctuation at both edges, the line's end too", {paragraph({textRun("foo"), textRun(".bar.", "b")})},
         "foo.**bar**.\n"},
        {"plain punctuation between bold words stays plain",
         {paragraph({textRun("a", "b"), textRun("."), textRun("b.", "b"), textRun("c")})}, "**a**.**b**.c\n"},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(markdown(modelDocument(each.body)), each.expected) << each.name;
    }
}

// Emphasis starting at punctuation inside a word opens after it, for every
// range of characters CommonMark counts as punctuation, at both its ends.
TEST(MarkdownWriter, MovesEmphasisOffPunctuationOfEveryRange) {
    for (std::string mark : {"\u00A1", "\u00BF", "\u2010", "\u2027", "\u2030", "\u205E", "\u3001", "\u3003", "\u3008",
                             "\u3011", "\uFF01", "\uFF0F"}) {
        Document document = modelDocument({paragraph({textRun("foo"), textRun(mark + "bar", "i"), textRun("baz")})});
        EXPECT_EQ(markdown(document), "foo" + mark + "*bar*baz\n") << mark;
    }
}

struct CmarkCase {
    const char* name;
    std::vector<Paragraph> body;
    std::string text;                 // what the rendering shows
    std::vector<std::string> marks;   // elements it must hold
};

// cmark, in safe mode too, and pandoc are the judges: whatever the writer
// escapes or emphasises, each rendering shows the document's own text with
// the emphasis meant.
TEST(MarkdownWriter, CmarkAndPandocReadTheTextAndEmphasisBack) {
    const CmarkCase cases[] = {
        {"emphasis", {paragraph({textRun("a "), textRun("bold", "b"), textRun(" "), textRun("it", "i")})},
         "a bold it", {"<strong>bold</strong>", "<em>it</em>"}},
        {"punctuation inside emphasis", {paragraph({textRun("("), textRun("quoted.", "b"), textRun(")x")})},
         "(quoted.)x", {"<strong>quoted.</strong>"}},
        {"emphasis after punctuation in a word", {paragraph({textRun("foo"), textRun(".bar", "i"), textRun("baz")})},
         "foo.barbaz", {}},
        {"bold to italic", {paragraph({textRun("bold", "b"), textRun("it", "i")})}, "boldit", {}},
        {"bold italic", {paragraph({textRun("both", "bi")})}, "both", {"<strong>", "<em>"}},
        {"every syntax character", {paragraph("*_`[]<>#~&|\\!()-+=.0123456789 &amp; &#32; <b> http://x")},
         "*_`[]<>#~&|\\!()-+=.0123456789 &amp; &#32; <b> http://x", {}},
        {"a backslash before punctuation at each end of its ranges",
         {paragraph("\\!\\/\\:\\@\\[\\`\\{\\~ \\a")}, "\\!\\/\\:\\@\\[\\`\\{\\~ \\a", {}},
        {"line starts", {paragraph("- a\u2028+ b\u2028# c\u2028> d\u20281. e\u2028===\u2028---\u2028```")},
         "- a\n+ b\n# c\n> d\n1. e\n===\n---\n```", {"<br />"}},
        {"indented lines", {paragraph("\tone\u2028    two")}, "\tone\n    two", {}},
        {"bullet holding a list marker", {paragraph("- nested?", BulletStyle), paragraph("1. no", BulletStyle)},
         "- nested?\n1. no", {"<li>- nested?</li>", "<li>1. no</li>"}},
        {"heading with hashes", {paragraph("# C# #", Heading1Style)}, "# C# #", {"<h1>"}},
        {"emphasis inside words", {paragraph({textRun("halb", "b"), textRun("fett und "), textRun("Haupt"), textRun("sache", "i")})},
         "halbfett und Hauptsache", {"<strong>halb</strong>fett", "Haupt<em>sache</em>"}},
        {"italic inside a bold word", {paragraph({textRun("ab", "b"), textRun("c", "bi"), textRun("d", "b")})},
         "abcd", {"<strong>ab<em>c</em>d</strong>"}},
        {"bold inside an italic word", {paragraph({textRun("ab", "i"), textRun("c", "bi"), textRun("d", "i")})},
         "abcd", {"<em>ab<strong>c</strong>d</em>"}},
        {"bold italic inside a word", {paragraph({textRun("ab"), textRun("c", "bi"), textRun("d")})},
         "abcd", {"ab<em><strong>c</strong></em>d"}},
        {"bold opened with italic, closed and reopened inside its word",
         {paragraph({textRun("ab", "bi"), textRun("c.", "i"), textRun("(d", "bi"), textRun("e", "i"), textRun(" f")})},
         "abc.(de f", {}},
        {"emphasis at punctuation inside a word", {paragraph({textRun("foo"), textRun(".bar", "i"), textRun("baz")})},
         "foo.barbaz", {"<em>bar</em>"}},
        {"unescaped look-alikes", {paragraph("C# a * b snake_case AT&T [x] a|b ~ 2 1.5 a < b #1\u2028#2")},
         "C# a * b snake_case AT&T [x] a|b ~ 2 1.5 a < b #1\n#2", {}},
        {"link and reference look-alikes", {paragraph("[x]: /u"), paragraph("see [a](b) and ![i](j) <http://x> &copy;")},
         "[x]: /u\nsee [a](b) and ![i](j) <http://x> &copy;", {}},
    };
    TemporaryFolder folder("markdown");
    std::string missing;
    for (const auto& each : cases) {
        std::string path = folder.path("case.md");
        std::ofstream(path, std::ios::binary) << markdown(modelDocument(each.body));
        const std::pair<const char*, std::optional<std::string>> renderings[] = {
            {"cmark", cmarkHtml(path)}, {"cmark in safe mode", cmarkHtml(path, true)}, {"pandoc", pandocHtml(path)}};
        for (const auto& [renderer, rendered] : renderings) {
            if (!rendered) {
                if (missing.find(renderer) == std::string::npos) missing += std::string(" ") + renderer;
                continue;
            }
            std::string text = visibleText(*rendered);
            while (!text.empty() && text.back() == '\n') text.pop_back();
            EXPECT_EQ(text, each.text) << each.name << " (" << renderer << ")\n" << *rendered;
            for (const std::string& mark : each.marks) {
                EXPECT_NE(rendered->find(mark), std::string::npos) << each.name << " (" << renderer << "): " << mark << "\n" << *rendered;
            }
        }
    }
    if (!missing.empty()) GTEST_SKIP() << "not installed:" << missing;
}

// The letters of a rendered paragraph, each with the emphasis around it
// ('b' strong, 'i' emphasis).
std::vector<std::pair<char, std::string>> emphasisedLetters(std::string_view html) {
    std::vector<std::pair<char, std::string>> letters;
    int strong = 0, emphasis = 0;
    for (size_t at = 0; at < html.size(); ++at) {
        if (html[at] == '<') {
            size_t end = html.find('>', at);
            std::string_view tag = html.substr(at, end - at + 1);
            strong += tag == "<strong>" ? 1 : tag == "</strong>" ? -1 : 0;
            emphasis += tag == "<em>" ? 1 : tag == "</em>" ? -1 : 0;
            at = end;
        } else if (std::isalpha(static_cast<unsigned char>(html[at]))) {
            letters.emplace_back(html[at], std::string(strong > 0 ? "b" : "") + (emphasis > 0 ? "i" : ""));
        }
    }
    return letters;
}

// Bold and italic stretches of every length, nested, overlapping and
// broken by punctuation inside words: cmark shows each paragraph's letters
// with no emphasis the document lacks, and most with all of theirs (where
// the emphasis cannot be written as meant, the writer leaves it out).
TEST(MarkdownWriter, CmarkReadsRandomEmphasisAsMeant) {
    const std::string_view characters = "abcde abcde .,()!?";
    const char* const marks[] = {"", "b", "i", "bi"};
    uint32_t seed = 12345;
    auto next = [&](uint32_t below) {
        seed = seed * 1103515245 + 12345;
        return (seed >> 16) % below;
    };
    std::vector<Paragraph> body;
    std::vector<std::vector<std::pair<char, std::string>>> meant;
    for (int p = 0; p < 300; ++p) {
        std::vector<zentoro::Run> runs = {textRun("x ")};
        meant.push_back({{'x', ""}});
        for (uint32_t r = 0, count = 1 + next(6); r < count; ++r) {
            std::string text;
            for (uint32_t c = 0, length = 1 + next(4); c < length; ++c) text += characters[next(characters.size())];
            const char* mark = marks[next(4)];
            for (char c : text) {
                if (std::isalpha(static_cast<unsigned char>(c))) meant.back().emplace_back(c, mark);
            }
            runs.push_back(textRun(text, mark));
        }
        body.push_back(paragraph(runs));
    }
    TemporaryFolder folder("markdown");
    std::string path = folder.path("random.md");
    std::ofstream(path, std::ios::binary) << markdown(modelDocument(body));
    std::optional<std::string> html = cmarkHtml(path);
    if (!html) GTEST_SKIP() << "cmark is not installed";
    size_t kept = 0, letters = 0, at = 0;
    for (size_t p = 0; p < meant.size(); ++p) {
        size_t begin = html->find("<p>", at), end = html->find("</p>", begin);
        ASSERT_NE(end, std::string::npos) << "paragraph " << p << " of " << *html;
        std::vector<std::pair<char, std::string>> shown = emphasisedLetters(std::string_view(*html).substr(begin, end - begin));
        at = end;
        ASSERT_EQ(shown.size(), meant[p].size()) << html->substr(begin, end - begin);
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].first, meant[p][i].first) << html->substr(begin, end - begin);
            for (char mark : shown[i].second) {
                EXPECT_NE(meant[p][i].second.find(mark), std::string::npos) << html->substr(begin, end - begin);
            }
            kept += shown[i].second == meant[p][i].second;
        }
        letters += shown.size();
    }
    EXPECT_GT(kept, letters * 3 / 5);
}

TEST(MarkdownWriter, WritesPicturesBesideTheOutputOrAsDataUris) {
    Document document = modelDocument({paragraph({textRun("see "), objectRun(0), objectRun(1), objectRun(0)})});
    document.objects = {sketch(3, 2), EmbeddedObject{ObjectKind::Spreadsheet}};
    EXPECT_EQ(markdown(document), "see \\[Sketch\\]\\[Spreadsheet\\]\\[Sketch\\]\n");  // nowhere to put them
    TemporaryFolder folder("pictures");
    WriteOptions beside;
    beside.pictureFolder = folder.root().string();
    beside.pictureNamePrefix = "my notes";
    EXPECT_EQ(markdown(document, beside),
              "see ![Sketch](my%20notes-object1.png)\\[Spreadsheet\\]![Sketch](my%20notes-object1.png)\n");
    EXPECT_TRUE(std::filesystem::exists(folder.path("my notes-object1.png")));
    EXPECT_FALSE(std::filesystem::exists(folder.path("my notes-object2.png")));

    WriteOptions embedded;
    embedded.picturesAsDataUris = true;
    EXPECT_NE(markdown(document, embedded).find("see ![Sketch](data:image/png;base64,iVBORw0KGgo"), std::string::npos);

    WriteOptions unwritable = beside;
    unwritable.pictureFolder = folder.path("missing/folder");
    EXPECT_FALSE(writtenBy(writeMarkdown, document, unwritable).succeeded);

    // Never through a link, nor into a FIFO, which would block.
    std::filesystem::remove(folder.path("my notes-object1.png"));
    std::filesystem::create_symlink("elsewhere.png", folder.path("my notes-object1.png"));
    EXPECT_FALSE(writtenBy(writeMarkdown, document, beside).succeeded);
    EXPECT_FALSE(std::filesystem::exists(folder.path("elsewhere.png")));
    std::filesystem::remove(folder.path("my notes-object1.png"));
    ASSERT_EQ(::mkfifo(folder.path("my notes-object1.png").c_str(), 0600), 0);
    EXPECT_FALSE(writtenBy(writeMarkdown, document, beside).succeeded);
}

}  // namespace
}  // namespace zentoro::testing
