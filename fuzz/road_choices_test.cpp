// The fuzz targets' own choices hold no false alarm for a sound document:
// every combination passes the checks on the builder's sample documents.
#include "fuzz/road_choices.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "fuzz/road_checks.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"

namespace zentoro::fuzzing {
namespace {

TEST(RoadChoices, EveryCombinationPassesOnSoundDocuments) {
    ConversionLimits tiny;
    tiny.outputBytesPerInputByte = 0;
    tiny.outputFloor = 100;
    tiny.readBytesPerInputByte = 0;
    tiny.readFloor = 100;
    for (const std::vector<uint8_t>& document : {testing::sampleDocument(), testing::richDocument()}) {
        for (OutputFormat format :
             {OutputFormat::Text, OutputFormat::Html, OutputFormat::Markdown, OutputFormat::RtfFaithful}) {
            for (int bits = 0; bits < 16; ++bits) {
                RoadChoices choices;
                choices.documentName = "d\xE3\x80\x80n\xF0\x9F\x98\x80.wrd";
                choices.fileFormat = format;
                if (bits & 1) choices.lowLimits = tiny;
                choices.throughStreams = true;
                choices.streamsToRtf = (bits & 2) != 0;
                choices.fullOutput = (bits & 4) != 0;
                choices.fullOutputBuffering = std::array{_IOFBF, _IOLBF, _IONBF}[bits % 3];
                choices.quietDiagnostics = (bits & 8) != 0;
                EXPECT_EQ(checkAnyInput(document, choices), "") << "choices " << bits;
            }
        }
    }
}

}  // namespace
}  // namespace zentoro::fuzzing
