// Layer strings: a length byte n, n - 1 characters and a trailing byte, all
// counted, also where the input ends inside the string.
#include <gtest/gtest.h>

#include <string>

#include "rtf/attribute_layer.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

TEST(LayerString, ReadsTheCharactersAndReturnsTheTrailingByte) {
    StateOver s(Bytes().layerString("Arial", 0x2A).u8(0x55).data);
    EXPECT_EQ(readLayerString(s.state(), s->fontName).screenFont, 0x2A);
    EXPECT_EQ(std::string(s->fontName.data()), "Arial");
    EXPECT_EQ(s->layerBytesRead, 7u);

    StateOver empty(Bytes().u8(1).u8(9).data);
    EXPECT_EQ(readLayerString(empty.state(), empty->fontName).screenFont, 9);
    EXPECT_EQ(std::string(empty->fontName.data()), "");
}

TEST(LayerString, CharactersPastTheEndReadAsEndOfFileAndAreCounted) {
    StateOver s(Bytes().u8(6).text("Ar").data);
    EXPECT_EQ(readLayerString(s.state(), s->fontName).screenFont, -1);
    EXPECT_EQ(std::string(s->fontName.data()), std::string("Ar") + std::string(3, '\xFF'));
    EXPECT_EQ(s->layerBytesRead, 1u + 5u + 1u);
}

}  // namespace
}  // namespace zentoro
