// The page's conversion against the file conversion the command line runs:
// the same outputs under the same names, and the C entry's handling of what
// the page may pass it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "convert/convert_to_format.h"
#include "convert/output_format.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/sketch_sample.h"
#include "tests/builder/temporary_folder.h"
#include "web/web_conversion.h"
#include "web/web_entry.h"

namespace zentoro {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

std::span<const unsigned char> span(const std::vector<uint8_t>& bytes) { return {bytes.data(), bytes.size()}; }

// What the file conversion writes beside `name` in a fresh folder, by file name.
std::map<std::string, std::string> fileOutputs(OutputFormat format, const std::vector<uint8_t>& document,
                                               const std::string& name) {
    TemporaryFolder folder("web-file-outputs");
    testing::writeFile(folder.path(name), document);
    std::string output = folder.path(name + std::string(outputExtension(format)));
    convertDocumentTo(format, folder.path(name).c_str(), output.c_str());
    std::map<std::string, std::string> outputs;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.root())) {
        std::string file = entry.path().filename().string();
        if (file != name) outputs[file] = testing::readFile(entry.path().string());
    }
    return outputs;
}

std::map<std::string, std::string> pageOutputs(const KindConversion& conversion, const std::string& name) {
    std::map<std::string, std::string> outputs;
    for (const ConvertedFile& file : conversion.files) outputs[name + file.suffix] = file.bytes;
    return outputs;
}

TEST(WebConversion, EveryFormatGivesTheFilesTheCommandLineWrites) {
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> documents = {
        {"sample.wrd", testing::sampleDocument()}, {"sketches.wrd", testing::sketchSampleDocument().bytes}};
    for (const char* formatName : {"rtf-original", "rtf-faithful", "text", "html", "markdown"}) {
        OutputFormat format = *webFormatNamed(formatName);
        for (const auto& [name, document] : documents) {
            TemporaryFolder scratch("web-scratch");
            KindConversion page = convertNamedFile(span(document), "Backup/Letters/" + name, format,
                                                   scratch.root().string());
            ASSERT_TRUE(page.result.succeeded()) << formatName << " " << name;
            EXPECT_EQ(pageOutputs(page, name), fileOutputs(format, document, name)) << formatName << " " << name;
            EXPECT_TRUE(fs::is_empty(scratch.root())) << formatName << " " << name;
        }
    }
}

TEST(WebConversion, SummaryCountsTheDocumentAndItsPictures) {
    TemporaryFolder scratch("web-scratch");
    KindConversion markdown = convertNamedFile(span(testing::sketchSampleDocument().bytes), "s.wrd",
                                               OutputFormat::Markdown, scratch.root().string());
    size_t pictures = testing::sampleSketches().size();
    ASSERT_EQ(markdown.files.size(), pictures + 1);
    std::string summary = "1 document and ";
    summary += std::to_string(pictures);
    EXPECT_EQ(markdown.summary, summary + " pictures");
    // Numbered as written, 1 before 2 (and 9 before 10).
    for (size_t n = 1; n <= pictures; ++n) {
        std::string suffix = "-object";
        suffix += std::to_string(n);
        EXPECT_EQ(markdown.files[n].suffix, suffix + ".png");
    }
    KindConversion html = convertNamedFile(span(testing::sampleDocument()), "s.wrd", OutputFormat::Html, "");
    EXPECT_EQ(html.summary, "1 document");
}

TEST(WebConversion, NamesThatClimbOrNameNothingAreNotUsedForPictures) {
    for (const char* name : {"..", "folder/", ""}) {
        TemporaryFolder scratch("web-scratch");
        KindConversion page = convertNamedFile(span(testing::sketchSampleDocument().bytes), name,
                                               OutputFormat::Markdown, scratch.root().string());
        ASSERT_TRUE(page.result.succeeded()) << name;
        EXPECT_EQ(page.files.at(1).suffix, "-object1.png") << name;
        EXPECT_NE(page.files[0].bytes.find("](document-object1.png)"), std::string::npos) << name;
        EXPECT_TRUE(fs::is_empty(scratch.root())) << name;
    }
}

TEST(WebConversion, DamagedDocumentKeepsWhatEachRoadRecovered) {
    std::vector<uint8_t> cut = testing::sampleDocument();
    cut.resize(cut.size() - 7);
    KindConversion original = convertNamedFile(span(cut), "cut.wrd", OutputFormat::Rtf, "");
    std::string expected;
    ConversionResult direct = convertDocumentBytesToString(OutputFormat::Rtf, cut.data(), cut.size(), expected);
    ASSERT_EQ(direct.failure, Failure::DocumentDamaged);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(original.result.failure, Failure::DocumentDamaged);
    ASSERT_EQ(original.files.size(), 1u);
    EXPECT_EQ(original.files[0].bytes, expected);

    // The faithful road recovers the text whose bytes remain.
    KindConversion faithful = convertNamedFile(span(cut), "cut.wrd", OutputFormat::RtfFaithful, "");
    EXPECT_EQ(faithful.result.failure, Failure::DocumentDamaged);
    ASSERT_EQ(faithful.files.size(), 1u);
    EXPECT_NE(faithful.files[0].bytes.find("\\par"), std::string::npos);
}

TEST(WebConversion, DamagedDocumentThatGaveNothingOffersNoEmptyOutput) {
    std::vector<uint8_t> cut = testing::sampleDocument();
    cut.resize(cut.size() / 2);
    KindConversion original = convertNamedFile(span(cut), "cut.wrd", OutputFormat::Rtf, "");
    EXPECT_EQ(original.result.failure, Failure::DocumentDamaged);
    EXPECT_TRUE(original.files.empty());
    EXPECT_EQ(original.summary, "nothing");
}

TEST(WebEntry, OutcomeOfEachKindOfInput) {
    std::vector<uint8_t> sample = testing::sampleDocument();
    ZentoroOutcome* converted = zentoro_convert(sample.data(), sample.size(), "sample.wrd", "text");
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(zentoro_failure(converted), 0);
    EXPECT_EQ(zentoro_status(converted), ZENTORO_CONVERTED);
    EXPECT_STREQ(zentoro_reason(converted), "");
    ASSERT_EQ(zentoro_file_count(converted), 1u);
    EXPECT_STREQ(zentoro_file_suffix(converted, 0), ".txt");
    std::string text(reinterpret_cast<const char*>(zentoro_file_bytes(converted, 0)), zentoro_file_size(converted, 0));
    std::string expected;
    convertDocumentBytesToString(OutputFormat::Text, sample.data(), sample.size(), expected);
    EXPECT_EQ(text, expected);
    // Past the last file: nothing, never another file's bytes.
    EXPECT_STREQ(zentoro_file_suffix(converted, 1), "");
    EXPECT_EQ(zentoro_file_bytes(converted, 1), nullptr);
    EXPECT_EQ(zentoro_file_size(converted, 1), 0u);
    zentoro_free(converted);

    const unsigned char notDocument[] = "plain text, not a document";
    ZentoroOutcome* refused = zentoro_convert(notDocument, sizeof notDocument, "notes.txt", "rtf-faithful");
    EXPECT_EQ(zentoro_failure(refused), static_cast<int>(Failure::NotWordDocument));
    EXPECT_STREQ(zentoro_reason(refused), "not a Word document");
    EXPECT_EQ(zentoro_status(refused), ZENTORO_NOT_A_DOCUMENT);
    EXPECT_EQ(zentoro_file_count(refused), 0u);
    zentoro_free(refused);

    ZentoroOutcome* empty = zentoro_convert(nullptr, 100, nullptr, "html");
    EXPECT_EQ(zentoro_failure(empty), static_cast<int>(Failure::NotWordDocument));
    zentoro_free(empty);

    ZentoroOutcome* unknown = zentoro_convert(sample.data(), sample.size(), "sample.wrd", "pdf");
    EXPECT_EQ(zentoro_failure(unknown), ZENTORO_UNKNOWN_FORMAT);
    EXPECT_STREQ(zentoro_reason(unknown), "unknown output format");
    EXPECT_EQ(zentoro_status(unknown), ZENTORO_NOT_CONVERTED);
    EXPECT_EQ(zentoro_file_count(unknown), 0u);
    zentoro_free(unknown);
    zentoro_free(nullptr);
}

TEST(WebEntry, DamagedDocumentIsPartlyRecoveredOnlyWhereSomethingCameOut) {
    std::vector<uint8_t> sample = testing::sampleDocument();
    for (auto [cut, format, status] : {std::tuple{sample.size() - 7, "rtf-original", ZENTORO_PARTLY_RECOVERED},
                                       std::tuple{sample.size() - 7, "rtf-faithful", ZENTORO_PARTLY_RECOVERED},
                                       std::tuple{sample.size() / 2, "rtf-original", ZENTORO_NOT_CONVERTED}}) {
        ZentoroOutcome* outcome = zentoro_convert(sample.data(), cut, "cut.wrd", format);
        EXPECT_EQ(zentoro_status(outcome), status) << cut << " " << format;
        EXPECT_EQ(zentoro_failure(outcome), static_cast<int>(Failure::DocumentDamaged));
        EXPECT_STREQ(zentoro_reason(outcome), "the document ends early or points outside itself");
        zentoro_free(outcome);
    }
}

}  // namespace
}  // namespace zentoro
