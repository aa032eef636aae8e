// The limits on what one conversion may write and read: documents built to
// amplify stop at them and fail, while documents far heavier than real ones
// stay well within them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "reader/conversion_limits.h"
#include "reader/header_check.h"
#include "reader/input_readers.h"
#include "rtf/section_dispatch.h"
#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"

namespace zentoro {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr int Converted = 0;
constexpr int Failed = 1;

// Output stops at a buffer flush, so it ends within one buffer of the limit.
constexpr uint64_t OutputBufferSize = sizeof(RtfOutput::buffer);

void expectStoppedAtTheOutputLimit(const std::vector<uint8_t>& document) {
    Conversion c = convertBytes(document);
    EXPECT_EQ(c.result, Failed);
    EXPECT_LE(c.rtf.size(), outputLimitFor(document.size()));
    EXPECT_GT(c.rtf.size() + OutputBufferSize, outputLimitFor(document.size()));
}

TEST(OutputLimit, StyleLayerWrittenForEveryParagraphStopsAndFails) {
    // 17 KB that would write 33 MB.
    expectStoppedAtTheOutputLimit(heavyStyleDocument(1000, 3000, StyleRecords::Writing));
}

TEST(ReadLimit, SilentStyleLayerReadForEveryParagraphStopsAndFails) {
    // 28 KB that would read 32 MB, writing little more than a brace per paragraph.
    std::vector<uint8_t> document = heavyStyleDocument(4000, 4000, StyleRecords::Silent);
    Conversion c = convertBytes(document);
    EXPECT_EQ(c.result, Failed);
    EXPECT_LT(c.rtf.size(), outputLimitFor(document.size()) / 100);  // not the output limit
}

// Thousands of one-character paragraphs, each with a style heavier than any
// real one: about 25 times the input is written, a tenth of the limit's multiple.
TEST(Limits, HeavilyFormattedShortParagraphsStayWithinThem) {
    Layer heavy;
    for (int32_t tab = 1; tab <= 12; ++tab) heavy.tabStop(720 * tab, tab % 4);
    heavy.leftIndent(360).firstLineIndent(-360).spaceBefore(120).spaceAfter(120).keepWithNext(1);
    StyleSection styles;
    styles.styles.push_back(Style{"Heavy", heavy, Layer().bold().italic().fontSize(240).font("Courier New")});
    TextLayoutSection layout;
    layout.formats.push_back(SharedFormat{Layer().alignment(1), 255, Layer().underline()});
    constexpr uint32_t Paragraphs = 10000;
    layout.paragraphs.assign(Paragraphs, Paragraph{2, 1});
    std::string text;
    for (uint32_t i = 0; i < Paragraphs; ++i) text += "x\x06";
    std::vector<uint8_t> document = WordDocument().styles(styles).text(text).textLayout(layout).build();
    Conversion c = convertBytes(document);
    EXPECT_EQ(c.result, Converted);
    EXPECT_LT(c.rtf.size(), OutputBytesPerInputByte / 4 * document.size());
}

TEST(Limits, RepeatedBodiesOfARichDocumentStayWithinThem) {
    Conversion c = convertBytes(repeatedTextLayoutDocument(127));
    EXPECT_EQ(c.result, Converted);
}

// Output and bytes read by the unlimited translation of a document.
struct Cost {
    uint64_t written = 0;
    uint64_t read = 0;
};

Cost costOf(const std::string& bytes) {
    StateOver s(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    StdoutCapture quiet;
    EXPECT_TRUE(checkHeaderUids(s->input));
    translateSections(s.state());
    flushOutput(s->output);
    countBytesRead(s->input);
    return {s->output.bytesWritten, s->input.bytesRead};
}

// Real documents write about twice their size and read each byte about
// three times; the limits are 256 times the size, and more.
TEST(Limits, RealDocumentsStayFarBelowThem) {
    fs::path corpus = fs::path(ZENTORO_SOURCE_DIR) / ".." / "shared" / "corpus";
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus of real documents at " << corpus;
    constexpr uint64_t Margin = 8;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".wrd") continue;
        std::string bytes = readFile(entry.path().string());
        Cost cost = costOf(bytes);
        EXPECT_LT(cost.written, Margin * bytes.size()) << entry.path();
        EXPECT_LT(cost.read, Margin * bytes.size()) << entry.path();
    }
}

}  // namespace
}  // namespace zentoro
