// Replays the fuzz targets' checks on every input kept in the repository:
// the regression inputs of faults that fuzzing found, and the corpus that
// fuzzing starts from. A fault found by a fuzzer stays found here.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzzed_document.h"
#include "fuzz/road_checks.h"
#include "tests/builder/conversion_harness.h"

namespace zentoro::fuzzing {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsIn(const std::string& folder) {
    std::vector<fs::path> files;
    fs::path path = fs::path(ZENTORO_FUZZ_DIR) / folder;
    if (!fs::is_directory(path)) return files;
    for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
        if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> bytesOf(const fs::path& file) {
    std::string content = testing::readFile(file.string());
    return {content.begin(), content.end()};
}

struct InputFolder {
    const char* folder;
    bool asDocumentDescription;  // decoded as the document target does
    bool neverEmpty;             // the corpus: an empty folder means it was not found
};

class FuzzReplay : public ::testing::TestWithParam<InputFolder> {};

TEST_P(FuzzReplay, EveryInputPassesItsTargetsChecks) {
    const InputFolder& kind = GetParam();
    std::vector<fs::path> files = inputsIn(kind.folder);
    if (kind.neverEmpty) {
        EXPECT_FALSE(files.empty()) << "no inputs in " << kind.folder;
    }
    for (const fs::path& file : files) {
        std::vector<uint8_t> bytes = bytesOf(file);
        std::string problem = kind.asDocumentDescription ? checkBuiltDocument(decodeFuzzedDocument(bytes))
                                                         : checkAnyInput(bytes);
        EXPECT_EQ(problem, "") << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, FuzzReplay,
                         ::testing::Values(InputFolder{"regressions/raw", false, false},
                                           InputFolder{"regressions/document", true, false},
                                           InputFolder{"corpus/raw", false, true},
                                           InputFolder{"corpus/document", true, true}),
                         [](const ::testing::TestParamInfo<InputFolder>& info) {
                             std::string name = info.param.folder;
                             std::replace(name.begin(), name.end(), '/', '_');
                             return name;
                         });

}  // namespace
}  // namespace zentoro::fuzzing
