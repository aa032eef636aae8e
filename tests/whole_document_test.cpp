// Whole documents: the sample's complete RTF, and that no truncation of a
// rich document can hang or crash a conversion.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

// tests/golden/sample.wrd.rtf was reviewed by hand: RTF header, font table,
// a style sheet of four styles (without the bullet style's field), colour
// table and defaults; margins, an italic centred header and a footer;
// landscape A4; a heading, two body paragraphs of bold, italic, underlined,
// grey, struck, raised and lowered phrases with a tab, a line break and
// CP1252 letters; escaped braces and backslash; two bulleted points with
// their SYMBOL fields; a centred grey line; a page break; the closing brace
// and the line feed of the application-id section.
TEST(WholeDocument, SampleConvertsToTheReviewedRtf) {
    std::string output = (std::filesystem::temp_directory_path() /
                          ("zentoro-sample-" + std::to_string(::getpid()) + ".rtf")).string();
    ASSERT_EQ(convertDocument(ZENTORO_SOURCE_DIR "/examples/sample.wrd", output.c_str()), 0);
    std::string rtf = readFile(output);
    std::filesystem::remove(output);
    EXPECT_EQ(rtf, readFile(ZENTORO_SOURCE_DIR "/tests/golden/sample.wrd.rtf"));
}

// The sample's dictionary is its last part and is read to its last byte, so
// every copy cut short fails, converting what it holds.
TEST(WholeDocument, EveryTruncationOfTheSampleFailsQuickly) {
    std::vector<uint8_t> doc = sampleDocument();
    auto started = std::chrono::steady_clock::now();
    for (size_t size = 0; size <= doc.size(); ++size) {
        std::vector<uint8_t> cut(doc.begin(), doc.begin() + static_cast<std::ptrdiff_t>(size));
        Conversion c = convertBytes(cut);
        EXPECT_EQ(c.result, size < doc.size() ? 1 : 0) << size;
    }
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 20.0) << doc.size() << " truncations";
}

TEST(WholeDocument, SampleGroupsBalanceAndTheDocumentIsClosed) {
    Conversion c = convertBytes(sampleDocument());
    int depth = 0;
    for (size_t i = 0; i < c.rtf.size(); ++i) {
        if (c.rtf[i] == '\\') {
            ++i;
        } else if (c.rtf[i] == '{') {
            ++depth;
        } else if (c.rtf[i] == '}') {
            ASSERT_GT(depth, 0) << "group closed at " << i << " was never opened";
            --depth;
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_TRUE(c.rtf.ends_with("}\n"));
}

}  // namespace
}  // namespace zentoro
