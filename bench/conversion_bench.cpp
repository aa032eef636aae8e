// Converts generated documents of 1 to 16 MB of text from file to file, and
// copies each one as the floor to compare against. Run with
// --benchmark_repetitions=N for the fastest of N; the summary table comes last.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "tests/builder/scaled_document.h"
#include "bench/copy_floor.h"
#include "bench/ratio_report.h"
#include "convert/zentoro.h"
#include "tests/builder/conversion_harness.h"

namespace zentoro::bench {

namespace {

namespace fs = std::filesystem;

constexpr int TextMegabytes[] = {1, 2, 4, 5, 8, 16};
constexpr int FixedMmapThreshold = 128 * 1024;

// A generated document on disk, and the size of its conversion.
struct BenchFile {
    std::string input;
    std::string output;
    uint64_t inputSize = 0;
    uint64_t outputSize = 0;
};

fs::path workDirectory() {
    static const fs::path directory = fs::temp_directory_path() / ("zentoro-bench-" + std::to_string(getpid()));
    return directory;
}

BenchFile writeBenchFile(int megabytes) {
    fs::create_directories(workDirectory());
    std::string name = (workDirectory() / std::to_string(megabytes)).string();
    BenchFile file{name + ".wrd", name + ".rtf"};
    std::vector<uint8_t> document = testing::scaledDocument(static_cast<size_t>(megabytes) * testing::Megabyte);
    testing::writeFile(file.input, document);
    file.inputSize = document.size();
    if (convertDocument(file.input.c_str(), file.output.c_str()) == 0) file.outputSize = fs::file_size(file.output);
    return file;
}

// Generated on first use, so that a filtered run builds only what it needs.
const BenchFile& benchFile(int megabytes) {
    static std::map<int, BenchFile> files;
    auto found = files.find(megabytes);
    if (found == files.end()) found = files.emplace(megabytes, writeBenchFile(megabytes)).first;
    return found->second;
}

void setSizeCounters(benchmark::State& state, const BenchFile& file) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.inputSize));
    state.counters[InputBytesCounter] = static_cast<double>(file.inputSize);
    state.counters[OutputBytesCounter] = static_cast<double>(file.outputSize);
}

void convertFile(benchmark::State& state) {
    const BenchFile& file = benchFile(static_cast<int>(state.range(0)));
    if (file.outputSize == 0) state.SkipWithError("the generated document did not convert");
    for (auto _ : state) {
        if (convertDocument(file.input.c_str(), file.output.c_str()) != 0) state.SkipWithError("conversion failed");
    }
    setSizeCounters(state, file);
}

void convertFileFaithfully(benchmark::State& state) {
    const BenchFile& file = benchFile(static_cast<int>(state.range(0)));
    std::string output = file.output + ".faithful";
    for (auto _ : state) {
        if (!convertDocumentFaithful(file.input.c_str(), output.c_str()).succeeded()) {
            state.SkipWithError("faithful conversion failed");
        }
    }
    setSizeCounters(state, file);
}

void copyFloor(benchmark::State& state) {
    const BenchFile& file = benchFile(static_cast<int>(state.range(0)));
    std::string copy = file.output + ".copy";
    for (auto _ : state) {
        if (!copyToSize(file.input.c_str(), copy.c_str(), file.outputSize)) state.SkipWithError("copy failed");
    }
    setSizeCounters(state, file);
}

double fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

// Each size's conversion and copy run next to each other, so that both see
// the same machine load. Other work on the machine only ever adds time, so
// with repetitions the fastest one is reported too ("min").
void registerBenchmarks() {
    for (int megabytes : TextMegabytes) {
        using Function = void (*)(benchmark::State&);
        for (auto [name, function] : {std::pair<const char*, Function>{ConvertName, convertFile},
                                       std::pair<const char*, Function>{ConvertFaithfulName, convertFileFaithfully},
                                       std::pair<const char*, Function>{CopyFloorName, copyFloor}}) {
            benchmark::RegisterBenchmark(name, function)
                ->Arg(megabytes)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond)
                ->ComputeStatistics(FastestName, fastest);
        }
    }
}

}  // namespace

}  // namespace zentoro::bench

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // glibc raises its mmap threshold after a large block is freed (up to
    // 32 MiB), so repeated conversions of small documents would reuse warm
    // heap memory while the 16 MB one (36 MB of input) maps fresh pages each
    // time. A fixed threshold gives every size a freshly mapped input
    // buffer, as a program run that converts one file has.
    mallopt(M_MMAP_THRESHOLD, zentoro::bench::FixedMmapThreshold);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    zentoro::bench::registerBenchmarks();
    zentoro::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(zentoro::bench::workDirectory(), ignored);
    return 0;
}
