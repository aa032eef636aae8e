// Prints, after the benchmarks' own report, the figures the goals are stated
// in: conversion time over copy floor time, input MB/s, and how the time
// grows with the document.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace zentoro::bench {

// Names of the two benchmark families the summary pairs by argument.
inline constexpr const char* ConvertName = "Convert";
inline constexpr const char* CopyFloorName = "CopyFloor";
// The faithful conversion of the same documents, reported beside them.
inline constexpr const char* ConvertFaithfulName = "ConvertFaithful";
// The statistic the summary takes when benchmarks are repeated.
inline constexpr const char* FastestName = "min";
// Counters the conversion benchmark sets, read back for the summary.
inline constexpr const char* InputBytesCounter = "input_bytes";
inline constexpr const char* OutputBytesCounter = "output_bytes";

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that a report saved to a file reads plainly.
    RatioReporter();
    void ReportRuns(const std::vector<Run>& runs) override;
    // A Markdown table, one row per document size, and the growth ratio.
    void printSummary() const;

private:
    struct Figures {
        double convertSeconds = 0;  // wall-clock time
        double floorSeconds = 0;
        double convertCpuSeconds = 0;  // this thread's processor time, steadier on a busy machine
        double floorCpuSeconds = 0;
        double faithfulSeconds = 0;
        double faithfulCpuSeconds = 0;
        double inputBytes = 0;
        double outputBytes = 0;
    };
    void record(const Run& run);
    std::map<int, Figures> bySize_;  // keyed by the text size in MB
};

}  // namespace zentoro::bench
