// The output buffer: literals, bytes and numbers come out in the order
// written, also where they straddle the end of the buffer.
#include <gtest/gtest.h>

#include <string>

#include "rtf/rtf_output.h"
#include "tests/builder/conversion_harness.h"

namespace zentoro {
namespace {

using testing::StateOver;

// Writes bytes until `room` bytes are left in the buffer.
void fillLeaving(RtfOutput& out, size_t room, std::string& expected) {
    while (out.buffer.size() - out.used != room) {
        writeByte(out, 'a');
        expected.push_back('a');
    }
}

TEST(RtfOutput, WritesAcrossTheEndOfTheBufferInOrder) {
    StateOver s({});
    RtfOutput& out = s->output;
    std::string expected;
    fillLeaving(out, 2, expected);
    writeLiteral(out, "\\par\n");  // two bytes fit, three go to the next buffer
    expected += "\\par\n";
    fillLeaving(out, 3, expected);
    writeNumber(out, -2147483648LL);  // likewise
    writeNumber(out, 42);
    writeLiteral(out, "");
    writeLiteral(out, std::string(out.buffer.size() + 5, 'x'));
    expected += "-214748364842" + std::string(out.buffer.size() + 5, 'x');
    EXPECT_EQ(s.output(), expected);
    EXPECT_EQ(out.bytesWritten, expected.size());
}

}  // namespace
}  // namespace zentoro
