// The primitive readers: values, the end-of-file value in their arithmetic,
// what they count in layerBytesRead, and where they leave the input.
#include <gtest/gtest.h>

#include <vector>

#include "reader/input_readers.h"
#include "reader/uid_header.h"
#include "tests/builder/conversion_harness.h"

namespace zentoro {
namespace {

using testing::StateOver;

TEST(ReadU32, ReadsLittleEndianAndCountsFourBytes) {
    StateOver s({0x37, 0x00, 0x00, 0x10});
    EXPECT_EQ(readU32(s.state()), 0x10000037u);
    EXPECT_EQ(s->layerBytesRead, 4u);
    EXPECT_EQ(tell(s.state()), 4);
}

TEST(ReadU32, EndOfFileBytesEnterTheArithmeticAsMinusOne) {
    StateOver empty({});
    EXPECT_EQ(readU32(empty.state()), 0xFEFEFEFFu);
    EXPECT_EQ(empty->layerBytesRead, 4u);

    StateOver twoBytes({0x37, 0x00});
    EXPECT_EQ(readU32(twoBytes.state()), 0xFEFF0037u);
}

TEST(ReadCountedByte, CountsEvenAtTheEndOfTheInput) {
    StateOver s({0xAB});
    EXPECT_EQ(readCountedByte(s.state()), 0xAB);
    EXPECT_EQ(readCountedByte(s.state()), EndOfFile);
    EXPECT_EQ(readCountedByte(s.state()), EndOfFile);
    EXPECT_EQ(s->layerBytesRead, 3u);
}

TEST(ReadByte, DeliversUnsignedValuesAndStaysAtTheEnd) {
    StateOver s({0xFF});
    EXPECT_EQ(readByte(s.state()), 255);
    EXPECT_EQ(readByte(s.state()), EndOfFile);
    EXPECT_EQ(tell(s.state()), 1);
    EXPECT_EQ(s->layerBytesRead, 0u);
}

TEST(ReadBytes, TakesWhatTheInputHoldsAndMovesAsByteReadsWould) {
    StateOver s({1, 2, 3, 4, 5});
    seek(s.state(), 1);
    auto run = readBytes(s->input, 2);
    EXPECT_EQ(std::vector<unsigned char>(run.begin(), run.end()), (std::vector<unsigned char>{2, 3}));
    EXPECT_EQ(tell(s.state()), 3);
    EXPECT_EQ(readBytes(s->input, 10).size(), 2u);  // the run stops at the end
    EXPECT_EQ(tell(s.state()), 5);
    EXPECT_TRUE(readBytes(s->input, 1).empty());
    seek(s.state(), 100);
    EXPECT_TRUE(readBytes(s->input, 4).empty());
    EXPECT_EQ(tell(s.state()), 100);  // beyond the end, as readByte leaves it
    EXPECT_EQ(s->layerBytesRead, 0u);
}

TEST(ReadCardinality, ReadsTheOneTwoAndFourByteForms) {
    StateOver oneByte({0x0A});
    EXPECT_EQ(readCardinality(oneByte.state()), 5);
    EXPECT_EQ(tell(oneByte.state()), 1);
    EXPECT_EQ(oneByte->layerBytesRead, 0u);

    StateOver twoBytes({0xB1, 0x04});
    EXPECT_EQ(readCardinality(twoBytes.state()), 300);
    EXPECT_EQ(tell(twoBytes.state()), 2);
    EXPECT_EQ(twoBytes->layerBytesRead, 0u);

    StateOver fourBytes({0x03, 0x71, 0x02, 0x00, 0x99});
    EXPECT_EQ(readCardinality(fourBytes.state()), 20000);
    EXPECT_EQ(tell(fourBytes.state()), 4);
    EXPECT_EQ(fourBytes->layerBytesRead, 4u);
    EXPECT_EQ(fourBytes->lastCardinality, 20000);
}

TEST(ReadCardinality, FirstByteFittingNoFormRepeatsThePreviousValue) {
    StateOver s({0x07, 0x0A, 0x07});
    EXPECT_EQ(readCardinality(s.state()), 0);  // nothing read yet in this conversion
    EXPECT_EQ(tell(s.state()), 1);
    EXPECT_EQ(readCardinality(s.state()), 5);
    EXPECT_EQ(readCardinality(s.state()), 5);
    EXPECT_EQ(readCardinality(s.state()), 5);  // the end of the input behaves the same
    EXPECT_EQ(tell(s.state()), 3);
}

TEST(ReadCardinality, EndOfFileAsSecondByteOfTheTwoByteForm) {
    StateOver s({0xB1});
    EXPECT_EQ(readCardinality(s.state()), (0xB1 >> 2) - 64);
}

TEST(ReadCardinality, FourByteFormAtTheLargestValue) {
    StateOver s({0xFB, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(readCardinality(s.state()), 536870911);
}

TEST(Seek, BeyondTheEndSucceedsAndReadsYieldEndOfFile) {
    StateOver s({1, 2, 3});
    seek(s.state(), 100);
    EXPECT_EQ(tell(s.state()), 100);
    EXPECT_EQ(readByte(s.state()), EndOfFile);
    seek(s.state(), 1);
    EXPECT_EQ(readByte(s.state()), 2);
}

TEST(Seek, NegativePositionLeavesTheInputAtItsEndUntilTheNextSeek) {
    StateOver s({1, 2, 3});
    seek(s.state(), static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(readByte(s.state()), EndOfFile);
    EXPECT_EQ(readU32(s.state()), 0xFEFEFEFFu);
    seek(s.state(), static_cast<int32_t>(0xFFFFFFFFu));
    EXPECT_EQ(readByte(s.state()), EndOfFile);
    seek(s.state(), 0);
    EXPECT_EQ(readByte(s.state()), 1);
}

}  // namespace
}  // namespace zentoro

namespace zentoro {
namespace {

// A long is read only where all four of its bytes lie inside the input:
// the byte past a short one is never looked at.
TEST(HeaderLong, ReadsOnlyFourBytesInsideTheInput) {
    const unsigned char bytes[] = {0x01, 0x02, 0x03, 0x04, 0xFF};
    EXPECT_EQ(headerLong(bytes, 4, 0), 0x04030201u);
    EXPECT_EQ(headerLong(bytes, 4, 1), 0u);
    EXPECT_EQ(headerLong(bytes, 3, 0), 0u);
    EXPECT_EQ(headerLong(bytes, 4, 5), 0u);
}

}  // namespace
}  // namespace zentoro
