// The RTF a large, varied document converts to stays byte for byte what it
// was before the conversion was made faster.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/scaled_document.h"

namespace zentoro {
namespace {

using namespace testing;

uint64_t fnv1a(std::string_view bytes) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 0x100000001b3ULL;
    return hash;
}

// 1,200 paragraphs over all 50 shared formats and 30 styles, own-format
// paragraphs of 1 to 5 phrases, a header and a footer.
TEST(BodyOutput, ScaledDocumentConvertsToTheRecordedBytes) {
    Conversion c = convertBytes(scaledDocument(60000));
    ASSERT_EQ(c.result, 0);
    EXPECT_EQ(c.rtf.size(), 182603u);
    EXPECT_EQ(fnv1a(c.rtf), 17988450588902164368ULL);
}

}  // namespace
}  // namespace zentoro
