#include "ui/batch_conversion.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "convert/native_path.h"
#include "convert/zentoro.h"
#include "ui/batch_summary.h"
#include "ui/console_front_end.h"
#include "ui/dialog_messages.h"
#include "ui/folder_walk.h"
#include "ui/output_paths.h"
#include "ui/progress_line.h"
#include "ui/word_file_probe.h"

namespace zentoro {

namespace fs = std::filesystem;

namespace {

constexpr const char* WordFileMessage = "Psion 5 Word file";
constexpr const char* WouldConvertMessage = "would be converted";
constexpr const char* SameFileMessage = "refusing to write the output over the input file";

struct Job {
    std::string input;
    std::string output;
    bool walked = false;  // found in a folder rather than named on the command line
    EntryKind kind = EntryKind::RegularFile;
    std::string problem;
};

bool isDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(pathFromNative(path), error);
}

bool anyDirectory(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (isDirectory(path)) return true;
    }
    return false;
}

bool namesSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(pathFromNative(a), pathFromNative(b), error);
}

// Something other than a regular file is there (a folder, device or FIFO).
bool isSpecialFile(const std::string& path) {
    std::error_code error;
    fs::file_status status = fs::status(pathFromNative(path), error);
    return fs::exists(status) && !fs::is_regular_file(status);
}

std::string cannotRead(const std::string& problem) { return "cannot be read (" + problem + ")"; }

class BatchRun {
public:
    explicit BatchRun(const ConsoleOptions& options)
        : options_(options),
          walksFolders_(anyDirectory(options.inputs)),
          progress_(walksFolders_ ? ProgressLine::onStandardError() : ProgressLine(stderr, false, 0)) {}

    int run() {
        std::vector<Job> jobs = plan();
        for (size_t i = 0; i < jobs.size(); ++i) {
            progress_.show(i, jobs.size(), jobs[i].input);
            process(jobs[i]);
        }
        progress_.clear();
        if (walksFolders_) summary_.print(stdout, options_.action);
        std::fflush(stdout);
        return summary_.anyFailed() ? ExitSomeFailed : ExitSuccess;
    }

private:
    std::vector<Job> plan() const {
        std::vector<Job> jobs;
        fs::path excluded = options_.outputDir ? pathFromNative(*options_.outputDir) : fs::path();
        for (const std::string& input : options_.inputs) {
            if (!isDirectory(input)) {
                jobs.push_back(namedJob(input));
                continue;
            }
            for (WalkEntry& entry : walkFolder(pathFromNative(input), excluded)) jobs.push_back(walkedJob(entry));
        }
        return jobs;
    }

    Job namedJob(const std::string& input) const {
        std::string output = options_.outputPath
                                 ? *options_.outputPath
                                 : outputPathFor(input, pathFromNative(input).filename(), options_.outputDir);
        return Job{input, output, false, EntryKind::RegularFile, {}};
    }

    Job walkedJob(WalkEntry& entry) const {
        std::string input = nativeFromPath(entry.path);
        std::string output = outputPathFor(input, entry.relative, options_.outputDir);
        return Job{input, output, true, entry.kind, std::move(entry.problem)};
    }

    void process(const Job& job) {
        if (!job.walked) return processNamedFile(job);
        switch (job.kind) {
            case EntryKind::RegularFile: return processWalkedFile(job);
            case EntryKind::OtherEntry: return skip(job, "not a regular file");
            case EntryKind::DirectoryLink: return skip(job, "symbolic link to a folder, not followed");
            case EntryKind::UnreadableDirectory: return fail(job.input, cannotRead(job.problem));
        }
    }

    // A named file is checked aloud, as the dialog does, and is a failure
    // when it is not a Word document.
    void processNamedFile(const Job& job) {
        if (!printHeaderCheck(job.input)) return fail(job.input, NotWordFileMessage);
        processWordDocument(job);
    }

    // A file found in a folder is checked quietly and passed over when it
    // is not a Word document.
    void processWalkedFile(const Job& job) {
        ProbedFile probe = probeWordFile(job.input);
        if (probe.kind == FileKind::Unreadable) return fail(job.input, cannotRead(probe.problem));
        if (probe.kind == FileKind::WordDocument) return processWordDocument(job);
        if (options_.verbose) printHeaderCheck(job.input);
        skip(job, "not a Psion 5 Word file");
    }

    void processWordDocument(const Job& job) {
        if (options_.action == ConsoleAction::CheckOnly) return succeed(job.input, WordFileMessage);
        std::string refusal = refusalFor(job);
        if (!refusal.empty()) return fail(job.input, refusal);
        std::string subject = job.input + " -> " + job.output;
        if (options_.action == ConsoleAction::DryRun) return succeed(subject, WouldConvertMessage);
        if (convert(job)) return succeed(subject, ConvertedMessage);
        fail(job.input, ConversionFailedMessage, subject);
    }

    // Why the output must not be written, or nothing.
    std::string refusalFor(const Job& job) {
        if (namesSameFile(job.input, job.output)) return SameFileMessage;
        // Outputs the user did not name never replace a Word document, which
        // may well be another input of this run, nor anything but a file: a
        // FIFO would hang the run.
        if (!options_.outputPath) {
            if (isSpecialFile(job.output)) {
                return "refusing to write " + job.output + ", which is not a regular file";
            }
            if (probeWordFile(job.output).kind == FileKind::WordDocument) {
                return "refusing to replace the Word document " + job.output;
            }
        }
        if (auto other = claims_.claim(job.output, job.input)) {
            return "refusing to write " + job.output + ", the output of " + *other + " too";
        }
        return {};
    }

    bool convert(const Job& job) {
        if (options_.outputDir) {
            std::error_code error;
            fs::create_directories(pathFromNative(job.output).parent_path(), error);
        }
        bool converted = convertDocument(job.input.c_str(), job.output.c_str()) == 0;
        std::fflush(stdout);
        return converted;
    }

    // Runs checkWordFile, whose diagnostics go to standard output.
    bool printHeaderCheck(const std::string& path) {
        progress_.clear();
        std::fflush(stdout);
        bool isWord = checkWordFile(path.c_str()) == 0;
        std::fflush(stdout);
        return isWord;
    }

    void report(const std::string& subject, const std::string& message) {
        progress_.clear();
        std::printf("%s: %s\n", subject.c_str(), message.c_str());
        std::fflush(stdout);
    }

    void succeed(const std::string& subject, const std::string& message) {
        report(subject, message);
        summary_.addSucceeded();
    }

    void skip(const Job& job, const std::string& reason) {
        if (options_.verbose) report(job.input, "skipped, " + reason);
        summary_.addSkipped();
    }

    void fail(const std::string& path, const std::string& reason) { fail(path, reason, path); }

    void fail(const std::string& path, const std::string& reason, const std::string& subject) {
        report(subject, reason);
        summary_.addFailure(path, reason);
    }

    const ConsoleOptions& options_;
    bool walksFolders_;
    ProgressLine progress_;
    BatchSummary summary_;
    OutputClaims claims_;
};

}  // namespace

int runConversions(const ConsoleOptions& options) { return BatchRun(options).run(); }

}  // namespace zentoro
