// A fuzz target's verdict on an input does not depend on what the process
// converted before it: the saved inputs, each checked with every way of
// writing to a full device, give the same verdicts alone and after a
// shuffled sample of both corpora, checked as both targets check them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fuzz/fuzzed_document.h"
#include "fuzz/road_checks.h"
#include "fuzz/road_choices.h"
#include "tests/builder/conversion_harness.h"

namespace zentoro::fuzzing {
namespace {

namespace fs = std::filesystem;

std::vector<std::vector<uint8_t>> inputsIn(const std::string& folder) {
    std::vector<fs::path> files;
    fs::path path = fs::path(ZENTORO_FUZZ_DIR) / folder;
    if (fs::is_directory(path)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
            if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<std::vector<uint8_t>> inputs;
    for (const fs::path& file : files) {
        std::string content = testing::readFile(file.string());
        inputs.emplace_back(content.begin(), content.end());
    }
    return inputs;
}

// Every verdict the targets can give on `bytes`: as raw bytes and as a
// document description, and through streams to each RTF road on a full
// device buffered each way.
std::vector<std::string> verdicts(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> found{checkAnyInput(bytes), checkBuiltDocument(decodeFuzzedDocument(bytes))};
    for (bool toRtf : {true, false}) {
        for (int buffering : {_IOFBF, _IOLBF, _IONBF}) {
            RoadChoices choices = roadChoicesFor(bytes);
            choices.fileFormat = OutputFormat::RtfFaithful;
            choices.throughStreams = true;
            choices.streamsToRtf = toRtf;
            choices.fullOutput = true;
            choices.fullOutputBuffering = buffering;
            found.push_back(checkAnyInput(bytes, choices));
        }
    }
    return found;
}

TEST(FuzzVerdicts, TheSavedInputsGiveTheSameVerdictsAfterAShuffledSampleOfTheCorpus) {
    std::vector<std::vector<uint8_t>> saved = inputsIn("regressions/raw");
    for (std::vector<uint8_t>& input : inputsIn("regressions/document")) saved.push_back(std::move(input));
    std::vector<std::vector<uint8_t>> corpus = inputsIn("corpus/raw");
    for (std::vector<uint8_t>& input : inputsIn("corpus/document")) corpus.push_back(std::move(input));
    ASSERT_FALSE(saved.empty());
    ASSERT_FALSE(corpus.empty());

    std::vector<std::vector<std::string>> alone;
    for (const std::vector<uint8_t>& input : saved) alone.push_back(verdicts(input));

    std::mt19937 random(20261209);  // fixed, so that a failure replays
    std::shuffle(corpus.begin(), corpus.end(), random);
    corpus.resize(std::min<size_t>(corpus.size(), 40));
    for (const std::vector<uint8_t>& input : corpus) {
        EXPECT_EQ(verdicts(input), verdicts(input)) << "an input's verdicts changed when checked again";
    }
    for (size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(verdicts(saved[i]), alone[i]) << "saved input " << i;
    }
}

}  // namespace
}  // namespace zentoro::fuzzing
