// Whole documents to text, HTML and Markdown through the library's entry
// point: the text is exactly what the builder put in, the HTML passes a
// strict parser and tidy, and cmark reads the Markdown's words back. The
// same holds for the sample and for every real document in ../shared/corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "convert/convert_to_format.h"
#include "convert/failure_description.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/language_documents.h"
#include "tests/builder/sketch_sample.h"
#include "tests/builder/temporary_folder.h"
#include "tests/support/cp1252.h"
#include "tests/support/document_text.h"
#include "tests/support/output_checks.h"
#include "tests/support/word_comparison.h"

namespace zentoro::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* SampleDocument = ZENTORO_SOURCE_DIR "/examples/sample.wrd";
constexpr const char* CorpusDir = ZENTORO_SOURCE_DIR "/../shared/corpus";

// The document's text as a reader of the plain text must get it, from the
// bytes of its text section: paragraph ends and line breaks as line feeds,
// page breaks as form feeds, both tabs as tabs, the hard hyphen and hard
// space as U+2011 and U+00A0, soft hyphens and other control bytes left
// out, each object as "[Label]" in turn, everything else CP1252.
std::string plainText(std::string_view textBytes, const std::vector<std::string>& objectLabels = {}) {
    std::string text;
    size_t object = 0;
    for (unsigned char byte : textBytes) {
        switch (byte) {
            case 0x06: case 0x07: text += '\n'; break;
            case 0x08: text += '\f'; break;
            case 0x09: case 0x0A: text += '\t'; break;
            case 0x0B: appendUtf8(text, 0x2011); break;
            case 0x0E: text += "[" + (object < objectLabels.size() ? objectLabels[object++] : "?") + "]"; break;
            case 0x0F: text += ' '; break;
            case 0x10: appendUtf8(text, 0xA0); break;
            default:
                if (byte >= 0x20) appendUtf8(text, cp1252CodePoint(byte));
        }
    }
    return text;
}

// A text without what a bulleted paragraph starts with: the bullet and
// space of the text output, or the tab that follows the bullet on the device.
std::string withoutBullets(std::string text) {
    for (size_t at = 0; at < text.size();) {
        for (std::string_view start : {"\u2022 ", "\t"}) {
            if (text.compare(at, start.size(), start) == 0) text.erase(at, start.size());
        }
        size_t end = text.find('\n', at);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return text;
}

std::string converted(OutputFormat format, const std::vector<uint8_t>& document, const WriteOptions& options = {}) {
    std::string written;
    ConversionResult result = convertDocumentBytesToString(format, document.data(), document.size(), written, options);
    EXPECT_TRUE(result.succeeded()) << describeFailure(result.failure);
    return written;
}

// A document of one shared format whose paragraphs hold `lines`.
std::vector<uint8_t> documentOfLines(const std::vector<std::string>& lines) {
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{});
    std::string text;
    for (const std::string& line : lines) {
        text += line + ParagraphEnd;
        layout.paragraphs.push_back(Paragraph{static_cast<uint32_t>(line.size() + 1), 1});
    }
    return WordDocument().styles(StyleSection{}).text(text).textLayout(layout).build();
}

struct BuiltDocument {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<std::string> objectLabels;
};

TEST(DocumentOutputs, TextIsExactlyTheTextTheBuilderPutIn) {
    const BuiltDocument documents[] = {
        {"sample", sampleDocument(), {}},
        {"special characters",
         documentOfLines({"tab\there", "unbreakable\ttab\x0A", "line\x07" "break", "page\x08" "break",
                          "hard\x0Bhyphen", "soft\x0Chyphen", "hard\x10space", "visible\x0Fspace",
                          "CP1252 \x80 \x85 \x93quoted\x94 \xE9\xFF", "", "last"}),
         {}},
        {"sketches", sketchSampleDocument().bytes,
         std::vector<std::string>(sampleSketches().size(), "Sketch")},
    };
    for (const auto& each : documents) {
        std::optional<std::string> textBytes =
            textSectionBytes(std::string_view(reinterpret_cast<const char*>(each.bytes.data()), each.bytes.size()));
        ASSERT_TRUE(textBytes) << each.name;
        std::vector<std::string> labels = each.objectLabels;
        if (std::string_view(each.name) == "sketches") labels.push_back("Spreadsheet");
        EXPECT_EQ(withoutBullets(converted(OutputFormat::Text, each.bytes)), withoutBullets(plainText(*textBytes, labels)))
            << each.name;
    }
}

TEST(DocumentOutputs, TextHasTheHeaderAndFooterOnlyWhenAsked) {
    WriteOptions options;
    options.withHeaderFooter = true;
    std::string with = converted(OutputFormat::Text, sampleDocument(), options);
    std::string without = converted(OutputFormat::Text, sampleDocument());
    EXPECT_EQ(with, "Zentoro sample\n" + without + "Converted from a Psion Series 5\n");
    EXPECT_NE(without.find("\n\u2022 First point\n\u2022 Second point\n"), std::string::npos) << without;
}

TEST(DocumentOutputs, SketchesBecomeImagesAndPngFiles) {
    DocumentWithObjects document = sketchSampleDocument();
    size_t sketches = sampleSketches().size();
    std::string html = converted(OutputFormat::Html, document.bytes);
    size_t images = 0;
    for (size_t at = html.find("<img src=\"data:image/png;base64,"); at != std::string::npos;
         at = html.find("<img src=\"data:image/png;base64,", at + 1)) {
        ++images;
    }
    EXPECT_EQ(images, sketches);

    TemporaryFolder folder("sketch-markdown");
    writeFile(folder.path("sketches.wrd"), document.bytes);
    ConversionResult result = convertDocumentTo(OutputFormat::Markdown, folder.path("sketches.wrd").c_str(),
                                                folder.path("sketches.wrd.md").c_str());
    ASSERT_TRUE(result.succeeded()) << describeFailure(result.failure);
    std::string markdown = readFile(folder.path("sketches.wrd.md"));
    for (size_t n = 1; n <= sketches; ++n) {
        std::string name = "sketches.wrd-object" + std::to_string(n) + ".png";
        EXPECT_NE(markdown.find("![Sketch](" + name + ")"), std::string::npos) << name << "\n" << markdown;
        ASSERT_TRUE(fs::exists(folder.path(name))) << name;
        CommandRun check = runIn(folder, "pngcheck -q '" + name + "'");
        if (check.status == 127) continue;  // pngcheck is not installed
        EXPECT_EQ(check.status, 0) << name << ": " << check.out << check.err;
    }
    // Named after the output without its Markdown extension, whichever it is.
    ASSERT_TRUE(convertDocumentTo(OutputFormat::Markdown, folder.path("sketches.wrd").c_str(),
                                  folder.path("notes.markdown").c_str()).succeeded());
    EXPECT_TRUE(fs::exists(folder.path("notes-object1.png")));
}

struct FailureCase {
    const char* name;
    std::vector<uint8_t> bytes;
    Failure expected;
};

TEST(DocumentOutputs, EveryFormatReportsWhyItFailed) {
    std::vector<uint8_t> truncated = sampleDocument();
    truncated.resize(40);
    const FailureCase cases[] = {
        {"not a Word document", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}, Failure::NotWordDocument},
        {"truncated", truncated, Failure::DocumentDamaged},
    };
    for (const auto& each : cases) {
        for (OutputFormat format : {OutputFormat::RtfFaithful, OutputFormat::Text, OutputFormat::Html, OutputFormat::Markdown}) {
            std::string written;
            ConversionResult result =
                convertDocumentBytesToString(format, each.bytes.data(), each.bytes.size(), written);
            EXPECT_EQ(result.failure, each.expected) << each.name << " to " << outputFormatName(format);
        }
    }
    std::string written;
    std::vector<uint8_t> text{'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(convertDocumentBytesToString(OutputFormat::Rtf, text.data(), text.size(), written).failure,
              Failure::NotWordDocument);
}

TEST(DocumentOutputs, DefaultRtfThroughTheEntryPointIsTheStreamingConversion) {
    std::vector<uint8_t> sample = sampleDocument();
    EXPECT_EQ(converted(OutputFormat::Rtf, sample), convertBytes(sample).rtf);
}

// Damaged documents that the model still reads must write a whole output:
// bytes of the sample and of the sketch sample (spread over about a thousand
// places in each) set to 0 and to 0xFF.
TEST(DocumentOutputs, DamagedDocumentsAreWrittenWholeOrRefused) {
    for (const std::vector<uint8_t>& original : {sampleDocument(), sketchSampleDocument().bytes}) {
        size_t step = std::max<size_t>(1, original.size() / 1000);
        for (size_t at = 0; at < original.size(); at += step) {
            for (uint8_t value : {uint8_t{0}, uint8_t{0xFF}}) {
                std::vector<uint8_t> damaged = original;
                damaged[at] = value;
                for (OutputFormat format : {OutputFormat::Text, OutputFormat::Html, OutputFormat::Markdown}) {
                    std::string written;
                    ConversionResult result =
                        convertDocumentBytesToString(format, damaged.data(), damaged.size(), written);
                    if (result.succeeded() && format == OutputFormat::Html) {
                        ASSERT_TRUE(written.ends_with("</html>\n")) << "byte " << at << " = " << int{value};
                    }
                }
            }
        }
    }
}

// ---- The sample and the real documents ----

std::string without(std::string text, std::string_view piece) {
    for (size_t at; (at = text.find(piece)) != std::string::npos;) text.erase(at, piece.size());
    return text;
}

// The words of a text, without the pipes and rules of a table that a
// CommonMark reader without tables shows as they are.
std::vector<std::string> wordsOutsideTables(std::string_view text) {
    std::vector<std::string> words = splitWords(text);
    std::erase_if(words, [](const std::string& word) { return word.find_first_not_of("|-:") == std::string::npos; });
    return words;
}

// Text equals the document's text; the HTML passes html5lib and tidy and
// its body shows the same words; cmark's and pandoc's renderings of the
// Markdown show the same words.
void checkOutputs(const fs::path& path, const TemporaryFolder& folder) {
    SCOPED_TRACE(path.filename().string());
    std::string bytes = readFile(path.string());
    std::vector<uint8_t> document(bytes.begin(), bytes.end());
    std::optional<std::string> textBytes = textSectionBytes(bytes);
    ASSERT_TRUE(textBytes);
    std::string expected = plainText(*textBytes);
    EXPECT_EQ(withoutBullets(converted(OutputFormat::Text, document)), withoutBullets(expected));
    std::vector<std::string> words = splitWords(expected);

    std::string htmlPath = folder.path(path.filename().string() + ".html");
    ASSERT_TRUE(convertDocumentTo(OutputFormat::Html, path.string().c_str(), htmlPath.c_str()).succeeded());
    std::string html = readFile(htmlPath);
    if (std::optional<ToolVerdict> verdict = html5libCheck(htmlPath)) {
        EXPECT_TRUE(verdict->passed) << verdict->messages;
    }
    if (std::optional<ToolVerdict> verdict = tidyCheck(htmlPath)) {
        EXPECT_TRUE(verdict->passed) << verdict->messages;
    }
    size_t main = html.find("<main>");
    size_t mainEnd = html.find("</main>");
    ASSERT_NE(main, std::string::npos);
    std::string shown = without(visibleText(html.substr(main, mainEnd - main)), "\xC2\xAD");
    EXPECT_EQ(describeWordDifference(words, splitWords(shown)), "") << "HTML";

    std::string markdownPath = folder.path(path.filename().string() + ".md");
    ASSERT_TRUE(convertDocumentTo(OutputFormat::Markdown, path.string().c_str(), markdownPath.c_str()).succeeded());
    // Plain CommonMark knows no strikethrough, so its ~~ stay as they are.
    const std::pair<const char*, std::optional<std::string>> renderings[] = {
        {"cmark", cmarkHtml(markdownPath)}, {"pandoc", pandocHtml(markdownPath)}};
    for (const auto& [renderer, rendered] : renderings) {
        if (!rendered) continue;
        EXPECT_EQ(describeWordDifference(wordsOutsideTables(without(expected, "~~")),
                                         wordsOutsideTables(without(visibleText(*rendered), "~~"))),
                  "")
            << "Markdown read by " << renderer;
    }
}

// The validators that are missing, for the reason of a skip.
std::string missingTools(const TemporaryFolder& folder) {
    std::string probe = folder.path("probe.html");
    std::ofstream(probe) << "<!doctype html><title>t</title>";
    std::string missing;
    if (!html5libCheck(probe)) missing += " python3-html5lib";
    if (!tidyCheck(probe)) missing += " tidy";
    if (!cmarkHtml(probe)) missing += " cmark";
    if (!pandocHtml(probe)) missing += " pandoc";
    return missing;
}

TEST(DocumentOutputs, SampleTextHtmlAndMarkdownHoldItsText) {
    TemporaryFolder folder("outputs-sample");
    checkOutputs(SampleDocument, folder);
    std::string missing = missingTools(folder);
    if (!missing.empty()) GTEST_SKIP() << "only the text was checked; missing:" << missing;
}

// The outline of a document from the German template, as a page's headings
// and as Markdown's, and its list, table and raised characters.
TEST(DocumentOutputs, GermanTemplateKeepsItsOutline) {
    TemporaryFolder folder("outputs-german");
    std::string path = folder.path("Bericht");
    writeFile(path, germanTemplateDocument());
    checkOutputs(path, folder);
    std::string html = converted(OutputFormat::Html, germanTemplateDocument());
    std::string outline;
    for (size_t at = html.find("<h"); at != std::string::npos; at = html.find("<h", at + 1)) {
        if (at + 2 < html.size() && html[at + 2] >= '1' && html[at + 2] <= '6') {
            size_t text = html.find('>', at) + 1;
            outline += html.substr(at + 1, 2) + " " + html.substr(text, html.find('<', text) - text) + "\n";
        }
    }
    EXPECT_EQ(outline, "h1 Jahresbericht 1999\nh2 Ergebnisse\nh3 Verkauf\nh3 Preise\nh2 Anmerkungen\n");
    EXPECT_NE(html.find("<html lang=\"de\">"), std::string::npos);
    EXPECT_NE(html.find("<title>Jahresbericht 1999</title>"), std::string::npos);
    EXPECT_EQ(converted(OutputFormat::Markdown, germanTemplateDocument()),
              "# Jahresbericht 1999\n\nDieser Bericht fasst das Jahr zusammen.\n\n## Ergebnisse\n\n### Verkauf\n\n"
              "- Umsatz gestiegen\n- Neue Kunden in M\u00fcnchen\n- Kosten gesenkt\n\n### Preise\n\n"
              "| Artikel | Preis |\n| --- | --- |\n| Stifte | 1,25 \u20ac |\n| Papier | 4,99 \u20ac |\n\n## Anmerkungen\n\n"
              "Fl\u00e4che in m<sup>2</sup>, Wasser H<sub>2</sub>O und ein **halb**fettes Wort.\n");
    std::string missing = missingTools(folder);
    if (!missing.empty()) GTEST_SKIP() << "only the text was checked; missing:" << missing;
}

TEST(DocumentOutputs, RealDocumentsTextHtmlAndMarkdownHoldTheirText) {
    std::vector<fs::path> documents;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(CorpusDir, error)) {
        if (entry.path().extension() == ".wrd") documents.push_back(entry.path());
    }
    if (documents.empty()) GTEST_SKIP() << "no real documents in " << CorpusDir;
    std::sort(documents.begin(), documents.end());
    TemporaryFolder folder("outputs-corpus");
    for (const fs::path& document : documents) checkOutputs(document, folder);
    std::string missing = missingTools(folder);
    if (!missing.empty()) GTEST_SKIP() << "only the text was checked; missing:" << missing;
}

}  // namespace
}  // namespace zentoro::testing
