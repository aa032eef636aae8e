// The shared format index finds every entry exactly where a walk from the
// start of the list finds it, and misses exactly the entries that walk
// misses: past the count, over truncated input, and at odd list positions.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "reader/input_readers.h"
#include "rtf/attribute_layer.h"
#include "rtf/shared_format_list.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

constexpr int32_t Padding = 7;  // bytes before the section, so positions are not offsets

struct Walk {
    std::optional<int32_t> entryStart;  // none when the input ends first
    int32_t end;                        // where the walk left the input
};

// The walk from the start of the list that a paragraph made before the
// index: `wanted` entries, or the list's count when wanted is 0.
Walk walkFromListStart(ConversionState& s, int wanted) {
    seek(s, s.formatListPos);
    int count = readByte(s);
    int entries = wanted == 0 ? count : wanted;
    int walked = 0;
    int32_t entryStart = tell(s);
    for (; walked < entries && s.input.pos < s.input.size && !s.output.failed; ++walked) {
        entryStart = tell(s);
        skipSharedFormat(s);
    }
    if (walked < entries) return {std::nullopt, tell(s)};
    return {entryStart, tell(s)};
}

void expectIndexAgreesWithWalk(const std::vector<uint8_t>& bytes, int32_t listPos) {
    SCOPED_TRACE(::testing::Message() << "list at " << listPos << ", input of " << bytes.size() << " bytes");
    StateOver ascending(bytes);
    ascending->formatListPos = listPos;
    indexSharedFormats(ascending.state());
    int32_t indexEnd = tell(ascending.state());
    EXPECT_EQ(indexEnd, walkFromListStart(ascending.state(), 0).end);
    for (int ref = 1; ref <= MaxSharedFormats; ++ref) {
        ASSERT_EQ(sharedFormatStart(ascending.state(), ref), walkFromListStart(ascending.state(), ref).entryStart)
            << "ref " << ref;
    }
    // Built on demand, and extended from the far end first.
    StateOver descending(bytes);
    descending->formatListPos = listPos;
    for (int ref = MaxSharedFormats; ref >= 1; --ref) {
        ASSERT_EQ(sharedFormatStart(descending.state(), ref), walkFromListStart(descending.state(), ref).entryStart)
            << "ref " << ref;
    }
}

std::vector<SharedFormat> variedFormats() {
    std::vector<SharedFormat> formats;
    for (int i = 0; i < 12; ++i) {
        SharedFormat format{Layer(), i % 3 == 0 ? 0 : 255 - i, Layer()};
        for (int r = 0; r < i % 4; ++r) format.paragraph.leftIndent(100 * r).alignment(r);
        if (i % 2 == 1) format.character.font("Arial").bold();
        formats.push_back(format);
    }
    return formats;
}

std::vector<uint8_t> sectionAfterPadding(const TextLayoutSection& layout) {
    return Bytes().fill(Padding, 0xEE).append(layout.bytes()).data;
}

constexpr int32_t ListPos = Padding + 2;

TEST(SharedFormatIndex, AgreesWithTheWalkOverACountedList) {
    TextLayoutSection layout;
    layout.formats = variedFormats();
    layout.paragraphs.push_back(Paragraph{5, 12});
    expectIndexAgreesWithWalk(sectionAfterPadding(layout), ListPos);

    TextLayoutSection empty;
    expectIndexAgreesWithWalk(sectionAfterPadding(empty), ListPos);
}

TEST(SharedFormatIndex, ReferencesAboveTheCountWalkOnIntoWhatFollows) {
    TextLayoutSection layout;
    layout.formats = variedFormats();
    layout.formatCount = 3;
    layout.paragraphs.push_back(Paragraph{5, 1});
    expectIndexAgreesWithWalk(sectionAfterPadding(layout), ListPos);

    layout.formatCount = 255;
    expectIndexAgreesWithWalk(sectionAfterPadding(layout), ListPos);
}

TEST(SharedFormatIndex, EntriesMissingAtTheEndOfTheInputAreMissingAlike) {
    TextLayoutSection layout;
    layout.formats = variedFormats();
    std::vector<uint8_t> whole = sectionAfterPadding(layout);
    for (size_t cut = ListPos; cut <= whole.size(); ++cut) {
        expectIndexAgreesWithWalk(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)), ListPos);
    }
}

TEST(SharedFormatIndex, ALayerLongerThanTheInputEndsTheList) {
    TextLayoutSection layout;
    layout.formats = variedFormats();
    layout.formats[4].character.declaredLength(1000000);
    expectIndexAgreesWithWalk(sectionAfterPadding(layout), ListPos);
}

TEST(SharedFormatIndex, AListAtOrPastTheEndOfTheInputHasNoEntries) {
    TextLayoutSection layout;
    layout.formats = variedFormats();
    std::vector<uint8_t> bytes = sectionAfterPadding(layout);
    auto size = static_cast<int32_t>(bytes.size());
    for (int32_t listPos : {size - 1, size, size + 10, INT32_MIN}) expectIndexAgreesWithWalk(bytes, listPos);
}

TEST(SharedFormatIndex, FollowsTheListPositionOfTheCurrentSection) {
    TextLayoutSection first;
    first.formats = variedFormats();
    TextLayoutSection second;
    second.formats = {SharedFormat{}, SharedFormat{}};
    Bytes firstBytes = Bytes().fill(Padding, 0xEE).append(first.bytes());
    auto secondListPos = static_cast<int32_t>(firstBytes.size()) + 2;
    StateOver s(firstBytes.append(second.bytes()).data);

    s->formatListPos = ListPos;
    indexSharedFormats(s.state());
    EXPECT_EQ(sharedFormatStart(s.state(), 12), walkFromListStart(s.state(), 12).entryStart);
    s->formatListPos = secondListPos;
    EXPECT_EQ(sharedFormatStart(s.state(), 2), std::optional<int32_t>(secondListPos + 1 + 13));
    EXPECT_EQ(sharedFormatStart(s.state(), 12), walkFromListStart(s.state(), 12).entryStart);
}

}  // namespace
}  // namespace zentoro
