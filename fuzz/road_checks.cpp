#include "fuzz/road_checks.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <system_error>

#include <unistd.h>

#include "convert/convert_to_format.h"
#include "convert/model_conversion.h"
#include "convert/zentoro.h"
#include "fuzz/rtf_checks.h"
#include "fuzz/utf8_check.h"
#include "model/read_document.h"
#include "reader/conversion_limits.h"
#include "write/faithful_rtf.h"
#include "write/html_writer.h"
#include "write/markdown_writer.h"
#include "write/text_writer.h"
#include "tests/support/cp1252.h"
#include "tests/support/rtf_completeness.h"

namespace zentoro::fuzzing {

namespace {

// An output stream whose bytes end up in a string.
class MemoryOutput {
public:
    MemoryOutput() : file_(open_memstream(&buffer_, &size_)) {
        if (file_ == nullptr) std::abort();
    }
    ~MemoryOutput() {
        if (file_ != nullptr) std::fclose(file_);
        std::free(buffer_);
    }
    MemoryOutput(const MemoryOutput&) = delete;
    MemoryOutput& operator=(const MemoryOutput&) = delete;

    std::FILE* file() { return file_; }
    std::string finish() {
        std::fclose(file_);
        file_ = nullptr;
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    std::FILE* file_;
};

// An output stream that stores nothing: every write fails as a full
// device's does. The check's own, so that its verdict never depends on
// what stands at /dev/full, which a test elsewhere could have replaced.
class FullOutput {
public:
    explicit FullOutput(int buffering) {
        cookie_io_functions_t io{nullptr, refuse, nullptr, nullptr};
        file_ = fopencookie(nullptr, "w", io);
        if (file_ == nullptr || std::setvbuf(file_, nullptr, buffering, buffering == _IONBF ? 0 : BUFSIZ) != 0) {
            std::abort();
        }
    }
    ~FullOutput() { std::fclose(file_); }
    FullOutput(const FullOutput&) = delete;
    FullOutput& operator=(const FullOutput&) = delete;

    std::FILE* file() { return file_; }

private:
    static ssize_t refuse(void*, const char*, size_t) {
        errno = ENOSPC;
        return 0;  // a custom stream's failed write returns 0, never a negative count
    }
    std::FILE* file_;
};

std::string firstDifference(const std::string& expected, const std::string& actual) {
    size_t pos = 0;
    while (pos < expected.size() && pos < actual.size() && expected[pos] == actual[pos]) ++pos;
    return "expected " + std::to_string(expected.size()) + " bytes, got " + std::to_string(actual.size()) +
           ", first difference at " + std::to_string(pos);
}

struct ModelRoad {
    const char* name;
    OutputFormat format;
    bool otherOptions = false;  // the options other than the defaults of runModelRoad
};

constexpr ModelRoad ModelRoads[] = {
    {"faithful road", OutputFormat::RtfFaithful},
    {"text", OutputFormat::Text},
    {"text without header and footer", OutputFormat::Text, true},
    {"HTML", OutputFormat::Html},
    {"Markdown", OutputFormat::Markdown},
    {"Markdown with picture files", OutputFormat::Markdown, true},
};

// A folder of this process's own for the pictures Markdown writes as
// files: made for one conversion and removed after it, so that nothing is
// left behind however the process ends.
std::filesystem::path pictureFolder() {
    return std::filesystem::temp_directory_path() / ("zentoro-fuzz-pictures-" + std::to_string(getpid()));
}

// The options of runModelRoad, under the document's chosen name.
WriteOptions defaultOptions(const std::string& documentName) {
    WriteOptions options;
    options.documentName = documentName;
    options.withHeaderFooter = true;
    options.picturesAsDataUris = true;
    return options;
}

// The other options: no header and footer in text, pictures as files
// beside Markdown.
RoadRun runRoad(const ModelRoad& road, std::span<const uint8_t> bytes, const std::string& documentName) {
    if (!road.otherOptions) return runModelRoad(road.format, bytes, defaultOptions(documentName));
    WriteOptions options;
    options.documentName = documentName;
    std::filesystem::path folder = pictureFolder();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    options.pictureFolder = folder.string();
    options.pictureNamePrefix = documentName;  // no '/' in it, as in a file's name
    RoadRun run = runModelRoad(road.format, bytes, options);
    std::filesystem::remove_all(folder, ignored);
    return run;
}

// What the output of a conversion that succeeded must be.
std::string outputProblem(OutputFormat format, const std::string& output) {
    if (format == OutputFormat::RtfFaithful) {
        if (std::string problem = rtfWellFormednessProblem(output); !problem.empty()) {
            return "the RTF is not well formed: " + problem;
        }
        return {};
    }
    if (std::string problem = utf8Problem(output); !problem.empty()) return "the output is not UTF-8: " + problem;
    return {};
}

// The result of one road: a failure it may have for bytes in memory, told in words.
std::string resultProblem(const std::string& name, int result) {
    switch (static_cast<Failure>(result)) {
        case Failure::None: return {};
        case Failure::NotWordDocument:
        case Failure::DocumentDamaged:
        case Failure::LimitReached:
        case Failure::OutOfMemory:
            // Every failure is told to a person in words.
            if (std::string_view(describeFailure(static_cast<Failure>(result))).empty()) {
                return name + ": a failure without a description: " + std::to_string(result);
            }
            return {};
        default: return name + ": a failure a conversion in memory cannot have: " + std::to_string(result);
    }
}

std::string checkModelRoad(const ModelRoad& road, std::span<const uint8_t> bytes, const std::string& documentName,
                           RoadRun& run) {
    run = runRoad(road, bytes, documentName);
    std::string name = road.name;
    if (!(run == runRoad(road, bytes, documentName))) return name + ": a second run of the same input wrote something else";
    if (std::string problem = resultProblem(name, run.result); !problem.empty()) return problem;
    if (run.result != 0) return {};
    if (std::string problem = outputProblem(road.format, run.output); !problem.empty()) return name + ": " + problem;
    return {};
}

// With lower limits a road writes what it wrote without them, or stops
// at a limit.
std::string lowLimitsProblem(const std::string& name, const RoadRun& full, const RoadRun& limited) {
    if (limited == full || limited.result == static_cast<int>(Failure::LimitReached)) return {};
    if (limited.result != full.result) {
        return name + " with lower limits: result " + std::to_string(limited.result) + ", without them " +
               std::to_string(full.result);
    }
    return name + " with lower limits wrote something else: " + firstDifference(full.output, limited.output);
}

// The caches are on from the first byte when the input is smaller than
// where they start, and off otherwise: what the road writes either way,
// with the same result, also where a limit stops it.
std::string layerCacheProblem(std::span<const uint8_t> bytes, const RoadRun& original, TranslationSettings other = {}) {
    other.layerCachesFrom = bytes.size() < SmallestCachedDocument ? 0 : SIZE_MAX;
    RoadRun run = runOriginalRoad(bytes, other);
    if (run == original) return {};
    if (run.result != original.result) {
        return "original road: result " + std::to_string(original.result) + ", with the layer caches switched " +
               std::to_string(run.result);
    }
    return "original road: the layer caches switched write something else: " + firstDifference(original.output, run.output);
}

using FileWriter = bool (*)(const Document&, const WriteOptions&, std::FILE*);

FileWriter fileWriterFor(OutputFormat format) {
    switch (format) {
        case OutputFormat::Text: return writeText;
        case OutputFormat::Html: return writeHtml;
        case OutputFormat::Markdown: return writeMarkdown;
        default: return writeFaithfulRtf;
    }
}

// The whole model written by the writer to a C file: what it writes to
// memory, when that succeeded.
std::string fileWriterProblem(OutputFormat format, std::span<const uint8_t> bytes, const WriteOptions& options,
                              const RoadRun& inMemory) {
    if (inMemory.result != 0) return {};
    Document document;
    if (!readDocument(bytes, document).succeeded()) return "the model could be read once and not again";
    MemoryOutput file;
    bool written = fileWriterFor(format)(document, options, file.file());
    std::string output = file.finish();
    if (!written) return "a writer to a C file failed where the one to memory succeeded";
    if (output != inMemory.output) return "a writer to a C file wrote something else: " + firstDifference(inMemory.output, output);
    return {};
}

// The document read from a stream and written to one: what the entry
// point over memory writes, with its result. Written to a device that is
// always full, it fails for the output unless the input failed it first,
// and never succeeds unless there was nothing to write.
std::string streamsProblem(OutputFormat format, std::span<const uint8_t> bytes, const WriteOptions& options,
                           const RoadChoices& choices, const RoadRun& inMemory) {
    if (bytes.empty()) return {};  // a stream over no bytes cannot be made
    std::FILE* input = fmemopen(const_cast<uint8_t*>(bytes.data()), bytes.size(), "rb");
    if (input == nullptr) std::abort();
    std::optional<FullOutput> fullOutput;
    if (choices.fullOutput) fullOutput.emplace(choices.fullOutputBuffering);
    std::FILE* full = fullOutput ? fullOutput->file() : nullptr;
    MemoryOutput output;
    MemoryOutput diagnostics;
    ConversionRequest request;
    request.inputStream = input;
    request.outputStream = full != nullptr ? full : output.file();
    request.diagnostics = choices.quietDiagnostics ? nullptr : diagnostics.file();
    ConversionResult result = convertRequestTo(format, request, options);
    std::fclose(input);
    RoadRun run{static_cast<int>(result.failure), output.finish()};
    std::string told = diagnostics.finish();
    std::string name = "streams to " + std::string(outputFormatName(format));
    bool unwritable = full != nullptr && result.failure == Failure::OutputUnwritable;
    if (run.result != inMemory.result && !unwritable) {
        return name + ": result " + std::to_string(run.result) + ", in memory " + std::to_string(inMemory.result);
    }
    if (full != nullptr && result.succeeded() && !inMemory.output.empty()) return name + ": succeeded on a full device";
    if (unwritable && result.systemError != ENOSPC) {
        return name + ": a full device's failure without its reason: " + std::to_string(result.systemError);
    }
    if (result.failure == Failure::NotWordDocument && !choices.quietDiagnostics && told.empty()) {
        return name + ": a header mismatch told nothing";
    }
    if (full == nullptr && run.result == 0 && run.output != inMemory.output) {
        return name + ": not what is written in memory: " + firstDifference(inMemory.output, run.output);
    }
    return {};
}

// The runs the input chose: with lower limits, to a C file, over streams.
// `original` is the default translation's run, `inFormat` the default run
// of the chosen format.
std::string chosenRoadsProblem(std::span<const uint8_t> bytes, const RoadChoices& choices, const RoadRun& original,
                               const RoadRun& inFormat) {
    WriteOptions options = defaultOptions(choices.documentName);
    OutputFormat format = choices.fileFormat;
    if (choices.lowLimits) {
        TranslationSettings low{*choices.lowLimits};
        RoadRun limitedOriginal = runOriginalRoad(bytes, low);
        if (std::string problem = lowLimitsProblem("original road", original, limitedOriginal); !problem.empty()) {
            return problem;
        }
        if (std::string problem = layerCacheProblem(bytes, limitedOriginal, low); !problem.empty()) {
            return "with lower limits: " + problem;
        }
        RoadRun limited = runModelRoad(format, bytes, options, *choices.lowLimits);
        if (std::string problem = lowLimitsProblem(std::string(outputFormatName(format)), inFormat, limited);
            !problem.empty()) {
            return problem;
        }
    }
    if (std::string problem = fileWriterProblem(format, bytes, options, inFormat); !problem.empty()) return problem;
    if (!choices.throughStreams) return {};
    if (choices.streamsToRtf) return streamsProblem(OutputFormat::Rtf, bytes, options, choices, original);
    return streamsProblem(format, bytes, options, choices, inFormat);
}

}  // namespace

RoadRun runOriginalRoad(std::span<const uint8_t> bytes, const TranslationSettings& settings) {
    MemoryOutput output;
    RoadRun run;
    run.result = static_cast<int>(translateBytesToRtf(bytes, output.file(), settings).failure);
    run.output = output.finish();
    return run;
}

RoadRun runOriginalRoad(std::span<const uint8_t> bytes) {
    MemoryOutput output;
    RoadRun run;
    run.result = static_cast<int>(convertDocumentBytesWithResult(bytes.data(), bytes.size(), output.file()).failure);
    run.output = output.finish();
    return run;
}

RoadRun runModelRoad(OutputFormat format, std::span<const uint8_t> bytes) {
    return runModelRoad(format, bytes, defaultOptions("fuzzed.wrd"));
}

RoadRun runModelRoad(OutputFormat format, std::span<const uint8_t> bytes, const WriteOptions& options) {
    RoadRun run;
    run.result = static_cast<int>(
        convertDocumentBytesToString(format, bytes.data(), bytes.size(), run.output, options).failure);
    return run;
}

RoadRun runModelRoad(OutputFormat format, std::span<const uint8_t> bytes, const WriteOptions& options,
                     const ConversionLimits& limits) {
    ModelConversion conversion;
    conversion.format = format;
    conversion.options = options;
    conversion.limits = limits;
    RoadRun run;
    ConversionResult result = readModel(bytes, conversion);
    // A damaged document that still holds something is written, as the entry points write it.
    if (result.succeeded() || result.salvaged()) {
        ConversionResult written = writeModel(conversion, nullptr, &run.output);
        if (!written.succeeded()) result = written;
    }
    run.result = static_cast<int>(result.failure);
    return run;
}

RoadRun runFaithfulRoad(std::span<const uint8_t> bytes) {
    RoadRun run;
    Document document;
    Failure read = readDocument(bytes, document).failure;
    if (read != Failure::None) {
        run.result = static_cast<int>(read);
        return run;
    }
    auto sink = std::make_unique<ByteSink>();
    sink->memory = &run.output;
    sink->sizeLimit = outputLimitFor(bytes.size());
    bool written = writeFaithfulRtf(document, *sink);
    run.result = static_cast<int>(written ? Failure::None : Failure::LimitReached);
    return run;
}

RoadRun runStreamedFaithfulRoad(std::span<const uint8_t> bytes) {
    RoadRun run;
    run.result = static_cast<int>(convertDocumentFaithfulToString(bytes.data(), bytes.size(), run.output).failure);
    return run;
}

std::string modelText(std::span<const uint8_t> bytes) {
    Document document;
    readDocument(bytes, document);
    std::string text;
    for (const std::vector<Paragraph>* paragraphs : {&document.header.paragraphs, &document.footer.paragraphs, &document.body}) {
        for (const Paragraph& paragraph : *paragraphs) {
            for (const Run& run : paragraph.runs) text += run.text;
            text += '\n';
        }
    }
    return text;
}

std::string expectedModelText(std::string_view documentText) {
    std::string text;
    for (char byte : documentText) {
        auto c = static_cast<unsigned char>(byte);
        switch (c) {
            case 6: text += '\n'; break;
            case 7: testing::appendUtf8(text, U'\u2028'); break;
            case 8: text += '\f'; break;
            case 9:
            case 10: text += '\t'; break;
            case 11: testing::appendUtf8(text, U'\u2011'); break;
            case 12: testing::appendUtf8(text, U'\u00AD'); break;
            case 15: text += ' '; break;
            case 16: testing::appendUtf8(text, U'\u00A0'); break;
            default:
                if (c >= 32) testing::appendUtf8(text, testing::cp1252CodePoint(c));
                break;
        }
    }
    return text;
}

std::string checkAnyInput(std::span<const uint8_t> bytes) { return checkAnyInput(bytes, roadChoicesFor(bytes)); }

std::string checkAnyInput(std::span<const uint8_t> bytes, const RoadChoices& choices) {
    RoadRun original = runOriginalRoad(bytes);
    if (!(original == runOriginalRoad(bytes))) return "original road: a second run of the same input wrote something else";
    if (std::string problem = resultProblem("original road", original.result); !problem.empty()) return problem;
    if (std::string problem = layerCacheProblem(bytes, original); !problem.empty()) return problem;
    // The run of each model road with the default options, by format.
    RoadRun byFormat[std::size(ModelRoads)];
    auto defaultRun = [&](OutputFormat format) -> const RoadRun& {
        size_t i = 0;
        while (ModelRoads[i].format != format || ModelRoads[i].otherOptions) ++i;
        return byFormat[i];
    };
    for (size_t i = 0; i < std::size(ModelRoads); ++i) {
        if (std::string problem = checkModelRoad(ModelRoads[i], bytes, choices.documentName, byFormat[i]); !problem.empty()) {
            return problem;
        }
    }
    if (std::string problem = chosenRoadsProblem(bytes, choices, original, defaultRun(choices.fileFormat)); !problem.empty()) {
        return problem;
    }
    // The faithful conversion streams the body's RTF as it reads; it must
    // write what the RTF writer writes from the whole model.
    RoadRun streamed = runStreamedFaithfulRoad(bytes);
    if (!(streamed == runStreamedFaithfulRoad(bytes))) {
        return "streamed faithful road: a second run of the same input wrote something else";
    }
    RoadRun whole = runFaithfulRoad(bytes);
    if (streamed.result != whole.result) {
        return "streamed faithful road: result " + std::to_string(streamed.result) + ", from the whole model " +
               std::to_string(whole.result);
    }
    if (streamed.result == 0 && streamed.output != whole.output) {
        return "streamed faithful road: not the RTF written from the whole model: " +
               firstDifference(whole.output, streamed.output);
    }
    return {};
}

std::string checkBuiltDocument(const FuzzedDocument& document) {
    if (std::string problem = checkAnyInput(document.bytes, document.roads); !problem.empty()) return problem;
    if (!document.wellFormed) return {};

    for (const ModelRoad& road : ModelRoads) {
        RoadRun run = runRoad(road, document.bytes, document.roads.documentName);
        if (run.result != 0) return std::string(road.name) + ": a well-formed document failed: " + std::to_string(run.result);
    }
    std::string allText = document.headerText + document.footerText + document.bodyText;
    std::string expectedText = expectedModelText(allText);
    std::string readText = modelText(document.bytes);
    if (readText != expectedText) {
        return "faithful road: the model's text is not the document's: " + firstDifference(expectedText, readText);
    }

    if (!document.originalReadsItWhole) return {};
    RoadRun original = runOriginalRoad(document.bytes);
    if (original.result != 0) return "original road: a well-formed document failed";
    if (std::string incomplete = testing::rtfCompletenessProblem(original.output); !incomplete.empty()) {
        return "original road: the RTF is not complete: " + incomplete;
    }
    // The style sheet ends with an empty paragraph at the document's defaults.
    std::string expected =
        expectedVisibleText("\x06" + allText);
    std::string shown = visibleRtfText(original.output);
    if (shown != expected) return "original road: the RTF's text is not the document's: " + firstDifference(expected, shown);
    return {};
}

}  // namespace zentoro::fuzzing
