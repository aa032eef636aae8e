// Faults that fuzzing found, each pinned by a document from the builder, so
// that they stay pinned whatever becomes of the fuzz targets' decoding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzz/road_checks.h"
#include "tests/builder/document_builder.h"

namespace zentoro::fuzzing {
namespace {

using namespace zentoro::testing;

// A text section without a text layout section: its text has no formatting
// but is still the document's body.
TEST(FoundByFuzzing, ABodyWithoutATextLayoutKeepsItsText) {
    const std::string text = std::string("First\x06Second, caf\xe9\x06") + "no end";
    std::vector<uint8_t> document = WordDocument().styles(StyleSection{}).text(text).applicationId().build();
    EXPECT_EQ(runFaithfulRoad(document).result, 0);
    EXPECT_EQ(modelText(document), "First\nSecond, caf\xc3\xa9\nno end\n");
}

}  // namespace
}  // namespace zentoro::fuzzing
