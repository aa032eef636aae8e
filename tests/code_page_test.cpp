// Documents of devices sold with other languages' ROMs: their bytes read in
// the code page asked for, by every output of the model and by LibreOffice
// reading the faithful RTF; the default conversion untouched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "convert/convert_to_format.h"
#include "convert/failure_description.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/language_documents.h"
#include "tests/builder/temporary_folder.h"
#include "tests/libreoffice/text_export.h"
#include "tests/support/output_checks.h"

namespace zentoro::testing {
namespace {

namespace fs = std::filesystem;

struct CodePageCase {
    int codePage;
    int rtfCharset;
    std::string textBytes;
    std::string text;
    std::string styleBytes;
    std::string style;
    int bulletByte;
    std::string bullet;
};

const CodePageCase Cases[] = {
    {1250, 238, "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2", "P\u0159\u00edli\u0161 \u017elu\u0165ou\u010dk\u00fd k\u016f\u0148",
     "Nadpis \x8A", "Nadpis \u0160", 0x8A, "\u0160"},
    {1251, 204, "\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5",
     "\u0421\u044a\u0435\u0448\u044c \u0436\u0435 \u0435\u0449\u0451 \u044d\u0442\u0438\u0445",
     "\xC7\xE0\xE3\xEE\xEB\xEE\xE2\xEE\xEA 1", "\u0417\u0430\u0433\u043e\u043b\u043e\u0432\u043e\u043a 1", 0xC6, "\u0416"},
    {1252, 0, "Gr\xF6\xDF" "e \x80 caf\xE9", "Gr\u00f6\u00dfe \u20ac caf\u00e9", "Preis \x80", "Preis \u20ac", 0x80,
     "\u20ac"},
    {1253, 161, "\xC3\xE5\xE9\xDC \xF3\xEF\xF5 \xEA\xFC\xF3\xEC\xE5", "\u0393\u03b5\u03b9\u03ac \u03c3\u03bf\u03c5 \u03ba\u03cc\u03c3\u03bc\u03b5",
     "\xC5\xF0\xE9\xEA\xE5\xF6\xE1\xEB\xDF\xE4\xE1 1", "\u0395\u03c0\u03b9\u03ba\u03b5\u03c6\u03b1\u03bb\u03af\u03b4\u03b1 1", 0xD9, "\u03a9"},
    {1254, 162, "\xC7" "al\xFD\xFEkan \xF6\xF0renci", "\u00c7al\u0131\u015fkan \u00f6\u011frenci", "Ba\xFEl\xFDk 1",
     "Ba\u015fl\u0131k 1", 0xDE, "\u015e"},
    {1257, 186, "\xC0\xFEuolas \xEBjo \xF0ilas", "\u0104\u017euolas \u0117jo \u0161ilas", "Antra\xF0t\xEB 1",
     "Antra\u0161t\u0117 1", 0xD0, "\u0160"},
};

std::vector<uint8_t> documentOf(const CodePageCase& each) {
    return codePageDocument(each.styleBytes, each.styleBytes, each.bulletByte, each.textBytes);
}

std::string converted(OutputFormat format, const std::vector<uint8_t>& document, int codePage) {
    WriteOptions options;
    options.codePage = codePage;
    std::string written;
    ConversionResult result = convertDocumentBytesToString(format, document.data(), document.size(), written, options);
    EXPECT_TRUE(result.succeeded()) << describeFailure(result.failure);
    return written;
}

// The bytes as the faithful RTF writes them in their own code page.
std::string rtfEscaped(const std::string& bytes) {
    static constexpr char Hex[] = "0123456789abcdef";
    std::string escaped;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            escaped += c;
        } else {
            escaped.append("\\'").append(1, Hex[byte >> 4]).append(1, Hex[byte & 0xF]);
        }
    }
    return escaped;
}

TEST(CodePages, EveryFaithfulOutputReadsTheDocumentsCodePage) {
    TemporaryFolder folder("code-pages");
    for (const auto& each : Cases) {
        SCOPED_TRACE(each.codePage);
        std::vector<uint8_t> document = documentOf(each);
        EXPECT_EQ(converted(OutputFormat::Text, document, each.codePage),
                  each.bullet + " " + each.text + "\n" + each.text + "\n");

        std::string html = converted(OutputFormat::Html, document, each.codePage);
        EXPECT_NE(html.find(">" + each.text + "</li>"), std::string::npos) << html;
        EXPECT_NE(html.find("list-style-type: \"" + each.bullet + " \""), std::string::npos) << html;
        std::string htmlPath = folder.path("page.html");
        std::ofstream(htmlPath, std::ios::binary) << html;
        if (std::optional<ToolVerdict> verdict = tidyCheck(htmlPath)) {
            EXPECT_TRUE(verdict->passed) << verdict->messages;
        }
        if (std::optional<ToolVerdict> verdict = html5libCheck(htmlPath)) {
            EXPECT_TRUE(verdict->passed) << verdict->messages;
        }

        EXPECT_NE(converted(OutputFormat::Markdown, document, each.codePage).find("- " + each.text + "\n"), std::string::npos);

        std::string rtf = converted(OutputFormat::RtfFaithful, document, each.codePage);
        std::string header = std::string("{\\rtf1\\ansi\\ansicpg").append(std::to_string(each.codePage)).append("\\deff0");
        // The font, named as its style is, in the font table.
        std::string charset = std::string("\\fcharset").append(std::to_string(each.rtfCharset)).append(" ")
                                  .append(rtfEscaped(each.styleBytes)).append(";}");
        std::string styleName = std::string(" ").append(rtfEscaped(each.styleBytes)).append(";}");
        for (const std::string& piece : {header, charset, styleName, rtfEscaped(each.textBytes)}) {
            EXPECT_NE(rtf.find(piece), std::string::npos) << piece << "\n" << rtf;
        }
        // Read as CP1252, as without the option, the same bytes say something else.
        if (each.codePage != 1252) {
            EXPECT_EQ(converted(OutputFormat::Text, document, 1252).find(each.text), std::string::npos);
        }
    }
}

TEST(CodePages, UnsupportedNumbersReadAsWindows1252) {
    const CodePageCase& western = Cases[2];
    std::vector<uint8_t> document = documentOf(western);
    for (int codePage : {0, 437, 1255, 65001, -1}) {
        EXPECT_EQ(converted(OutputFormat::Text, document, codePage), converted(OutputFormat::Text, document, 1252)) << codePage;
        EXPECT_NE(converted(OutputFormat::RtfFaithful, document, codePage).find("\\ansicpg1252\\"), std::string::npos);
    }
}

// LibreOffice reads what each document says from the faithful RTF.
TEST(CodePages, LibreOfficeReadsTheFaithfulRtfOfEachCodePage) {
    std::optional<fs::path> soffice = findOnPath("soffice");
    if (!soffice) GTEST_SKIP() << "soffice is not installed";
    TemporaryFolder folder("code-pages-readback");
    std::vector<fs::path> files;
    for (const auto& each : Cases) {
        fs::path path = folder.path("cp" + std::to_string(each.codePage) + ".rtf");
        std::ofstream(path, std::ios::binary) << converted(OutputFormat::RtfFaithful, documentOf(each), each.codePage);
        files.push_back(path);
    }
    TextExport run;
    run.soffice = *soffice;
    run.profileDir = folder.path("profile");
    run.outputDir = folder.path("out");
    run.logFile = folder.path("soffice.log");
    exportAsText(run, files);
    for (size_t i = 0; i < files.size(); ++i) {
        std::string text = textOfExport(readFile(exportedTextPath(run, files[i]).string()));
        EXPECT_NE(text.find(Cases[i].text), std::string::npos) << Cases[i].codePage << ": " << text;
    }
}

CommandRun zentoro(const TemporaryFolder& folder, const std::string& arguments) {
    return runIn(folder, "'" ZENTORO_CLI_PATH "' " + arguments);
}

TEST(CodePages, TheCommandLineTakesTheCodePageForTheModelsOutputsOnly) {
    TemporaryFolder folder("code-page-cli");
    const CodePageCase& cyrillic = Cases[1];
    writeFile(folder.path("letter"), documentOf(cyrillic));
    CommandRun text = zentoro(folder, "--code-page=1251 -t text -o - letter");
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, cyrillic.bullet + " " + cyrillic.text + "\n" + cyrillic.text + "\n");

    CommandRun plain = zentoro(folder, "--original -o - letter");
    CommandRun withOption = zentoro(folder, "--original --code-page 1251 -o - letter");
    EXPECT_EQ(withOption.status, 0) << withOption.err;
    EXPECT_EQ(withOption.out, plain.out);  // the original translation is unaffected

    for (const char* wrong : {"--code-page=437", "--code-page=12x", "--code-page=", "--code-page=99999999999"}) {
        CommandRun refused = zentoro(folder, std::string(wrong) + " -t text letter");
        EXPECT_EQ(refused.status, 2) << wrong;
        EXPECT_NE(refused.err.find("unknown code page"), std::string::npos) << wrong << ": " << refused.err;
    }
}

}  // namespace
}  // namespace zentoro::testing
