// Conversions run on workers, and their reports come back on the calling
// thread in the order the work was handed in, however long each one takes.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ui/conversion_pipeline.h"

namespace zentoro {
namespace {

TEST(ConversionPipeline, ReportsComeInTheOrderTheWorkWasHandedIn) {
    for (unsigned workers : {1u, 2u, 4u}) {
        std::vector<std::string> reports;
        std::thread::id caller = std::this_thread::get_id();
        bool reportedElsewhere = false;
        {
            ConversionPipeline pipeline(workers);
            for (int i = 0; i < 40; ++i) {
                if (i % 5 == 4) {
                    pipeline.then([&reports, i] { reports.push_back("then " + std::to_string(i)); });
                    continue;
                }
                // Early conversions take longest, so that later ones finish first.
                auto delay = std::chrono::microseconds(i < 8 ? 3000 - 300 * i : 50 * (i % 3));
                pipeline.convert(
                    [delay, i] {
                        std::this_thread::sleep_for(delay);
                        return i % 3 == 0;
                    },
                    [&, i](bool result) {
                        reportedElsewhere |= std::this_thread::get_id() != caller;
                        reports.push_back(std::to_string(i) + (result ? " yes" : " no"));
                    });
            }
            pipeline.finish();
            EXPECT_EQ(reports.size(), 40u) << workers << " workers";
        }
        ASSERT_EQ(reports.size(), 40u);
        for (int i = 0; i < 40; ++i) {
            std::string expected = i % 5 == 4 ? "then " + std::to_string(i) : std::to_string(i) + (i % 3 == 0 ? " yes" : " no");
            EXPECT_EQ(reports[static_cast<size_t>(i)], expected) << workers << " workers";
        }
        EXPECT_FALSE(reportedElsewhere) << workers << " workers";
    }
}

TEST(ConversionPipeline, ReportWithNothingPendingRunsAtOnce) {
    ConversionPipeline pipeline(2);
    bool ran = false;
    pipeline.then([&ran] { ran = true; });
    EXPECT_TRUE(ran);
    pipeline.convert([] { return true; }, [](bool) {});
    pipeline.finish();
    ran = false;
    pipeline.then([&ran] { ran = true; });
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace zentoro
