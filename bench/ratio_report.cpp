#include "bench/ratio_report.h"

#include <cstdio>

#include <unistd.h>

namespace zentoro::bench {

namespace {

constexpr double BytesPerMegabyte = 1e6;
constexpr double MillisecondsPerSecond = 1e3;

// With repetitions the fastest run stands for a size; without, the one run.
bool representsItsSize(const benchmark::BenchmarkReporter::Run& run) {
    if (run.error_occurred) return false;
    if (run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate) return run.aggregate_name == FastestName;
    return run.repetitions <= 1;
}

double counter(const benchmark::BenchmarkReporter::Run& run, const char* name) {
    auto found = run.counters.find(name);
    return found == run.counters.end() ? 0 : found->second.value;
}

double seconds(const benchmark::BenchmarkReporter::Run& run) {
    return run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
}

double cpuSeconds(const benchmark::BenchmarkReporter::Run& run) {
    return run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
}

}  // namespace

RatioReporter::RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (representsItsSize(run)) record(run);
    }
}

void RatioReporter::record(const Run& run) {
    Figures& figures = bySize_[std::stoi(run.run_name.args)];
    if (run.run_name.function_name == ConvertName) {
        figures.convertSeconds = seconds(run);
        figures.convertCpuSeconds = cpuSeconds(run);
        figures.inputBytes = counter(run, InputBytesCounter);
        figures.outputBytes = counter(run, OutputBytesCounter);
    } else if (run.run_name.function_name == ConvertFaithfulName) {
        figures.faithfulSeconds = seconds(run);
        figures.faithfulCpuSeconds = cpuSeconds(run);
    } else if (run.run_name.function_name == CopyFloorName) {
        figures.floorSeconds = seconds(run);
        figures.floorCpuSeconds = cpuSeconds(run);
    }
}

void RatioReporter::printSummary() const {
    std::printf("\n| text MB | input MB | output MB | conversion ms | copy floor ms | conversion / floor |"
                " input MB/s | conversion / floor, CPU time |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const auto& [size, f] : bySize_) {
        if (f.convertSeconds == 0 || f.floorSeconds == 0) continue;
        std::printf("| %d | %.1f | %.1f | %.1f | %.1f | %.2f | %.0f | %.2f |\n", size, f.inputBytes / BytesPerMegabyte,
                    f.outputBytes / BytesPerMegabyte, f.convertSeconds * MillisecondsPerSecond,
                    f.floorSeconds * MillisecondsPerSecond, f.convertSeconds / f.floorSeconds,
                    f.inputBytes / BytesPerMegabyte / f.convertSeconds, f.convertCpuSeconds / f.floorCpuSeconds);
    }
    bool faithful = false;
    for (const auto& [size, f] : bySize_) faithful = faithful || f.faithfulSeconds != 0;
    if (faithful) {
        std::printf("\n| text MB | faithful ms | copy floor ms | faithful / floor | faithful / floor, CPU time |\n");
        std::printf("|---:|---:|---:|---:|---:|\n");
        for (const auto& [size, f] : bySize_) {
            if (f.faithfulSeconds == 0 || f.floorSeconds == 0) continue;
            std::printf("| %d | %.1f | %.1f | %.2f | %.2f |\n", size, f.faithfulSeconds * MillisecondsPerSecond,
                        f.floorSeconds * MillisecondsPerSecond, f.faithfulSeconds / f.floorSeconds,
                        f.faithfulCpuSeconds / f.floorCpuSeconds);
        }
    }
    if (bySize_.size() < 2) return;
    const auto& [smallestSize, smallest] = *bySize_.begin();
    const auto& [largestSize, largest] = *bySize_.rbegin();
    if (smallest.convertSeconds == 0 || largest.convertSeconds == 0) return;
    std::printf("\nconversion time, %d MB over %d MB document: %.2f (CPU time %.2f; input size ratio %.2f)\n",
                largestSize, smallestSize, largest.convertSeconds / smallest.convertSeconds,
                largest.convertCpuSeconds / smallest.convertCpuSeconds, largest.inputBytes / smallest.inputBytes);
}

}  // namespace zentoro::bench
