// The conversion limits as parameters: a caller's lower limits stop every
// road, and limits that are not reached change nothing that is written.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "convert/model_conversion.h"
#include "convert/rtf_translation.h"
#include "reader/conversion_limits.h"
#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

namespace zentoro {
namespace {

// What one road wrote with the given limits, and its result.
struct LimitedRun {
    Failure failure = Failure::None;
    std::string output;
};

LimitedRun translatedWith(const std::vector<uint8_t>& document, const ConversionLimits& limits) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return {Failure::OutputUnwritable};
    testing::StdoutCapture quiet;
    LimitedRun run{translateBytesToRtf(document, file, TranslationSettings{limits}).failure};
    long size = std::ftell(file);
    std::rewind(file);
    run.output.resize(size > 0 ? static_cast<size_t>(size) : 0);
    run.output.resize(std::fread(run.output.data(), 1, run.output.size(), file));
    std::fclose(file);
    return run;
}

LimitedRun modelWith(OutputFormat format, const std::vector<uint8_t>& document, const ConversionLimits& limits) {
    ModelConversion conversion;
    conversion.format = format;
    conversion.limits = limits;
    LimitedRun run{readModel(document, conversion).failure};
    if (run.failure == Failure::None) run.failure = writeModel(conversion, nullptr, &run.output).failure;
    return run;
}

// The limits are parameters: lower ones stop every road that the defaults
// let through, and limits that are not reached change nothing it writes.
TEST(Limits, LowerOnesStopEveryRoadAndUnreachedOnesChangeNothing) {
    std::vector<uint8_t> document = testing::sampleDocument();
    struct Case {
        const char* name;
        ConversionLimits limits;
        bool reached;
    };
    const Case cases[] = {
        {"the defaults", {}, false},
        {"higher", {OutputBytesPerInputByte * 2, OutputFloor * 2, ReadBytesPerInputByte * 2, ReadFloor * 2}, false},
        {"output of 64 bytes", {0, 64, ReadBytesPerInputByte, ReadFloor}, true},
        {"reading of 64 bytes", {OutputBytesPerInputByte, OutputFloor, 0, 64}, true},
    };
    LimitedRun rtf = translatedWith(document, {});
    LimitedRun faithful = modelWith(OutputFormat::RtfFaithful, document, {});
    LimitedRun text = modelWith(OutputFormat::Text, document, {});
    ASSERT_EQ(rtf.failure, Failure::None);
    ASSERT_EQ(faithful.failure, Failure::None);
    ASSERT_EQ(text.failure, Failure::None);
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        const std::pair<LimitedRun, const LimitedRun*> runs[] = {
            {translatedWith(document, each.limits), &rtf},
            {modelWith(OutputFormat::RtfFaithful, document, each.limits), &faithful},
            {modelWith(OutputFormat::Text, document, each.limits), &text},
        };
        for (const auto& [run, unlimited] : runs) {
            EXPECT_EQ(run.failure, each.reached ? Failure::LimitReached : Failure::None);
            if (!each.reached) {
                EXPECT_EQ(run.output, unlimited->output);
            }
        }
    }
}

}  // namespace
}  // namespace zentoro
