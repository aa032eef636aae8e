// The output buffer: literals, bytes and numbers come out in the order
// written, also where they straddle the end of the buffer.
#include <gtest/gtest.h>

#include <string>

#include "rtf/rtf_output.h"
#include "tests/builder/conversion_harness.h"

namespace zentoro {
namespace {

using testing::StateOver;

TEST(RtfOutput, WritesAcrossTheEndOfTheBufferInOrder) {
    StateOver s({});
    RtfOutput& out = s->output;
    std::string expected;
    const size_t bufferSize = out.buffer.size();
    for (size_t i = 0; i + 3 < bufferSize; ++i) writeByte(out, 'a' + static_cast<int>(i % 26));
    for (size_t i = 0; i + 3 < bufferSize; ++i) expected.push_back(static_cast<char>('a' + i % 26));
    writeLiteral(out, "\\par\n");  // two bytes fit, three go to the next buffer
    writeNumber(out, -2147483648LL);
    writeLiteral(out, "");
    writeLiteral(out, std::string(bufferSize + 5, 'x'));
    expected += "\\par\n-2147483648" + std::string(bufferSize + 5, 'x');
    EXPECT_EQ(s.output(), expected);
    EXPECT_EQ(out.bytesWritten, expected.size());
}

}  // namespace
}  // namespace zentoro
