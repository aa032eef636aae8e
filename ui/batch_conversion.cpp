#include "ui/batch_conversion.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "convert/convert_file_kind.h"
#include "convert/extract_pictures.h"
#include "convert/file_kinds.h"
#include "convert/inspect_document.h"
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
#include "ui/worker_threads.h"

namespace zentoro {

namespace fs = std::filesystem;

namespace {

constexpr const char* WordFileMessage = "Psion 5 Word file";
constexpr const char* WouldConvertMessage = "would be converted";
constexpr int SignalExitBase = 128;
#ifdef _WIN32
constexpr int ClosedPipeSignal = -1;  // none: a write to a closed pipe fails with EPIPE
#else
constexpr int ClosedPipeSignal = SIGPIPE;
#endif
// Files checked ahead of the one being reported, per worker: enough to keep
// every worker busy while this thread waits its turn for a core, few enough
// that their reports are held briefly.
constexpr size_t JobsAheadPerWorker = 16;

#ifdef _WIN32
constexpr const char* PathSeparators = "/\\";
#else
constexpr const char* PathSeparators = "/";
#endif

enum class Tally { Untold, Succeeded, Skipped, EarlierOutput, PassedOver, Kept, Failed, Damaged };
enum class Conversion { None, OnWorker, OnCallingThread };

struct ReportLine {
    bool failure;  // to standard error, else to the report stream
    std::string text;
};

struct Job {
    std::string input;   // a path, or "-" for standard input
    std::string output;  // a path, or "-" for standard output
    // A file of a kind other than the Word document: its outputs are this
    // with each suffix its reader gives appended.
    std::string outputBase;
    const FileKindEntry* fileKind = nullptr;  // null: a Word document, or a file of no known kind
    bool walked = false;  // found in a folder rather than named on the command line
    EntryKind kind = EntryKind::RegularFile;
    std::string problem;
    bool viaLink = false;
    bool kindFromListing = false;
    bool earlierOutput = false;  // named as an output of another file of the walk
    // Counted on the progress line, which counts the files that may be
    // documents: not links, special files or earlier outputs.
    bool counted = true;
    size_t progressIndex = 0;

    // What became of it, told in the order of the jobs whatever thread did
    // the work: the lines, then the summary's count.
    Conversion conversion = Conversion::None;
    size_t ticket = 0;
    std::vector<ReportLine> lines;
    Tally tally = Tally::Untold;
    std::string failureReason;
    // A walked Word document as checked, for its conversion: a descriptor
    // or a stream (ui/word_file_probe.h).
    OpenDescriptor inputDescriptor;
    OpenFile inputFile;
    size_t inputSize = 0;
    bool outputAbsent = false;  // nothing stood at the output path when it was decided
    bool written = false;       // the output was put in place
    uint64_t inputKey = 0;      // foldedNameKey of each
    uint64_t outputKey = 0;
};

// A key of the last part of a path, folded to lower case with any byte
// outside ASCII as '?': names that can be one file on a file system that
// folds case have the same key, and so do some that cannot.
uint64_t foldedNameKey(std::string_view path) {
    size_t slash = path.find_last_of(PathSeparators);
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    uint64_t key = 14695981039346656037ull;  // FNV-1a
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) byte = '?';
        if (byte >= 'A' && byte <= 'Z') byte = static_cast<unsigned char>(byte - 'A' + 'a');
        key = (key ^ byte) * 1099511628211ull;
    }
    return key;
}

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

// Anything at all, a dangling link included.
bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(pathFromNative(path), error));
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

    // Each file is checked, and its output decided, on this thread in the
    // order of the files; its conversion runs on a worker; what became of it
    // is reported here in the same order. With one worker all three happen
    // in turn, file by file.
    int run() {
        jobs_ = plan();
        unsigned count = workerCount();
        WorkerThreads workers(count, leaveInterruptionsToOtherThreads);
        workers_ = &workers;
        size_t ahead = workers.runsElsewhere() ? JobsAheadPerWorker * count : 1;
        while (reported_ < jobs_.size()) {
            while (decided_ < jobs_.size() && decided_ < reported_ + ahead && interruptingSignal() == 0) decideNext();
            if (reported_ == decided_) break;
            reportNext();
        }
        workers_ = nullptr;
        progress_.clear();
        int signal = interruptingSignal();
        if (signal == ClosedPipeSignal) {
            reports_.failure("zentoro: stopped: the pipe it wrote to was closed\n");
            return ExitSomeFailed;
        }
        if (signal != 0) reports_.failure("zentoro: interrupted\n");
        if (walksFolders_ || summarised()) reports_.always(summary_.text(options_.action));
        reports_.flush();
        if (signal != 0) return SignalExitBase + signal;
        if (reports_.reportError() != 0) {
            std::fprintf(stderr, "zentoro: cannot write the reports: %s\n", std::strerror(reports_.reportError()));
            return ExitSomeFailed;
        }
        return summary_.anyFailed() ? ExitSomeFailed : ExitSuccess;
    }

private:
    // A folder's run, and a run over several inputs, close with a summary.
    bool summarised() const { return options_.inputs.size() > 1; }

    static bool writesStandardOutput(const ConsoleOptions& options) {
        if (options.action != ConsoleAction::Convert) return false;
        if (options.outputPath) return isStandardStream(*options.outputPath) || isStandardOutput(*options.outputPath);
        for (const std::string& input : options.inputs) {
            if (isStandardStream(input) && !options.outputDir) return true;
        }
        return false;
    }

    // Workers pay only where there are several files to convert, each to a
    // file of its own.
    unsigned workerCount() const {
        if (options_.action != ConsoleAction::Convert || documentOnStandardOutput_ || jobs_.size() < 2) return 1;
        for (const std::string& input : options_.inputs) {
            if (isStandardStream(input)) return 1;
        }
        // Named files are converted on the calling thread, in their turn.
        if (std::none_of(jobs_.begin(), jobs_.end(), [](const Job& job) { return job.walked; })) return 1;
        return options_.workers != 0 ? options_.workers : WorkerThreads::forThisMachine();
    }

    std::vector<Job> plan() {
        std::vector<Job> jobs;
        fs::path excluded = options_.outputDir ? pathFromNative(*options_.outputDir) : fs::path();
        for (const std::string& input : options_.inputs) {
            if (!isDirectory(input)) {
                jobs.push_back(namedJob(input));
                continue;
            }
            for (WalkEntry& entry : walkFolder(pathFromNative(input), excluded)) jobs.push_back(walkedJob(entry));
        }
        markEarlierOutputs(jobs);
        for (Job& job : jobs) {
            job.counted = !job.walked || (job.kind == EntryKind::RegularFile && !job.earlierOutput);
            job.progressIndex = progressTotal_;
            progressTotal_ += job.counted;
        }
        return jobs;
    }

    // A walked file named as another walked file's output in this run's
    // format: "letter.rtf" beside "letter". Still checked, and converted if
    // it is a Word document after all; only counted apart.
    void markEarlierOutputs(std::vector<Job>& jobs) const {
        std::unordered_set<std::string_view> walked;
        for (const Job& job : jobs) {
            if (job.walked) walked.insert(job.input);
        }
        std::string_view ending = extensionOf(options_.format);
        for (Job& job : jobs) {
            std::string_view input = job.input;
            if (!job.walked || input.size() <= ending.size()) continue;
            if (input.substr(input.size() - ending.size()) != ending) continue;
            job.earlierOutput = walked.count(input.substr(0, input.size() - ending.size())) != 0;
        }
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
        job.outputBase = options_.outputPath ? *options_.outputPath
                                             : outputPathFor(input, pathFromNative(input).filename(), options_.outputDir, "");
        return job;
    }

    Job walkedJob(WalkEntry& entry) const {
        Job job;
        job.input = nativeFromPath(entry.path);
        job.output = outputPathFor(job.input, entry.relative, options_.outputDir, extensionOf(options_.format));
        job.outputBase = outputPathFor(job.input, entry.relative, options_.outputDir, "");
        job.walked = true;
        job.kind = entry.kind;
        job.problem = std::move(entry.problem);
        job.viaLink = entry.viaLink;
        job.kindFromListing = entry.kindFromListing;
        return job;
    }

    // Checks the next file and decides its output, once every earlier file
    // whose output may be this one's input or output, or whose pictures may
    // share names with this one's, has been converted and reported: the
    // checks then see what a run of one file after another would see.
    void decideNext() {
        Job& job = jobs_[decided_];
        job.inputKey = foldedNameKey(job.input);
        job.outputKey = foldedNameKey(job.output);
        for (size_t i = decided_; i-- > reported_;) {
            if (mayMeet(jobs_[i], job)) {
                while (reported_ <= i) reportNext();
                break;
            }
        }
        if (!workers_->runsElsewhere()) showProgress(job);
        process(job);
        ++decided_;
        if (job.conversion == Conversion::OnWorker) {
            job.ticket = workers_->handIn([this, &job] { convertOnWorker(job); });
        }
    }

    void showProgress(const Job& job) {
        if (job.counted) progress_.show(job.progressIndex, progressTotal_, job.input);
    }

    bool mayMeet(const Job& earlier, const Job& later) const {
        if (earlier.conversion == Conversion::None) return false;
        if (earlier.outputKey == later.outputKey || earlier.outputKey == later.inputKey) return true;
        return options_.extractPicturesDir && earlier.inputKey == later.inputKey;
    }

    void reportNext() {
        Job& job = jobs_[reported_++];
        if (workers_->runsElsewhere()) showProgress(job);
        if (job.conversion == Conversion::OnWorker) workers_->waitFor(job.ticket);
        if (job.conversion == Conversion::OnCallingThread) convertHere(job);
        if (job.written) written_.record(job.output, job.input);
        for (const ReportLine& line : job.lines) {
            if (line.failure) {
                reports_.failure(line.text);
            } else {
                reports_.success(line.text);
            }
        }
        switch (job.tally) {
            case Tally::Untold: break;
            case Tally::Succeeded: summary_.addSucceeded(job.fileKind ? *job.fileKind : wordDocumentKind()); break;
            case Tally::Skipped: summary_.addPassedOver(job.fileKind); break;
            case Tally::EarlierOutput: summary_.addEarlierOutput(); break;
            case Tally::PassedOver: summary_.addSpecialFile(); break;
            case Tally::Kept: summary_.addKept(); break;
            case Tally::Failed: summary_.addFailure(shownInput(job.input), job.failureReason); break;
            case Tally::Damaged: summary_.addDamaged(shownInput(job.input), job.failureReason); break;
        }
        job = Job{};
    }

    void process(Job& job) {
        if (!job.walked) return processNamedFile(job);
        switch (job.kind) {
            case EntryKind::RegularFile: return processWalkedFile(job);
            case EntryKind::OtherEntry: return skip(job, "not a regular file", Tally::PassedOver);
            case EntryKind::DirectoryLink: return skip(job, "symbolic link to a folder, not followed", Tally::PassedOver);
            case EntryKind::UnreadableDirectory:
            case EntryKind::Unreachable: return fail(job, job.problem);
        }
    }

    // A named file is a failure when it is not a Word document, told in one
    // line with what the file is, by its kind where the table knows it
    // (--check converts nothing else); --check -v shows the header check's own
    // message before it, as the design prints it.
    void processNamedFile(Job& job) {
        if (isStandardStream(job.input)) {
            useBinaryMode(stdin);
            if (options_.action != ConsoleAction::CheckOnly) return processWordDocument(job);
        }
        ProbedFile probe = isStandardStream(job.input) ? probeWordStream(stdin) : probeWordFile(job.input);
        if (probe.kind == FileKind::Unreadable) return fail(job, probe.problem);
        const FileKindEntry* kind = kindOf(probe.header, probe.headerSize);
        if (probe.kind == FileKind::OtherFile && kind != nullptr && kind->convert != nullptr &&
            !isStandardStream(job.input) && options_.action != ConsoleAction::CheckOnly) {
            return processKindFile(job, *kind);
        }
        if (probe.kind == FileKind::OtherFile) {
            bool designMessage = options_.action == ConsoleAction::CheckOnly && options_.verbose;
            if (designMessage && probe.headerMessage != nullptr) job.lines.push_back({true, probe.headerMessage});
            std::string what = kind != nullptr ? "it is " + kindWithArticle(*kind) : probe.problem;
            return fail(job, "not a Word document: " + what);
        }
        processWordDocument(job);
    }

    // A file found in a folder is checked quietly and passed over, with its
    // reason, when it is not a Word document.
    void processWalkedFile(Job& job) {
        ProbedFile probe = probeWordFile(job.input, job.viaLink, options_.action == ConsoleAction::Convert);
        if (probe.kind == FileKind::Unreadable) {
            // Said as the walk says it when the file was not looked up before.
            std::string unreachable = job.kindFromListing ? unreachableProblem(pathFromNative(job.input)) : "";
            return fail(job, unreachable.empty() ? probe.problem : unreachable);
        }
        const FileKindEntry* kind = kindOf(probe.header, probe.headerSize);
        if (probe.kind == FileKind::WordDocument && !convertsFamily(options_, KindFamily::Word)) {
            return passOver(job, &wordDocumentKind(), "not among the kinds to convert");
        }
        if (probe.kind == FileKind::WordDocument) {
            job.inputDescriptor = std::move(probe.descriptor);
            job.inputFile = std::move(probe.file);
            job.inputSize = probe.size;
            processWordDocument(job);
            // Kept open only for a conversion still to come.
            if (job.conversion == Conversion::None) closeInput(job);
            return;
        }
        if (kind == nullptr) {
            Tally tally = job.earlierOutput ? Tally::EarlierOutput : Tally::Skipped;
            return passOver(job, nullptr, "not a file of a known kind: " + probe.problem, tally);
        }
        if (kind->convert == nullptr || options_.action == ConsoleAction::CheckOnly) {
            return passOver(job, kind, kindWithArticle(*kind) + ", not converted");
        }
        if (!convertsFamily(options_, kind->family)) {
            return passOver(job, kind, kindWithArticle(*kind) + ", not among the kinds to convert");
        }
        processKindFile(job, *kind);
    }

    // A file of another kind than the Word document: its outputs are made by
    // its kind's reader, each beside the output base.
    void processKindFile(Job& job, const FileKindEntry& kind) {
        job.fileKind = &kind;
        job.output = job.outputBase;
        if (isStandardStream(job.output)) return fail(job, kindWithArticle(kind) + " is written to files only");
        std::optional<std::string> other = claims_.claim(job.output, job.input);
        if (other && *other != job.input) {
            return fail(job, "refusing to write " + shownOutput(job.output) + "*, the outputs of " + escapedName(*other) +
                                 " too");
        }
        // The file is read and converted in memory, to name each output
        // the conversion would write and to find it refused or damaged.
        if (options_.action == ConsoleAction::DryRun) {
            return reportKindFile(job, listKindFileOutputs(kindRequestFor(job)), true);
        }
        makeOutputFolder(job);
        if (!workers_->runsElsewhere()) return convertHere(job);
        job.conversion = job.walked ? Conversion::OnWorker : Conversion::OnCallingThread;
    }

    // A check or a dry run reads a document as its conversion would, to say
    // whether it is damaged; true when it is.
    bool foundDamaged(Job& job, const std::string& subject, const std::string& message) {
        if (isStandardStream(job.input)) return false;
        ConversionResult inspected = inspectDocument(job.input.c_str());
        if (inspected.failure != Failure::DocumentDamaged || inspected.recovered.damage == Damage::None) return false;
        fail(job, message + ", " + damageFound(inspected));
        job.lines.back().text = subject + ": " + message + ", " + damageFound(inspected) + "\n";
        if (inspected.salvaged()) job.tally = Tally::Damaged;
        return true;
    }

    void processWordDocument(Job& job) {
        if (options_.action == ConsoleAction::CheckOnly) {
            if (foundDamaged(job, shownInput(job.input), WordFileMessage)) return;
            return succeed(job, shownInput(job.input), WordFileMessage);
        }
        if (!isStandardStream(job.output)) {
            // With nothing at the output path, not even a link, only another
            // input's claim on it can stand in the way.
            bool outputStands = exists(job.output);
            if (options_.noClobber && outputStands) return keep(job);
            std::string refusal = refusalFor(job, outputStands);
            if (!refusal.empty()) return fail(job, refusal);
            job.outputAbsent = !outputStands;
        }
        if (options_.action == ConsoleAction::DryRun) {
            // What a damaged document still holds is written, pictures beside it included.
            bool damaged = foundDamaged(job, subject(job), WouldConvertMessage);
            if (!damaged) succeed(job, subject(job), WouldConvertMessage);
            return listPictures(job, damaged);
        }
        // The pictures are read from the input file again after the conversion.
        if (options_.extractPicturesDir && isStandardStream(job.input)) {
            return fail(job, "pictures are extracted from files only, not from standard input");
        }
        std::string folderProblem = makeOutputFolder(job);
        if (!folderProblem.empty()) return fail(job, folderProblem);
        if (!workers_->runsElsewhere()) return convertHere(job);
        // A named file's messages go to standard error as its conversion
        // writes them, between the reports of the files around it: it is
        // converted on this thread, in its turn.
        job.conversion = job.walked ? Conversion::OnWorker : Conversion::OnCallingThread;
    }

    // The folder of an output below --output-dir, made before the output is
    // begun; once for the files of one folder, which a walk hands on
    // together. Says why it cannot be made, with the system's reason.
    std::string makeOutputFolder(const Job& job) {
        if (!options_.outputDir) return {};
        fs::path folder = pathFromNative(job.output).parent_path();
        if (folder == madeFolder_) return madeFolderProblem_;
        std::error_code error;
        fs::create_directories(folder, error);
        madeFolder_ = std::move(folder);
        madeFolderProblem_.clear();
        if (error) madeFolderProblem_ = "cannot make the folder " + escapedName(nativeFromPath(madeFolder_)) + ": " + error.message();
        return madeFolderProblem_;
    }

    // Why the output must not be written, or nothing.
    std::string refusalFor(const Job& job, bool outputStands) {
        std::string output = shownOutput(job.output);
        if (outputStands && !isStandardStream(job.input) && namesSameFile(job.input, job.output)) {
            return failureReason({Failure::SameFile, 0, false}, output);
        }
        // Outputs the user did not name are never anything but a file: a
        // FIFO would hang the run.
        if (outputStands && !options_.outputPath && isSpecialFile(job.output)) {
            return "refusing to write " + output + ", which is not a regular file";
        }
        // A Word document is never replaced, even when named: it may well be
        // another input of this run, or the only copy of a document.
        if (outputStands && probeWordFile(job.output, false).kind == FileKind::WordDocument) {
            return failureReason({Failure::OutputIsWordDocument, 0, false}, output);
        }
        std::optional<std::string> other = claims_.claim(job.output, job.input);
        if (!other && outputStands) other = written_.writerOf(job.output);
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
        request.openedInputDescriptor = job.inputDescriptor.get();
        request.openedInput = job.inputFile.get();
        request.openedInputSize = job.inputSize;
        request.outputAbsent = job.outputAbsent;
        if (isStandardStream(job.output)) {
            useBinaryMode(stdout);
            request.outputStream = stdout;
        } else {
            request.outputPath = job.output.c_str();
        }
        request.existingOutput = options_.noClobber ? ExistingOutput::Keep : ExistingOutput::KeepWordDocument;
        // A named file's messages go with its report, on standard error (its
        // header has been checked already); a walk's files are quiet, and so
        // is standard input, whose header only the conversion reads: its
        // report says in one line when it is not a Word document.
        request.diagnostics = job.walked || isStandardStream(job.input) ? nullptr : stderr;
        return request;
    }

    void convertHere(Job& job) {
        workers_->wakeForWaitingTasks();
        progress_.clear();
        // A named file's conversion tells standard error about it as it goes.
        if (!job.walked) reports_.flush();
        convert(job);
        if (isStandardStream(job.output)) std::fflush(stdout);
    }

    void convertOnWorker(Job& job) const {
        // Waiting conversions are dropped once a signal has come: each would
        // read its document only to find that its output may not be begun.
        if (interruptingSignal() != 0) return closeInput(job);
        try {
            convert(job);
        } catch (const std::bad_alloc&) {
            job.lines.clear();
            job.written = false;
            fail(job, std::string(ConversionFailedMessage) + ": " + describeFailure(Failure::OutOfMemory));
        }
    }

    // Converts the document and writes its pictures, touching nothing but
    // the job: it may run on a worker, beside the conversions of other jobs.
    void convert(Job& job) const {
        if (job.fileKind != nullptr) return convertKindFile(job);
        FormatConversion conversion = convertToFormat(requestFor(job), options_);
        closeInput(job);
        const ConversionResult& result = conversion.result;
        if (conversion.unavailable != nullptr) {
            return fail(job, std::string(ConversionFailedMessage) + ": " + conversion.unavailable);
        }
        // The interrupted file is not reported: the run stops here. A read
        // of standard input that a signal cut short is such a file too.
        if (result.failure == Failure::Interrupted) return;
        if (result.failure == Failure::InputUnreadable && result.systemError == EINTR && interruptingSignal() != 0) return;
        if (result.failure == Failure::OutputExists) return keep(job);
        if (!result.succeeded()) {
            fail(job, failureReason(result, shownOutput(job.output), isStandardStream(job.output)));
            if (result.salvaged()) job.tally = Tally::Damaged;
            return;
        }
        job.written = !isStandardStream(job.output);
        // The document is told as converted whatever becomes of its pictures.
        succeed(job, subject(job), convertedMessageFor(options_.format));
        if (options_.extractPicturesDir) writePictures(job);
    }

    // Writes the document's sketches as PNG files into --extract-pictures'
    // folder: a warning for each sketch that cannot be drawn, a failure of
    // the file when the pictures cannot be written. With --no-clobber a
    // picture file that stands there is kept.
    void writePictures(Job& job) const {
        const std::string& folder = *options_.extractPicturesDir;
        std::error_code error;
        fs::create_directories(pathFromNative(folder), error);
        ExistingPictures existing = options_.noClobber ? ExistingPictures::Keep : ExistingPictures::Replace;
        PictureExtraction extraction = extractPictures(job.input.c_str(), folder.c_str(), existing);
        for (const std::string& warning : extraction.warnings) {
            job.lines.push_back({true, shownInput(job.input) + ": warning: " + warning + "\n"});
        }
        if (!extraction.result.succeeded()) {
            std::string reason = describeFailure(extraction.result.failure);
            if (extraction.result.systemError != 0) reason += std::string(": ") + std::strerror(extraction.result.systemError);
            return fail(job, "pictures not written to " + escapedName(folder) + ": " + reason);
        }
        if (extraction.written == 0 && extraction.kept == 0) return;
        std::string line = shownInput(job.input) + ": " + counted(extraction.written, "picture") + " written to " +
                           escapedName(folder);
        if (extraction.kept > 0) line += ", " + std::to_string(extraction.kept) + " kept (the file exists)";
        job.lines.push_back({false, line + "\n"});
    }

    // --dry-run: each picture file the conversion would write beside its
    // output (Markdown's), then each --extract-pictures would write (not for
    // a damaged document).
    void listPictures(Job& job, bool damaged) const {
        if (isStandardStream(job.input)) return;
        std::vector<std::string> pictures;
        if (!isStandardStream(job.output)) {
            ConversionRequest request;
            request.inputPath = job.input.c_str();
            request.followInputLink = !job.walked || job.viaLink;
            request.outputPath = job.output.c_str();
            request.diagnostics = nullptr;
            pictures = pictureFilesBeside(request, options_);
        }
        if (options_.extractPicturesDir && !damaged) {
            PictureExtraction extraction =
                extractPictures(job.input.c_str(), options_.extractPicturesDir->c_str(), ExistingPictures::ListOnly);
            pictures.insert(pictures.end(), extraction.paths.begin(), extraction.paths.end());
        }
        for (const std::string& picture : pictures) {
            bool kept = options_.noClobber && exists(picture);
            job.lines.push_back({false, shownInput(job.input) + " -> " + escapedName(picture) + ": " +
                                            (kept ? "skipped, it exists" : "would be written") + "\n"});
        }
    }

    static std::string counted(int count, const char* thing) {
        return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
    }

    KindFileRequest kindRequestFor(const Job& job) const {
        KindFileRequest request;
        request.kind = job.fileKind;
        request.inputPath = job.input.c_str();
        request.followInputLink = !job.walked || job.viaLink;
        request.outputBase = job.outputBase;
        // A name given with -o is taken as it is where it ends in an output's extension.
        request.outputNamed = options_.outputPath.has_value();
        request.existingOutput = options_.noClobber ? ExistingOutput::Keep : ExistingOutput::KeepWordDocument;
        request.options = options_.kindOptions;
        return request;
    }

    void convertKindFile(Job& job) const {
        KindFileConversion conversion = convertFileOfKind(kindRequestFor(job));
        closeInput(job);
        reportKindFile(job, conversion, false);
    }

    // What became of a file of another kind than the Word document, or with
    // `dryRun` what would: the same failures, and then each output named,
    // as would be converted or as kept because a file stands there.
    static void reportKindFile(Job& job, const KindFileConversion& conversion, bool dryRun) {
        const ConversionResult& result = conversion.result;
        if (result.failure == Failure::Interrupted) return;
        for (const std::string& warning : conversion.warnings) {
            job.lines.push_back({true, shownInput(job.input) + ": warning: " + warning + "\n"});
        }
        std::string outputs = shownOutputs(conversion.written);
        std::string detail = conversion.detail.empty() ? "" : " (" + conversion.detail + ")";
        if (result.failure == Failure::DocumentDamaged || result.failure == Failure::LimitReached) {
            std::string what = result.failure == Failure::LimitReached ? "refused: it asks for far more than any " +
                                                                             std::string(job.fileKind->name) + " holds"
                                                                       : std::string("the ") + job.fileKind->name + " is damaged";
            std::string recovered = conversion.summary + (dryRun ? " can be recovered in " : " recovered in ") + outputs;
            std::string kept = conversion.written.empty() ? (dryRun ? "; nothing would be written" : "; nothing written")
                                                          : "; " + recovered;
            fail(job, what + detail + kept);
            if (!conversion.written.empty()) job.tally = Tally::Damaged;
            if (dryRun) listKindOutputs(job, conversion);
            return;
        }
        std::string kept = conversion.written.empty() ? "" : " (" + outputs + (dryRun ? " would be written)" : " written)");
        if (conversion.refusedKind != nullptr) {
            return fail(job, "refusing to replace " + shownOutput(conversion.failedOutput) + ", a " +
                                 conversion.refusedKind->name + kept);
        }
        if (!result.succeeded()) {
            const std::string& failed = conversion.failedOutput.empty() ? job.output : conversion.failedOutput;
            return fail(job, failureReason(result, shownOutput(failed), false) + kept);
        }
        if (conversion.written.empty() && !conversion.outputs.empty()) return keepKindOutputs(job, conversion);
        if (dryRun && !conversion.outputs.empty()) {
            job.tally = Tally::Succeeded;
            return listKindOutputs(job, conversion);
        }
        std::string what = dryRun ? WouldConvertMessage : job.fileKind->name;
        if (!dryRun && !conversion.summary.empty()) what += ": " + conversion.summary;
        succeed(job, shownInput(job.input) + " -> " + outputs, what);
    }

    // --dry-run: each output of a file of another kind, in the reader's order.
    static void listKindOutputs(Job& job, const KindFileConversion& conversion) {
        for (const KindOutput& output : conversion.outputs) {
            job.lines.push_back({false, shownInput(job.input) + " -> " + shownOutput(output.path) + ": " +
                                            (output.kept ? "skipped, it exists" : WouldConvertMessage) + "\n"});
        }
    }

    // --no-clobber kept every output of a file of another kind: told by
    // their names, as the output base is often the input itself.
    static void keepKindOutputs(Job& job, const KindFileConversion& conversion) {
        std::vector<std::string> kept;
        for (const KindOutput& output : conversion.outputs) {
            if (output.kept) kept.push_back(output.path);
        }
        job.lines.push_back({false, shownInput(job.input) + ": skipped, " + shownOutputs(kept) +
                                        (kept.size() == 1 ? " exists\n" : " exist\n")});
        job.tally = Tally::Kept;
    }

    // "out/a.png", or "out/a-1.png ... out/a-12.png".
    static std::string shownOutputs(const std::vector<std::string>& paths) {
        if (paths.empty()) return "nothing";
        std::string shown = escapedName(paths.front());
        if (paths.size() > 1) shown += " ... " + escapedName(paths.back());
        return shown;
    }

    // A file the run leaves alone: reported with --verbose, counted by kind.
    void passOver(Job& job, const FileKindEntry* kind, const std::string& reason, Tally tally = Tally::Skipped) const {
        job.fileKind = kind;
        skip(job, reason, tally);
    }

    static void closeInput(Job& job) {
        job.inputDescriptor.reset();
        job.inputFile.reset();
    }

    static std::string subject(const Job& job) { return shownInput(job.input) + " -> " + shownOutput(job.output); }

    static void succeed(Job& job, const std::string& subject, const std::string& message) {
        job.lines.push_back({false, subject + ": " + message + "\n"});
        job.tally = Tally::Succeeded;
    }

    void skip(Job& job, const std::string& reason, Tally tally) const {
        if (options_.verbose) job.lines.push_back({false, shownInput(job.input) + ": skipped, " + reason + "\n"});
        job.tally = tally;
    }

    // --no-clobber found a file at the output path and left it as it was.
    static void keep(Job& job) {
        job.lines.push_back({false, shownInput(job.input) + ": skipped, " + shownOutput(job.output) + " exists\n"});
        job.tally = Tally::Kept;
    }

    static void fail(Job& job, const std::string& reason) {
        job.lines.push_back({true, shownInput(job.input) + ": " + reason + "\n"});
        job.tally = Tally::Failed;
        job.failureReason = reason;
    }

    const ConsoleOptions& options_;
    bool walksFolders_;
    bool documentOnStandardOutput_;
    ProgressLine progress_;
    ReportLines reports_;
    BatchSummary summary_;
    OutputClaims claims_;
    WrittenOutputs written_;
    std::vector<Job> jobs_;
    WorkerThreads* workers_ = nullptr;
    fs::path madeFolder_;  // the output folder made last
    std::string madeFolderProblem_;  // why it could not be made, or nothing
    size_t progressTotal_ = 0;  // jobs the progress line counts
    size_t decided_ = 0;   // jobs checked, their outputs decided
    size_t reported_ = 0;  // jobs reported, all before decided_
};

}  // namespace

int runConversions(const ConsoleOptions& options) {
    catchInterruptions();
    return BatchRun(options).run();
}

}  // namespace zentoro
