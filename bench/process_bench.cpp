// What a user waits for: a fresh `zentoro` process per conversion, against
// a fresh copy process as the floor, for a large document of each shape and
// for a folder of small documents against `cp -r`. Every measurement and its
// floor run in turn within each repetition, so that both see the same load
// on the machine; the fastest repetition of each is reported.
//
// zentoro_process_bench [--zentoro PATH]... [--repetitions N] [--megabytes M] [--documents K]
//
// More than one --zentoro measures each program in the same run (say, a
// build from before a change and one from after).
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/scaled_document.h"

extern char** environ;

namespace zentoro::bench {

namespace {

namespace fs = std::filesystem;

struct Options {
    std::vector<std::string> programs;
    int repetitions = 5;
    size_t megabytes = 5;
    int documents = 1000;
};

// One timed command: the fastest wall-clock time over the repetitions and
// the largest resident set any run of it had.
struct Measurement {
    std::string name;
    std::vector<std::string> command;
    std::function<void()> prepare;  // untimed, before every run
    double fastestSeconds = std::numeric_limits<double>::infinity();
    double fastestCpuSeconds = std::numeric_limits<double>::infinity();  // user + system
    long peakKilobytes = 0;
    bool failed = false;
};

// A row of the report: a measurement over its floor.
struct Row {
    size_t measured;
    size_t floor;
};

double cpuSeconds(const rusage& usage) {
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the command with standard output and error sent to /dev/null.
bool runTimed(Measurement& m) {
    std::vector<char*> argv;
    for (std::string& word : m.command) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return false;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    m.fastestSeconds = std::min(m.fastestSeconds, seconds);
    m.fastestCpuSeconds = std::min(m.fastestCpuSeconds, cpuSeconds(usage));
    return true;
}

// Runs the command once more through the peak memory launcher, whose own
// small footprint is all that the command's peak can inherit.
void measurePeakMemory(Measurement& m, const std::string& resultFile) {
    Measurement launched{m.name, {ZENTORO_PEAK_MEMORY_PATH, resultFile}, m.prepare};
    launched.command.insert(launched.command.end(), m.command.begin(), m.command.end());
    if (launched.prepare) launched.prepare();
    if (!runTimed(launched)) return;
    if (std::FILE* result = std::fopen(resultFile.c_str(), "r")) {
        if (std::fscanf(result, "%ld", &m.peakKilobytes) != 1) m.peakKilobytes = 0;
        std::fclose(result);
    }
}

std::vector<uint8_t> shapeDocument(const std::string& shape, size_t textBytes) {
    return shape == "phrases" ? testing::manyPhrasesDocument(textBytes) : testing::scaledDocument(textBytes);
}

// Small documents of both shapes and of 300 to 3,300 characters of text,
// in ten subfolders.
void writeSmallDocuments(const fs::path& folder, int count) {
    for (int i = 0; i < count; ++i) {
        fs::path sub = folder / ("folder" + std::to_string(i % 10));
        fs::create_directories(sub);
        size_t text = 300 + static_cast<size_t>(i * 37 % 3000);
        testing::writeFile((sub / ("doc" + std::to_string(i) + ".wrd")).string(),
                           shapeDocument(i % 2 == 0 ? "scaled" : "phrases", text));
    }
}

std::string programLabel(const Options& options, size_t index) {
    return options.programs.size() == 1 ? std::string("zentoro") : "zentoro#" + std::to_string(index + 1);
}

class ProcessBench {
public:
    ProcessBench(Options options, fs::path work) : options_(std::move(options)), work_(std::move(work)) {}

    int run() {
        for (const char* shape : {"scaled", "phrases"}) addDocument(shape);
        addFolder();
        addSmallDocumentMemory();
        for (int r = 0; r < options_.repetitions; ++r) {
            for (Measurement& m : measurements_) {
                if (m.failed) continue;
                if (m.prepare) m.prepare();
                if (!runTimed(m)) m.failed = true;
            }
        }
        for (Measurement& m : measurements_) {
            if (!m.failed) measurePeakMemory(m, (work_ / "peak").string());
        }
        printReport();
        return 0;
    }

private:
    size_t add(std::string name, std::vector<std::string> command, std::function<void()> prepare = {}) {
        measurements_.push_back(Measurement{std::move(name), std::move(command), std::move(prepare)});
        return measurements_.size() - 1;
    }

    void addDocument(const std::string& shape) {
        std::string input = (work_ / (shape + ".wrd")).string();
        // The many-phrases shape carries about twice as many format bytes per
        // character, so a third of the text makes a document of about the same size.
        size_t textBytes = options_.megabytes * testing::Megabyte / (shape == "phrases" ? 3 : 1);
        std::vector<uint8_t> document = shapeDocument(shape, textBytes);
        testing::writeFile(input, document);
        std::string output = (work_ / (shape + ".rtf")).string();
        std::string sizeName = std::to_string(document.size() / 100000 / 10.0).substr(0, 4);
        std::vector<size_t> conversions;
        // Every run writes a new file, as a first conversion does: replacing a
        // file costs its own, on some file systems much more than the writing.
        auto removeOutput = [](std::string path) { return [path] { std::remove(path.c_str()); }; };
        for (size_t p = 0; p < options_.programs.size(); ++p) {
            conversions.push_back(add(programLabel(options_, p) + " " + shape + " " + sizeName + " MB",
                                      {options_.programs[p], "-o", output, input}, removeOutput(output)));
        }
        // The floor writes what the first program writes.
        Measurement probe{"", {options_.programs[0], "-o", output, input}, {}};
        runTimed(probe);
        std::error_code error;
        uintmax_t outputSize = fs::file_size(output, error);
        size_t floor = add("copy " + shape, {ZENTORO_COPY_PATH, input, output + ".copy", std::to_string(error ? 0 : outputSize)},
                           removeOutput(output + ".copy"));
        for (size_t c : conversions) rows_.push_back({c, floor});
    }

    void addFolder() {
        fs::path folder = work_ / "small";
        writeSmallDocuments(folder, options_.documents);
        std::vector<size_t> conversions;
        for (size_t p = 0; p < options_.programs.size(); ++p) {
            fs::path out = work_ / ("small-rtf" + std::to_string(p));
            conversions.push_back(add(programLabel(options_, p) + " folder of " + std::to_string(options_.documents),
                                      {options_.programs[p], "--output-dir", out.string(), folder.string()},
                                      [out] { fs::remove_all(out); }));
        }
        fs::path copy = work_ / "small-copy";
        size_t floor = add("cp -r", {"cp", "-r", folder.string(), copy.string()}, [copy] { fs::remove_all(copy); });
        for (size_t c : conversions) rows_.push_back({c, floor});
    }

    // The peak memory of a small document is the baseline the large ones are compared with.
    void addSmallDocumentMemory() {
        std::string input = (work_ / "small" / "folder0" / "doc0.wrd").string();
        std::string output = (work_ / "doc0.rtf").string();
        for (size_t p = 0; p < options_.programs.size(); ++p) {
            smallRows_.push_back(add(programLabel(options_, p) + " small document", {options_.programs[p], "-o", output, input},
                                     [output] { std::remove(output.c_str()); }));
        }
    }

    void printReport() const {
        for (size_t p = 0; p < options_.programs.size() && options_.programs.size() > 1; ++p) {
            std::printf("%s: %s\n", programLabel(options_, p).c_str(), options_.programs[p].c_str());
        }
        std::printf("\nFastest of %d runs, each a fresh process:\n\n", options_.repetitions);
        std::printf("| measurement | ms | floor | floor ms | ratio | CPU ms | floor CPU ms | CPU ratio | peak RSS KiB |\n"
                    "|---|---:|---|---:|---:|---:|---:|---:|---:|\n");
        for (const Row& row : rows_) {
            const Measurement& m = measurements_[row.measured];
            const Measurement& f = measurements_[row.floor];
            if (m.failed || f.failed) {
                std::printf("| %s | failed | %s | | | | | | |\n", m.name.c_str(), f.name.c_str());
                continue;
            }
            std::printf("| %s | %.1f | %s | %.1f | %.2f | %.1f | %.1f | %.2f | %ld |\n", m.name.c_str(), m.fastestSeconds * 1e3,
                        f.name.c_str(), f.fastestSeconds * 1e3, m.fastestSeconds / f.fastestSeconds,
                        m.fastestCpuSeconds * 1e3, f.fastestCpuSeconds * 1e3, m.fastestCpuSeconds / f.fastestCpuSeconds,
                        m.peakKilobytes);
        }
        for (size_t index : smallRows_) {
            const Measurement& m = measurements_[index];
            std::printf("| %s | %.1f | | | | %.1f | | | %ld |\n", m.name.c_str(), m.fastestSeconds * 1e3,
                        m.fastestCpuSeconds * 1e3, m.peakKilobytes);
        }
    }

    Options options_;
    fs::path work_;
    std::vector<Measurement> measurements_;
    std::vector<Row> rows_;
    std::vector<size_t> smallRows_;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (option == "--zentoro") {
            options.programs.push_back(fs::absolute(value).string());
        } else if (option == "--repetitions") {
            options.repetitions = std::max(1, std::atoi(value.c_str()));
        } else if (option == "--megabytes") {
            options.megabytes = std::max(1ul, std::strtoul(value.c_str(), nullptr, 10));
        } else if (option == "--documents") {
            options.documents = std::max(1, std::atoi(value.c_str()));
        } else {
            return false;
        }
    }
    if (options.programs.empty()) options.programs.push_back(ZENTORO_CLI_PATH);
    return true;
}

}  // namespace

}  // namespace zentoro::bench

int main(int argc, char** argv) {
    zentoro::bench::Options options;
    if (!zentoro::bench::parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: zentoro_process_bench [--zentoro PATH]... [--repetitions N] [--megabytes M] [--documents K]\n");
        return 2;
    }
    namespace fs = std::filesystem;
    fs::path work = fs::temp_directory_path() / ("zentoro-process-bench-" + std::to_string(getpid()));
    fs::create_directories(work);
    int result = zentoro::bench::ProcessBench(options, work).run();
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return result;
}
