// The block that holds whole documents and whole outputs keeps every byte
// through growth, from a small allocation to a huge-page mapping, and
// through moves.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "reader/large_buffer.h"

namespace zentoro {
namespace {

TEST(LargeBuffer, KeepsEveryByteAsItGrowsPastAMappingAndMoves) {
    LargeBuffer buffer;
    std::vector<unsigned char> expected;
    std::vector<unsigned char> piece(100'003);
    for (int round = 0; round < 60; ++round) {  // 6 MB: past two huge pages
        for (size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<unsigned char>(i * 7 + round);
        buffer.append(piece.data(), piece.size());
        expected.insert(expected.end(), piece.begin(), piece.end());
    }
    ASSERT_EQ(buffer.size(), expected.size());
    EXPECT_GE(buffer.capacity(), buffer.size());
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
    // Past a huge page, whole huge pages from a huge-page boundary.
    constexpr uintptr_t HugePage = 2 * 1024 * 1024;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.data()) % HugePage, 0u);
    EXPECT_EQ(buffer.capacity() % HugePage, 0u);
#endif
    LargeBuffer moved = std::move(buffer);
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_EQ(buffer.data(), nullptr);
    ASSERT_EQ(moved.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), moved.data()));
    // Assigned over a buffer that holds bytes of its own.
    LargeBuffer assigned;
    assigned.append(piece.data(), 10);
    assigned = std::move(moved);
    EXPECT_EQ(moved.size(), 0u);
    ASSERT_EQ(assigned.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), assigned.data()));
    assigned.resize(5);
    assigned.reserve(assigned.capacity() + 1);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 5, assigned.data()));
}

// A size one byte past whole huge pages gets a whole page more.
TEST(LargeBuffer, HoldsOneBytePastAHugePage) {
    constexpr size_t HugePage = 2 * 1024 * 1024;
    LargeBuffer buffer;
    buffer.reserve(HugePage + 1);
    EXPECT_GE(buffer.capacity(), HugePage + 1);
    buffer.resize(HugePage + 1);
    buffer.data()[HugePage] = 7;
    EXPECT_EQ(buffer.data()[HugePage], 7);
}

}  // namespace
}  // namespace zentoro
