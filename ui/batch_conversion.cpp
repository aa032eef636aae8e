#include "ui/batch_conversion.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "convert/extract_pictures.h"
#include "convert/native_path.h"
#include "convert/zentoro.h"
#include "ui/batch_summary.h"
#include "ui/console_front_end.h"
#include "ui/dialog_messages.h"
#include "ui/escaped_name.h"
#include "ui/failure_messages.h"
#include "ui/folder_walk.h"
#include "ui/format_conversion.h"
#include "ui/interrupt_signals.h"
#include "ui/output_paths.h"
#include "ui/progress_line.h"
#include "ui/report_lines.h"
#include "ui/word_file_probe.h"

namespace zentoro {

namespace fs = std::filesystem;

namespace {

constexpr const char* WordFileMessage = "Psion 5 Word file";
constexpr const char* WouldConvertMessage = "would be converted";
constexpr int SignalExitBase = 128;

struct Job {
    std::string input;   // a path, or "-" for standard input
    std::string output;  // a path, or "-" for standard output
    bool walked = false;  // found in a folder rather than named on the command line
    EntryKind kind = EntryKind::RegularFile;
    std::string problem;
    bool viaLink = false;
};

bool isStandardStream(const std::string& path) { return path == StandardStreamName; }

bool isDirectory(const std::string& path) {
    std::error_code error;
    return !isStandardStream(path) && fs::is_directory(pathFromNative(path), error);
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

bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// Something other than a regular file is there (a folder, device or FIFO).
bool isSpecialFile(const std::string& path) {
    std::error_code error;
    fs::file_status status = fs::status(pathFromNative(path), error);
    return fs::exists(status) && !fs::is_regular_file(status);
}

// `-o /dev/stdout` and its like: the output is the standard output itself,
// so the reports must go elsewhere.
bool isStandardOutput(const std::string& path) {
#ifndef _WIN32
    struct stat named;
    struct stat standard;
    return ::stat(path.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &standard) == 0 &&
           named.st_dev == standard.st_dev && named.st_ino == standard.st_ino;
#else
    (void)path;
    return false;
#endif
}

std::string shown(const std::string& path, const char* standardName) {
    return isStandardStream(path) ? standardName : escapedName(path);
}
std::string shownInput(const std::string& path) { return shown(path, "standard input"); }
std::string shownOutput(const std::string& path) { return shown(path, "standard output"); }

void useBinaryMode(std::FILE* stream) {
#ifdef _WIN32
    ::_setmode(::_fileno(stream), _O_BINARY);
#else
    (void)stream;
#endif
}

class BatchRun {
public:
    explicit BatchRun(const ConsoleOptions& options)
        : options_(options),
          walksFolders_(anyDirectory(options.inputs)),
          documentOnStandardOutput_(writesStandardOutput(options)),
          progress_(walksFolders_ ? ProgressLine::onStandardError() : ProgressLine(stderr, false, 0)),
          reports_(documentOnStandardOutput_ ? stderr : stdout, options.quiet, progress_) {}

    int run() {
        std::vector<Job> jobs = plan();
        for (size_t i = 0; i < jobs.size() && interruptingSignal() == 0; ++i) {
            progress_.show(i, jobs.size(), jobs[i].input);
            process(jobs[i]);
        }
        progress_.clear();
        int signal = interruptingSignal();
        if (signal != 0) reports_.failure("zentoro: interrupted\n");
        if (walksFolders_) reports_.always(summary_.text(options_.action));
        if (signal != 0) return SignalExitBase + signal;
        if (reports_.reportError() != 0) {
            std::fprintf(stderr, "zentoro: cannot write the reports: %s\n", std::strerror(reports_.reportError()));
            return ExitSomeFailed;
        }
        return summary_.anyFailed() ? ExitSomeFailed : ExitSuccess;
    }

private:
    static bool writesStandardOutput(const ConsoleOptions& options) {
        if (options.action != ConsoleAction::Convert) return false;
        if (options.outputPath) return isStandardStream(*options.outputPath) || isStandardOutput(*options.outputPath);
        for (const std::string& input : options.inputs) {
            if (isStandardStream(input) && !options.outputDir) return true;
        }
        return false;
    }

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

    std::string outputOf(const std::string& input) const {
        if (documentOnStandardOutput_ && (options_.outputPath || isStandardStream(input))) {
            return std::string(StandardStreamName);
        }
        if (options_.outputPath) return *options_.outputPath;
        return outputPathFor(input, pathFromNative(input).filename(), options_.outputDir, extensionOf(options_.format));
    }

    Job namedJob(const std::string& input) const {
        Job job;
        job.input = input;
        job.output = outputOf(input);
        return job;
    }

    Job walkedJob(WalkEntry& entry) const {
        Job job;
        job.input = nativeFromPath(entry.path);
        job.output = outputPathFor(job.input, entry.relative, options_.outputDir, extensionOf(options_.format));
        job.walked = true;
        job.kind = entry.kind;
        job.problem = std::move(entry.problem);
        job.viaLink = entry.viaLink;
        return job;
    }

    void process(const Job& job) {
        if (!job.walked) return processNamedFile(job);
        switch (job.kind) {
            case EntryKind::RegularFile: return processWalkedFile(job);
            case EntryKind::OtherEntry: return skip(job, "not a regular file");
            case EntryKind::DirectoryLink: return skip(job, "symbolic link to a folder, not followed");
            case EntryKind::UnreadableDirectory:
            case EntryKind::Unreachable: return fail(job, job.problem);
        }
    }

    // A named file is checked as the dialog does, with the header check's
    // message, and is a failure when it is not a Word document.
    void processNamedFile(const Job& job) {
        if (isStandardStream(job.input)) {
            useBinaryMode(stdin);
            if (options_.action != ConsoleAction::CheckOnly) return processWordDocument(job);
        }
        ProbedFile probe = isStandardStream(job.input) ? probeWordStream(stdin) : probeWordFile(job.input);
        if (probe.kind == FileKind::Unreadable) return fail(job, probe.problem);
        if (probe.kind == FileKind::OtherFile) {
            reports_.failure(probe.headerMessage);
            return fail(job, NotWordFileMessage);
        }
        processWordDocument(job);
    }

    // A file found in a folder is checked quietly and passed over, with its
    // reason, when it is not a Word document.
    void processWalkedFile(const Job& job) {
        ProbedFile probe = probeWordFile(job.input, job.viaLink);
        if (probe.kind == FileKind::Unreadable) return fail(job, probe.problem);
        if (probe.kind == FileKind::WordDocument) return processWordDocument(job);
        skip(job, "not a Word document: " + probe.problem);
    }

    void processWordDocument(const Job& job) {
        if (options_.action == ConsoleAction::CheckOnly) return succeed(shownInput(job.input), WordFileMessage);
        if (!isStandardStream(job.output)) {
            if (options_.noClobber && exists(job.output)) return keep(job);
            std::string refusal = refusalFor(job);
            if (!refusal.empty()) return fail(job, refusal);
        }
        if (options_.action == ConsoleAction::DryRun) return succeed(subject(job), WouldConvertMessage);
        convert(job);
    }

    // Why the output must not be written, or nothing.
    std::string refusalFor(const Job& job) {
        std::string output = shownOutput(job.output);
        if (!isStandardStream(job.input) && namesSameFile(job.input, job.output)) {
            return failureReason({Failure::SameFile, 0, false}, output);
        }
        // Outputs the user did not name are never anything but a file: a
        // FIFO would hang the run.
        if (!options_.outputPath && isSpecialFile(job.output)) {
            return "refusing to write " + output + ", which is not a regular file";
        }
        // A Word document is never replaced, even when named: it may well be
        // another input of this run, or the only copy of a document.
        if (probeWordFile(job.output, false).kind == FileKind::WordDocument) {
            return failureReason({Failure::OutputIsWordDocument, 0, false}, output);
        }
        std::optional<std::string> other = claims_.claim(job.output, job.input);
        if (!other) other = written_.writerOf(job.output);
        if (other && *other != job.input) {
            return "refusing to write " + output + ", the output of " + escapedName(*other) + " too";
        }
        return {};
    }

    ConversionRequest requestFor(const Job& job) const {
        ConversionRequest request;
        if (isStandardStream(job.input)) {
            request.inputStream = stdin;
        } else {
            request.inputPath = job.input.c_str();
        }
        request.followInputLink = !job.walked || job.viaLink;
        if (isStandardStream(job.output)) {
            useBinaryMode(stdout);
            request.outputStream = stdout;
        } else {
            request.outputPath = job.output.c_str();
        }
        request.existingOutput = options_.noClobber ? ExistingOutput::Keep : ExistingOutput::KeepWordDocument;
        // A named file's messages go with its report, on standard error (the
        // header check's has been shown already); a walk's files are quiet.
        request.diagnostics = job.walked ? nullptr : stderr;
        return request;
    }

    void convert(const Job& job) {
        // The pictures are read from the input file again after the conversion.
        if (options_.extractPicturesDir && isStandardStream(job.input)) {
            return fail(job, "pictures are extracted from files only, not from standard input");
        }
        if (options_.outputDir) {
            std::error_code error;
            fs::create_directories(pathFromNative(job.output).parent_path(), error);
        }
        progress_.clear();
        FormatConversion conversion = convertToFormat(requestFor(job), options_);
        if (isStandardStream(job.output)) std::fflush(stdout);
        const ConversionResult& result = conversion.result;
        if (conversion.unavailable != nullptr) {
            return fail(job, std::string(ConversionFailedMessage) + ": " + conversion.unavailable);
        }
        // The interrupted file is not reported: the run stops here.
        if (result.failure == Failure::Interrupted) return;
        if (result.failure == Failure::OutputExists) return keep(job);
        if (!result.succeeded()) {
            return fail(job, failureReason(result, shownOutput(job.output), isStandardStream(job.output)));
        }
        if (!isStandardStream(job.output)) written_.record(job.output, job.input);
        if (options_.extractPicturesDir && !writePictures(job)) return;
        succeed(subject(job), ConvertedMessage);
    }

    // Writes the document's sketches as PNG files into --extract-pictures'
    // folder: a warning for each sketch that cannot be drawn, a failure of
    // the file when the pictures cannot be written.
    bool writePictures(const Job& job) {
        const std::string& folder = *options_.extractPicturesDir;
        std::error_code error;
        fs::create_directories(folder, error);
        PictureExtraction extraction = extractPictures(job.input.c_str(), folder.c_str());
        for (const std::string& warning : extraction.warnings) {
            reports_.failure(shownInput(job.input) + ": warning: " + warning + "\n");
        }
        if (!extraction.result.succeeded()) {
            std::string reason = describeFailure(extraction.result.failure);
            if (extraction.result.systemError != 0) reason += std::string(": ") + std::strerror(extraction.result.systemError);
            fail(job, "pictures not written to " + escapedName(folder) + ": " + reason);
            return false;
        }
        if (extraction.written > 0) {
            reports_.success(shownInput(job.input) + ": " + std::to_string(extraction.written) +
                             (extraction.written == 1 ? " picture" : " pictures") + " written to " + escapedName(folder) + "\n");
        }
        return true;
    }

    static std::string subject(const Job& job) { return shownInput(job.input) + " -> " + shownOutput(job.output); }

    // Each outcome is reported after those of the files before it, whose
    // conversions may still be running.
    void succeed(const std::string& subject, const std::string& message) {
        reports_.success(subject + ": " + message + "\n");
        summary_.addSucceeded();
    }

    void skip(const Job& job, const std::string& reason) {
        if (options_.verbose) reports_.success(shownInput(job.input) + ": skipped, " + reason + "\n");
        summary_.addSkipped();
    }

    // --no-clobber found a file at the output path and left it as it was.
    void keep(const Job& job) {
        reports_.success(shownInput(job.input) + ": skipped, " + shownOutput(job.output) + " exists\n");
        summary_.addKept();
    }

    void fail(const Job& job, const std::string& reason) {
        reports_.failure(shownInput(job.input) + ": " + reason + "\n");
        summary_.addFailure(shownInput(job.input), reason);
    }

    const ConsoleOptions& options_;
    bool walksFolders_;
    bool documentOnStandardOutput_;
    ProgressLine progress_;
    ReportLines reports_;
    BatchSummary summary_;
    OutputClaims claims_;
    WrittenOutputs written_;
};

}  // namespace

int runConversions(const ConsoleOptions& options) {
    catchInterruptions();
    return BatchRun(options).run();
}

}  // namespace zentoro
