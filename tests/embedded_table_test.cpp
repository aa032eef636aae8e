// A spreadsheet embedded in a Word document shows as a table of its cells
// in the faithful outputs: an RTF table that LibreOffice reads back, an HTML
// table, a Markdown pipe table and tab-separated text.
#include <gtest/gtest.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "convert/zentoro.h"
#include "model/read_document.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/kind_builder.h"
#include "tests/builder/model_document.h"
#include "tests/builder/sketch_builder.h"
#include "tests/builder/temporary_folder.h"
#include "tests/libreoffice/text_export.h"
#include "write/faithful_rtf.h"
#include "write/html_writer.h"
#include "write/markdown_writer.h"
#include "write/text_writer.h"

namespace zentoro {
namespace {

using namespace testing;

const std::vector<std::vector<std::string>> ExampleCells = {
    {"Item", "Price", "Count", "Total", "Paid"},
    {"Pens", "1.25", "4", "5", "TRUE"},
    {"Paper, A4", "4.99", "2", "9.98", "FALSE"},
    {"Caf\u00e9 \u20ac", "2", "1", "2", "TRUE"},
    {"", "", "", "", ""},
    {"Date", "2000-01-02", "", "#DIV/0!", ""},
};

std::vector<uint8_t> documentWithSpreadsheet(const Bytes& object) {
    return documentWithObjects({{object, "Sheet", 7200, 2880}}).bytes;
}

Document readSpreadsheetDocument(const Bytes& object) {
    std::vector<uint8_t> bytes = documentWithSpreadsheet(object);
    Document document;
    EXPECT_TRUE(readDocument(bytes, document).succeeded());
    return document;
}

TEST(EmbeddedSpreadsheets, AreReadAsTheirFirstWorksheetsCells) {
    Document document = readSpreadsheetDocument(sheetObject(exampleWorkbook()));
    ASSERT_EQ(document.objects.size(), 1u);
    EXPECT_EQ(document.objects[0].kind, ObjectKind::Spreadsheet);
    EXPECT_EQ(document.objects[0].table, ExampleCells);
}

// A spreadsheet with nothing to show, or too many cells for a page, keeps
// its placeholder.
// A table of more than 65,536 cells, counted from A1 to the last row and
// column used, is left as the placeholder.
TEST(EmbeddedSpreadsheets, KeepThePlaceholderWhenThereIsNoTableToShow) {
    BuiltCell cell = exampleWorkbook().sheets[0].cells[0];
    auto twoCells = [&](uint32_t lastColumn) {
        BuiltCell first = cell, last = cell;
        first.column = lastColumn;
        last.row = 16383;
        return BuiltWorkbook{"Sheet1", {{0, {first, last}}}};
    };
    const struct {
        const char* name;
        BuiltWorkbook workbook;
        bool shown;
    } cases[] = {
        {"empty", BuiltWorkbook{"Sheet1", {{0, {}}}}, false},
        {"16,384 rows of 4 cells", twoCells(3), true},
        {"16,384 rows of 5 cells", twoCells(4), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Document document = readSpreadsheetDocument(sheetObject(c.workbook));
        ASSERT_EQ(document.objects.size(), 1u);
        EXPECT_EQ(document.objects[0].table.size(), c.shown ? 16384u : 0u);
        std::string text = writtenBy(writeText, document).output;
        EXPECT_EQ(text.find("[Spreadsheet]") != std::string::npos, !c.shown) << text.substr(0, 200);
    }
}

TEST(EmbeddedSpreadsheets, AreTablesInEveryWriter) {
    Document document = readSpreadsheetDocument(sheetObject(exampleWorkbook()));
    // A cell's line ends and tabs keep its words apart, and the cell whole.
    document.objects[0].table[1][0] = "one\ttwo\nthree\r\nfour";
    std::string rtf = writtenBy(static_cast<Writer>(writeFaithfulRtf), document).output;
    EXPECT_NE(rtf.find("\\pard\\plain\\intbl Item\\cell Price\\cell Count\\cell Total\\cell Paid\\cell \\row\n"),
              std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\intbl one\\tab two three  four\\cell 1.25\\cell"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.find("[Spreadsheet]"), std::string::npos);
    // Each row's five cells end at equal steps of the shown width.
    std::vector<long> edges;
    for (size_t at = rtf.find("\\cellx"); at != std::string::npos && edges.size() < 5; at = rtf.find("\\cellx", at + 1)) {
        edges.push_back(std::strtol(rtf.c_str() + at + 6, nullptr, 10));
    }
    ASSERT_EQ(edges.size(), 5u) << rtf;
    EXPECT_GE(edges[0], 360);
    for (size_t i = 0; i < edges.size(); ++i) EXPECT_EQ(edges[i], edges[0] * static_cast<long>(i + 1)) << rtf;

    std::string text = writtenBy(writeText, document).output;
    EXPECT_NE(text.find("Object 1: \nItem\tPrice\tCount\tTotal\tPaid\none two three  four\t1.25\t4\t5\tTRUE\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\n\t\t\t\t\nDate\t2000-01-02\t\t#DIV/0!\t\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("[Spreadsheet]"), std::string::npos);

    std::string html = writtenBy(writeHtml, document).output;
    EXPECT_NE(html.find("</p>\n<table class=\"spreadsheet\">\n<tr><td>Item</td><td>Price</td>"), std::string::npos) << html;
    EXPECT_NE(html.find("<tr><td>Date</td><td>2000-01-02</td><td></td><td>#DIV/0!</td><td></td></tr>\n</table>\n<p"),
              std::string::npos)
        << html;

    std::string markdown = writtenBy(writeMarkdown, document).output;
    EXPECT_NE(markdown.find("\n\n| Item | Price | Count | Total | Paid |\n| --- | --- | --- | --- | --- |\n"
                            "| one two three  four | 1.25 | 4 | 5 | TRUE |\n"),
              std::string::npos)
        << markdown;
    EXPECT_NE(markdown.find("| Date | 2000-01-02 |  | \\#DIV/0\\! |  |\n"), std::string::npos) << markdown;
}

// pandoc, reading the Markdown as GitHub's dialect, finds one table of six
// rows and five columns, apart from the bulleted paragraph it is in.
TEST(EmbeddedSpreadsheets, PandocReadsTheMarkdownTable) {
    if (!findOnPath("pandoc")) GTEST_SKIP() << "pandoc is not on the PATH";
    TemporaryFolder folder("embedded-table");
    Document document = readSpreadsheetDocument(sheetObject(exampleWorkbook()));
    document.body.at(0).format.bullet.on = true;
    std::string markdown = writtenBy(writeMarkdown, document).output;
    // A blank line ends the list: without it a table line would continue the item.
    EXPECT_NE(markdown.find("- Object 1:\n\n| Item"), std::string::npos) << markdown;
    writeFile(folder.path("table.md"), std::vector<uint8_t>(markdown.begin(), markdown.end()));
    CommandRun run = runIn(folder, "pandoc -f gfm -t html table.md -o table.html");
    std::string html = readFile(folder.path("table.html"));
    ASSERT_FALSE(html.empty()) << run.err;
    size_t rows = 0, cells = 0;
    for (size_t at = html.find("<tr"); at != std::string::npos; at = html.find("<tr", at + 1)) ++rows;
    for (size_t at = html.find("<td"); at != std::string::npos; at = html.find("<td", at + 1)) ++cells;
    EXPECT_EQ(rows, 6u) << html;
    EXPECT_EQ(cells, 25u) << html;  // the first row is the head's five <th>
    EXPECT_NE(html.find("Paper, A4"), std::string::npos);
    EXPECT_NE(html.find("#DIV/0!"), std::string::npos);
    EXPECT_NE(html.find("<li>Object 1:</li>"), std::string::npos) << html;
}

// LibreOffice reads the faithful RTF back as a table of the same cells.
TEST(EmbeddedSpreadsheets, LibreOfficeReadsTheRtfTable) {
    if (!findOnPath("soffice")) GTEST_SKIP() << "soffice is not on the PATH";
    TemporaryFolder folder("embedded-table-rtf");
    std::vector<uint8_t> bytes = documentWithSpreadsheet(sheetObject(exampleWorkbook()));
    std::string rtf;
    ASSERT_TRUE(convertDocumentFaithfulToString(bytes.data(), bytes.size(), rtf).succeeded());
    writeFile(folder.path("table.rtf"), std::vector<uint8_t>(rtf.begin(), rtf.end()));
    CommandRun run = runIn(folder, "timeout 300 soffice -env:UserInstallation=file://" + folder.path("profile") +
                                       " --headless --convert-to html --outdir . table.rtf");
    std::string html = readFile(folder.path("table.html"));
    ASSERT_FALSE(html.empty()) << run.out << run.err;
    size_t tables = 0;
    for (size_t at = html.find("<table"); at != std::string::npos; at = html.find("<table", at + 1)) ++tables;
    EXPECT_EQ(tables, 1u);
    std::vector<std::vector<std::string>> read;
    for (size_t row = html.find("<tr"); row != std::string::npos; row = html.find("<tr", row + 1)) {
        size_t rowEnd = html.find("</tr>", row);
        read.emplace_back();
        for (size_t cell = html.find("<td", row); cell != std::string::npos && cell < rowEnd;
             cell = html.find("<td", cell + 1)) {
            size_t cellEnd = html.find("</td>", cell);
            std::string text;
            bool inTag = false;
            for (size_t i = cell; i < cellEnd; ++i) {
                if (html[i] == '<') inTag = true;
                if (!inTag && html[i] != '\n' && html[i] != '\r' && html[i] != '\t') text += html[i];
                if (html[i] == '>') inTag = false;
            }
            read.back().push_back(text);
        }
    }
    EXPECT_EQ(read, ExampleCells) << html;
}

}  // namespace
}  // namespace zentoro
