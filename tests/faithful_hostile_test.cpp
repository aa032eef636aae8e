// The faithful conversion on damaged and hostile documents: whatever the
// bytes, it ends in time with a result that names its reason, writes no
// more than its output limit, and never reports a document that cannot be
// read whole as converted.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "convert/zentoro.h"
#include "model/read_document.h"
#include "reader/conversion_limits.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"

namespace zentoro {
namespace {

using namespace testing;

constexpr double HangSeconds = 5.0;

struct Outcome {
    ConversionResult result;
    std::string rtf;
};

Outcome convertFaithfully(const std::vector<uint8_t>& document) {
    Outcome outcome;
    auto start = std::chrono::steady_clock::now();
    outcome.result = convertDocumentFaithfulToString(document.data(), document.size(), outcome.rtf);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, HangSeconds);
    EXPECT_LE(outcome.rtf.size(), outputLimitFor(document.size()));
    Failure f = outcome.result.failure;
    EXPECT_TRUE(f == Failure::None || f == Failure::DocumentDamaged || f == Failure::LimitReached ||
                f == Failure::NotWordDocument)
        << describeFailure(f);
    // A damaged document gives back what it still holds, or nothing.
    if (f != Failure::None) {
        EXPECT_EQ(outcome.rtf.empty(), !outcome.result.salvaged());
    }
    return outcome;
}

TEST(FaithfulHostile, StressDocumentsEndInTimeWithAReason) {
    struct Case {
        const char* name;
        std::vector<uint8_t> document;
        Failure failure;
    };
    const Case cases[] = {
        {"Device", deviceDocument(), Failure::None},
        // Phrases whose first byte is a count of trailing records, not a type.
        {"Rich", richDocument(), Failure::DocumentDamaged},
        {"RewindingText", rewindingTextDocument(20000, 1000), Failure::DocumentDamaged},
        {"HeavyStyleWriting", heavyStyleDocument(100000, 20000, StyleRecords::Writing), Failure::None},
        {"HeavyStyleSilent", heavyStyleDocument(100000, 20000, StyleRecords::Silent), Failure::None},
        {"RepeatedTextLayout", repeatedTextLayoutDocument(127), Failure::DocumentDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(convertFaithfully(c.document).result.failure, c.failure);
    }
}

// Every paragraph of the model holds its whole formatting: empty paragraphs
// sharing a format with many tab stops would make a whole model hundreds of
// times the document's size. (The conversion itself holds one paragraph at
// a time.) A small document may take more than its share, up to a floor.
TEST(FaithfulHostile, AModelFarLargerThanAnyRealDocumentsStopsAtItsLimit) {
    struct Case {
        int stops, paragraphs;
        Failure failure;
    };
    const Case cases[] = {
        {64, 300000, Failure::LimitReached},
        {64, 2000, Failure::None},
        {0, 210000, Failure::None},  // a document of 1.1 MB takes its share above the floor
    };
    for (const Case& c : cases) {
        Layer manyStops;
        for (int i = 1; i <= c.stops; ++i) manyStops.tabStop(100 * i, 1);
        TextLayoutSection layout;
        layout.formats.push_back(SharedFormat{manyStops, 0, Layer()});
        layout.paragraphs.assign(static_cast<size_t>(c.paragraphs), testing::Paragraph{0, 1});
        std::vector<uint8_t> document = WordDocument().styles(StyleSection{}).text("").textLayout(layout).build();
        Document model;
        EXPECT_EQ(readDocument(std::span<const unsigned char>(document.data(), document.size()), model).failure,
                  c.failure) << c.stops << " stops, " << c.paragraphs << " paragraphs, " << document.size() << " bytes";
    }
}

TEST(FaithfulHostile, EveryPrefixOfTheDeviceDocumentIsDamaged) {
    std::vector<uint8_t> device = deviceDocument();
    for (size_t size = 0; size < device.size(); ++size) {
        Outcome o = convertFaithfully({device.begin(), device.begin() + static_cast<std::ptrdiff_t>(size)});
        EXPECT_EQ(o.result.failure, size < 12 ? Failure::NotWordDocument : Failure::DocumentDamaged) << size;
    }
}

TEST(FaithfulHostile, EveryByteOfTheDeviceDocumentSetToAnExtreme) {
    std::vector<uint8_t> device = deviceDocument();
    for (size_t at = 12; at < device.size(); ++at) {
        for (uint8_t value : {0x00, 0x07, 0x7F, 0x80, 0xFF}) {
            std::vector<uint8_t> damaged = device;
            damaged[at] = value;
            SCOPED_TRACE(std::to_string(at) + " " + std::to_string(value));
            convertFaithfully(damaged);
        }
    }
}

}  // namespace
}  // namespace zentoro
