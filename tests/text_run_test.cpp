// A run of text is written sixteen bytes at a time where it can be; it must
// come out exactly as its characters written one by one, wherever its
// escapes fall, wherever it ends, and however full the output buffer is.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "rtf/text_characters.h"
#include "tests/builder/conversion_harness.h"

namespace zentoro {
namespace {

using namespace testing;

// Every byte value once, then plain text with escapes at changing distances.
std::vector<uint8_t> mixedText() {
    std::vector<uint8_t> text;
    for (int b = 0; b < 256; ++b) text.push_back(static_cast<uint8_t>(b));
    const uint8_t escapes[] = {'\\', '{', '}', 6, 7, 8, 9, 0, 0x1F, 15};
    uint32_t seed = 12345;
    for (int i = 0; i < 2000; ++i) {
        seed = seed * 1103515245 + 12345;
        bool escape = (seed >> 16) % (1 + i % 23) == 0;
        text.push_back(escape ? escapes[(seed >> 8) % std::size(escapes)] : static_cast<uint8_t>('a' + (seed >> 20) % 26));
    }
    return text;
}

struct Written {
    std::string rtf;
    bool paragraphEnded;
};

// Writes the run after `filler` bytes already in the output, as one run or
// character by character.
Written writeRun(const std::vector<uint8_t>& text, size_t start, size_t count, CharacterTable table, size_t filler,
                 bool oneByOne) {
    StateOver s(text);
    writeLiteral(s->output, std::string(filler, '.'));
    if (oneByOne) {
        for (size_t i = start; i < start + count; ++i) writeTextChar(s.state(), text[i], table);
    } else {
        writeTextRun(s.state(), static_cast<int32_t>(start), static_cast<uint32_t>(count), table);
    }
    return {s.output(), s->paragraphEnded};
}

TEST(TextRun, WritesTheSameBytesAsItsCharactersOneByOne) {
    const std::vector<uint8_t> text = mixedText();
    const size_t bufferSize = RtfOutput{}.buffer.size();
    const size_t fillers[] = {0, bufferSize - 300, bufferSize - 17, bufferSize - 1};
    for (CharacterTable table : {CharacterTable::Body, CharacterTable::HeaderPhrase, CharacterTable::HeaderSharedFormat}) {
        for (size_t filler : fillers) {
            for (size_t start = 0; start < 40; start += 3) {
                for (size_t count : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{17}, size_t{300}, text.size() - start}) {
                    Written run = writeRun(text, start, count, table, filler, false);
                    Written bytes = writeRun(text, start, count, table, filler, true);
                    ASSERT_EQ(run.rtf, bytes.rtf) << "table " << static_cast<int>(table) << ", filler " << filler
                                                  << ", start " << start << ", count " << count;
                    ASSERT_EQ(run.paragraphEnded, bytes.paragraphEnded) << "start " << start << ", count " << count;
                }
            }
        }
        // The input's last bytes, which are never read sixteen at a time.
        for (size_t tail = 1; tail < 20; ++tail) {
            size_t start = text.size() - tail;
            ASSERT_EQ(writeRun(text, start, tail, table, 0, false).rtf, writeRun(text, start, tail, table, 0, true).rtf)
                << "the last " << tail << " bytes";
        }
    }
}

}  // namespace
}  // namespace zentoro
