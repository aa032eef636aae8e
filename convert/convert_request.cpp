// The one road of every conversion of a request: the input opened, taken in
// and checked once, the output begun, and then put in place or discarded,
// whatever the format. The format chooses only what is written: the
// streaming RTF translation, or the document model and its writer.
#include <cerrno>
#include <filesystem>
#include <new>
#include <system_error>

#include "convert/background_writer.h"
#include "convert/convert_to_format.h"
#include "convert/model_conversion.h"
#include "convert/native_path.h"
#include "convert/output_file.h"
#include "convert/request_input.h"
#include "convert/rtf_translation.h"
#include "write/markdown_writer.h"

namespace zentoro {

namespace {

namespace fs = std::filesystem;

// The output is looked at first: where none stands yet, as in most
// conversions, the input need not be.
bool namesSameFile(const char* input, const char* output) {
    std::error_code error;
    fs::path outputPath = pathFromNative(output);
    if (!fs::exists(fs::status(outputPath, error))) return false;
    return fs::equivalent(pathFromNative(input), outputPath, error);
}

// What was read could still be translated, but a document that could not be
// read to its end is not reported as converted.
ConversionResult withReadError(ConversionResult translated, int readError) {
    bool explainsTheFailure = translated.succeeded() || translated.failure == Failure::DocumentDamaged;
    if (explainsTheFailure && readError != 0) return {Failure::InputUnreadable, readError, false};
    return translated;
}

bool failedOnInput(Failure failure) {
    return failure == Failure::InputUnreadable || failure == Failure::DocumentDamaged ||
           failure == Failure::LimitReached;
}

// Whether a failed output is kept where no file stood: the streaming
// translation's part of a document is worth keeping, a writer's is not.
enum class PartialOutput { KeepWhereNoFileStood, Discard };

// Whether a second thread stores the bytes while the conversion makes more:
// worth it where the output is made as the document is read, not where it
// is already whole in memory when writing begins.
enum class Storing { Background, Directly };

// Writes with `write`, on a second thread for a large document where asked;
// a failure to store the bytes outweighs any other.
template <typename Write>
ConversionResult writeToFile(std::FILE* file, size_t documentSize, Storing storing, Write write) {
    if (storing == Storing::Directly || documentSize < BackgroundWritingFrom) return write(file);
    BackgroundWriter background;
    ConversionResult result = write(background.begin(file));
    int stored = background.finish();
    if (stored != 0) return {Failure::OutputUnwritable, stored, false};
    return result;
}

// Writes into the output file with `write` and puts the file in place, or not.
template <typename Write>
ConversionResult writeOutputFile(const ConversionRequest& request, PartialOutput partial, size_t documentSize,
                                 Storing storing, PendingOutput& output, Write write) {
    ConversionResult begun = beginOutput(request.outputPath, request.existingOutput, output, request.outputAbsent);
    if (!begun.succeeded()) return begun;
    ConversionResult result = writeToFile(output.file, documentSize, storing, write);
    bool replace = request.existingOutput != ExistingOutput::Keep;
    if (result.succeeded()) return commitOutput(output, replace);
    if (partial == PartialOutput::Discard || !failedOnInput(result.failure)) {
        discardOutput(output);
        return result;
    }
    // A device or FIFO written in place has taken the part as it was written.
    ConversionResult kept = commitOutput(output, false);
    result.partialOutputKept = kept.succeeded();
    return result;
}

// To the output file, or straight to the output stream.
template <typename Write>
ConversionResult writeOutput(const ConversionRequest& request, PartialOutput partial, const RequestInput& input,
                             Storing storing, PendingOutput& output, Write write) {
    if (request.outputPath == nullptr) return write(request.outputStream);
    return writeOutputFile(request, partial, input.bytes.bytes().size(), storing, output, write);
}

// What the writers need to know of the request: the document's name, and
// where Markdown's pictures go (beside an output file, named after it; into
// the text itself when the output is a stream).
WriteOptions optionsFor(OutputFormat format, const ConversionRequest& request, const WriteOptions& options) {
    WriteOptions filled = options;
    if (filled.documentName.empty() && request.inputPath != nullptr) {
        filled.documentName = nativeFromPath(pathFromNative(request.inputPath).filename());
    }
    if (format != OutputFormat::Markdown || filled.picturesAsDataUris || !filled.pictureFolder.empty()) return filled;
    if (request.outputPath == nullptr) {
        filled.picturesAsDataUris = true;
        return filled;
    }
    fs::path output = pathFromNative(request.outputPath);
    filled.pictureFolder = output.has_parent_path() ? nativeFromPath(output.parent_path()) : ".";
    if (filled.pictureNamePrefix.empty()) {
        bool markdownName = outputFormatOfFileName(nativeFromPath(output.filename())) == OutputFormat::Markdown;
        filled.pictureNamePrefix = nativeFromPath(markdownName ? output.stem() : output.filename());
    }
    return filled;
}

// The streaming translation writes as it reads, so its output is begun first.
ConversionResult convertToRtf(const ConversionRequest& request, const RequestInput& input, PendingOutput& output) {
    return writeOutput(request, PartialOutput::KeepWhereNoFileStood, input, Storing::Background, output,
                       [&](std::FILE* file) {
        // The translation writes through a buffer of its own: the file's
        // would only copy the RTF once more and take a call to size itself.
        if (request.outputPath != nullptr) std::setvbuf(file, nullptr, _IONBF, 0);
        return withReadError(translateToRtf(input.bytes, file, request.diagnostics), input.readError);
    });
}

// The model is read before the output is begun, so that a document that
// cannot be read leaves no output behind.
ConversionResult convertThroughModel(OutputFormat format, const ConversionRequest& request, const WriteOptions& options,
                                     const RequestInput& input, PendingOutput& output) {
    if (input.readError != 0) return {Failure::InputUnreadable, input.readError, false};
    ModelConversion conversion;
    conversion.format = format;
    conversion.options = optionsFor(format, request, options);
    ConversionResult read = readModel(input.bytes.bytes(), conversion);
    if (!read.succeeded() && !read.salvaged()) return read;
    // What a damaged document still held is written, and kept as the
    // streaming translation's part of a document is.
    PartialOutput partial = read.succeeded() ? PartialOutput::Discard : PartialOutput::KeepWhereNoFileStood;
    // The faithful RTF's body is whole in memory before its head is written.
    Storing storing = format == OutputFormat::RtfFaithful ? Storing::Directly : Storing::Background;
    return writeOutput(request, partial, input, storing, output, [&](std::FILE* file) {
        ConversionResult written = writeModel(conversion, file, nullptr);
        return written.succeeded() ? read : written;
    });
}

ConversionResult convertRequest(OutputFormat format, const ConversionRequest& request, const WriteOptions& options,
                                PendingOutput& output) {
    bool hasInput = request.inputPath != nullptr || request.inputStream != nullptr;
    bool hasOutput = request.outputPath != nullptr || request.outputStream != nullptr;
    if (!hasInput || !hasOutput) return {Failure::InputUnopenable, EINVAL, false};
    // Writing the output would destroy the very document being read. An
    // output path found free names no file; what appears there later is
    // checked before it is replaced.
    if (request.inputPath != nullptr && request.outputPath != nullptr && !request.outputAbsent &&
        namesSameFile(request.inputPath, request.outputPath)) {
        return {Failure::SameFile, 0, false};
    }
    // Only the streaming translation reads a mapping under guard.
    InputMapping mapping = format == OutputFormat::Rtf ? InputMapping::Allowed : InputMapping::Never;
    RequestInput input;
    ConversionResult taken = readRequestInput(request, mapping, input);
    if (!taken.succeeded()) return taken;
    if (format == OutputFormat::Rtf) return convertToRtf(request, input, output);
    return convertThroughModel(format, request, options, input, output);
}

}  // namespace

ConversionResult convertRequestTo(OutputFormat format, const ConversionRequest& request, const WriteOptions& options) {
    PendingOutput output;
    try {
        return convertRequest(format, request, options, output);
    } catch (const std::bad_alloc&) {
        discardOutput(output);
        return {Failure::OutOfMemory, 0, false};
    }
}

PictureFiles pictureFilesOf(OutputFormat format, const ConversionRequest& request, const WriteOptions& options) {
    PictureFiles files;
    try {
        WriteOptions filled = optionsFor(format, request, options);
        if (format != OutputFormat::Markdown || filled.pictureFolder.empty() || filled.picturesAsDataUris) return files;
        RequestInput input;
        files.result = readRequestInput(request, InputMapping::Never, input);
        if (!files.result.succeeded()) return files;
        if (input.readError != 0) {
            files.result = {Failure::InputUnreadable, input.readError, false};
            return files;
        }
        ModelConversion conversion;
        conversion.format = format;
        conversion.options = filled;
        files.result = readModel(input.bytes.bytes(), conversion);
        if (!files.result.succeeded() && !files.result.salvaged()) return files;
        // A picture beside an output named without a folder is named without "./" too.
        for (const fs::path& path : markdownPictureFiles(conversion.document, conversion.options)) {
            bool here = path.has_parent_path() && path.parent_path() == ".";
            files.paths.push_back(nativeFromPath(here ? path.filename() : path));
        }
    } catch (const std::bad_alloc&) {
        files.paths.clear();
        files.result = {Failure::OutOfMemory, 0, false};
    }
    return files;
}

ConversionResult runConversion(const ConversionRequest& request) { return convertRequestTo(OutputFormat::Rtf, request); }

}  // namespace zentoro
