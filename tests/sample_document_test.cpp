// The bundled sample stays what its generator makes, and converts.
#include <gtest/gtest.h>

#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

using namespace testing;

TEST(SampleDocument, BundledFileIsWhatTheBuilderMakes) {
    std::string bundled = readFile(ZENTORO_SOURCE_DIR "/examples/sample.wrd");
    std::vector<uint8_t> built = sampleDocument();
    EXPECT_EQ(bundled, std::string(built.begin(), built.end()))
        << "regenerate it: build/default/tests/make_sample examples/sample.wrd";
}

TEST(SampleDocument, Converts) {
    Conversion c = convertBytes(sampleDocument());
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.stdOut, "");
}

}  // namespace
}  // namespace zentoro
