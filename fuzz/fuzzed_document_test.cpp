#include "fuzz/fuzzed_document.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

#include "fuzz/road_checks.h"
#include "tests/support/document_text.h"

namespace zentoro::fuzzing {
namespace {

std::vector<uint8_t> randomInput(std::mt19937& random, size_t size) {
    std::vector<uint8_t> input(size);
    for (uint8_t& byte : input) byte = static_cast<uint8_t>(random());
    return input;
}

std::string_view asText(const std::vector<uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(FuzzedDocument, AnEmptyInputIsASmallWellFormedDocument) {
    FuzzedDocument document = decodeFuzzedDocument({});
    EXPECT_TRUE(document.wellFormed);
    EXPECT_EQ(checkBuiltDocument(document), "");
    EXPECT_EQ(runOriginalRoad(document.bytes).result, 0);
}

// The decoder's own bookkeeping: what it says the text is must be what it
// wrote into the text section, and the same input must give the same bytes.
TEST(FuzzedDocument, WellFormedDocumentsHoldTheTextTheyReport) {
    std::mt19937 random(18);
    int wellFormed = 0;
    int broken = 0;
    for (int i = 0; i < 400; ++i) {
        std::vector<uint8_t> input = randomInput(random, 64 + random() % 960);
        FuzzedDocument document = decodeFuzzedDocument(input);
        EXPECT_EQ(decodeFuzzedDocument(input).bytes, document.bytes);
        if (!document.wellFormed) {
            ++broken;
            continue;
        }
        ++wellFormed;
        EXPECT_EQ(testing::textSectionBytes(asText(document.bytes)), document.bodyText) << "input " << i;
        EXPECT_EQ(checkBuiltDocument(document), "") << "input " << i;
    }
    // Both kinds come out of random inputs often enough to matter.
    EXPECT_GT(wellFormed, 100);
    EXPECT_GT(broken, 100);
}

}  // namespace
}  // namespace zentoro::fuzzing
