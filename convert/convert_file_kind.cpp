#include "convert/convert_file_kind.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "convert/ascii_case.h"
#include "convert/document_bytes.h"
#include "convert/input_file.h"
#include "convert/native_path.h"

namespace zentoro {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

ConversionResult readWholeInput(const KindFileRequest& request, DocumentBytes& bytes) {
    std::FILE* file = nullptr;
    size_t size = 0;
    ConversionResult opened = openInputFile(request.inputPath, request.followInputLink, file, size);
    if (!opened.succeeded()) return opened;
    std::unique_ptr<std::FILE, FileCloser> closer(file);
    if (size > MaxKindFileBytes) return {Failure::LimitReached, 0, false};
    errno = 0;
    bytes.read(file, MaxKindFileBytes + 1, size);
    if (!bytes.readWhole()) return {Failure::InputUnreadable, readErrno(), false};
    if (bytes.bytes().size() > MaxKindFileBytes) return {Failure::LimitReached, 0, false};
    return {};
}

// The kind of the file standing at `path`, if it is one the table knows.
const FileKindEntry* kindStandingAt(const std::string& path) {
    std::FILE* file = nullptr;
    size_t size = 0;
    if (!openInputFile(path.c_str(), false, file, size).succeeded()) return nullptr;
    unsigned char header[KindHeaderBytes];
    size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    return kindOf(header, got);
}

ConversionResult writeOutput(const std::string& path, const std::string& contents, ExistingOutput existing) {
    PendingOutput output;
    ConversionResult begun = beginOutput(path.c_str(), existing, output);
    if (!begun.succeeded()) return begun;
    if (std::fwrite(contents.data(), 1, contents.size(), output.file) != contents.size()) {
        int error = errno;
        discardOutput(output);
        return {Failure::OutputUnwritable, error, false};
    }
    return commitOutput(output, existing != ExistingOutput::Keep);
}

// What writeOutput would meet at `path`, looked at without writing: a
// folder it cannot replace, or with ExistingOutput::Keep a file it keeps
// (not a device or FIFO, which are written in place).
ConversionResult checkOutput(const std::string& path, ExistingOutput existing) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::symlink_status(pathFromNative(path), error);
    if (!std::filesystem::exists(status)) return {};
    if (std::filesystem::is_directory(status)) return {Failure::OutputUnwritable, EISDIR, false};
    if (existing == ExistingOutput::Keep && !std::filesystem::is_character_file(status) &&
        !std::filesystem::is_fifo(status)) {
        return {Failure::OutputExists, 0, false};
    }
    return {};
}

// Where the output with this suffix goes: the base with the suffix
// appended, or for a named base that ends in the suffix's extension, the
// base itself or the base without it and the suffix after.
std::string outputPathFor(const KindFileRequest& request, const std::string& suffix) {
    const std::string& base = request.outputBase;
    size_t dot = suffix.rfind('.');
    if (!request.outputNamed || dot == std::string::npos) return base + suffix;
    std::string_view extension = std::string_view(suffix).substr(dot);
    if (base.size() <= extension.size() ||
        !equalIgnoringCase(std::string_view(base).substr(base.size() - extension.size()), extension)) {
        return base + suffix;
    }
    if (dot == 0) return base;
    return base.substr(0, base.size() - extension.size()) + suffix;
}

// Reads and converts the file, then writes each output, or with `write`
// false only checks it.
KindFileConversion runKindFile(const KindFileRequest& request, bool write) {
    KindFileConversion conversion;
    DocumentBytes bytes;
    conversion.result = readWholeInput(request, bytes);
    if (!conversion.result.succeeded()) return conversion;
    std::span<const unsigned char> input = bytes.bytes();
    KindConversion converted = request.kind->convert(input.data(), input.size(), request.options);
    conversion.result = converted.result;
    conversion.summary = std::move(converted.summary);
    conversion.detail = std::move(converted.detail);
    conversion.warnings = std::move(converted.warnings);
    for (const ConvertedFile& file : converted.files) {
        std::string path = outputPathFor(request, file.suffix);
        std::error_code error;
        if (std::filesystem::equivalent(pathFromNative(path), pathFromNative(request.inputPath), error)) {
            conversion.result = {Failure::SameFile, 0, !conversion.written.empty()};
            conversion.failedOutput = path;
            return conversion;
        }
        if (const FileKindEntry* standing = kindStandingAt(path); standing && request.existingOutput == ExistingOutput::KeepWordDocument) {
            conversion.result = {Failure::OutputUnwritable, EEXIST, !conversion.written.empty()};
            conversion.failedOutput = path;
            conversion.refusedKind = standing;
            return conversion;
        }
        ConversionResult written =
            write ? writeOutput(path, file.bytes, request.existingOutput) : checkOutput(path, request.existingOutput);
        if (written.failure == Failure::OutputExists) {
            conversion.outputs.push_back({std::move(path), true});
            continue;
        }
        if (!written.succeeded()) {
            conversion.result = written;
            conversion.failedOutput = path;
            return conversion;
        }
        conversion.outputs.push_back({path, false});
        conversion.written.push_back(std::move(path));
    }
    conversion.result.partialOutputKept = !conversion.written.empty() && !conversion.result.succeeded();
    return conversion;
}

}  // namespace

KindFileConversion convertFileOfKind(const KindFileRequest& request) { return runKindFile(request, true); }

KindFileConversion listKindFileOutputs(const KindFileRequest& request) { return runKindFile(request, false); }

}  // namespace zentoro
