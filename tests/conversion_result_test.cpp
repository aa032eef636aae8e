// Why a conversion failed: each failure is reported with its reason, a
// damaged document among them, and the int entry point agrees.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "convert/zentoro.h"
#include "picture/picture_failure.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"
#include "tests/builder/temporary_folder.h"

namespace zentoro {
namespace {

using namespace testing;

std::vector<uint8_t> cut(std::vector<uint8_t> document, size_t bytes) {
    document.resize(document.size() - bytes);
    return document;
}

TEST(ConversionResult, EachFailureCarriesItsReason) {
    struct Case {
        const char* name;
        std::vector<uint8_t> document;  // written to "in" unless empty
        const char* output;
        Failure failure;
    };
    std::vector<uint8_t> sample = sampleDocument();
    const Case cases[] = {
        {"converted", sample, "out.rtf", Failure::None},
        {"missingInput", {}, "out.rtf", Failure::InputUnopenable},
        {"sameFile", sample, "in", Failure::SameFile},
        {"outputFolderMissing", sample, "no/such/folder.rtf", Failure::OutputUnwritable},
        {"notWord", WordDocument().headerUids(0x10000037, 0x1000006D, 0x10000088).build(), "out.rtf",
         Failure::NotWordDocument},
        {"lastByteCut", cut(sample, 1), "out.rtf", Failure::DocumentDamaged},
        {"halfCut", cut(sample, sample.size() / 2), "out.rtf", Failure::DocumentDamaged},
        {"noStyleSection", WordDocument().applicationId().text("x\x06").build(), "out.rtf", Failure::DocumentDamaged},
        {"limit", heavyStyleDocument(1000, 3000, StyleRecords::Writing), "out.rtf", Failure::LimitReached},
    };
    for (const Case& c : cases) {
        TemporaryFolder folder("result");
        if (!c.document.empty()) writeFile(folder.path("in"), c.document);
        ConversionResult result = convertDocumentWithResult(folder.path("in").c_str(), folder.path(c.output).c_str());
        EXPECT_EQ(result.failure, c.failure) << c.name;
        int plain = convertDocument(folder.path("in").c_str(), folder.path(c.output).c_str());
        EXPECT_EQ(plain, c.failure == Failure::None ? 0 : 1) << c.name;
    }
}

// What could be converted stays in the output of a damaged document.
TEST(ConversionResult, DamagedDocumentKeepsWhatWasConverted) {
    std::vector<uint8_t> sample = sampleDocument();
    TemporaryFolder folder("damaged");
    writeFile(folder.path("whole"), sample);
    writeFile(folder.path("cut"), cut(sample, 1));
    ASSERT_TRUE(convertDocumentWithResult(folder.path("whole").c_str(), folder.path("whole.rtf").c_str()).succeeded());
    ConversionResult result = convertDocumentWithResult(folder.path("cut").c_str(), folder.path("cut.rtf").c_str());
    EXPECT_EQ(result.failure, Failure::DocumentDamaged);
    EXPECT_STREQ(describeFailure(result.failure), "the document ends early or points outside itself");
    std::string whole = readFile(folder.path("whole.rtf"));
    std::string damaged = readFile(folder.path("cut.rtf"));
    // The sample's dictionary comes last, and its last entry is the
    // application id's, which writes its line feed wherever it points.
    EXPECT_EQ(damaged, whole);
}

}  // namespace
}  // namespace zentoro

namespace zentoro {
namespace {

// Every failure, damage and picture failure is told in words of its own;
// only the absence of one in none.
template <typename Reason>
void expectOwnWords(const char* (*describe)(Reason), Reason none, Reason last) {
    std::set<std::string> seen;
    for (int i = 0; i <= static_cast<int>(last); ++i) {
        auto reason = static_cast<Reason>(i);
        std::string words = describe(reason);
        EXPECT_EQ(words.empty(), reason == none) << i;
        if (!words.empty()) {
            EXPECT_TRUE(seen.insert(words).second) << words;
        }
    }
}

TEST(ConversionResult, EachReasonIsToldInWordsOfItsOwn) {
    expectOwnWords(+[](Failure f) { return describeFailure(f); }, Failure::None, Failure::NotSupported);
    expectOwnWords(+[](Damage d) { return describeDamage(d); }, Damage::None, Damage::PartsUnreadable);
    expectOwnWords(+[](PictureFailure f) { return describePictureFailure(f); }, PictureFailure::None,
                   PictureFailure::PixelDataShort);
}

}  // namespace
}  // namespace zentoro
