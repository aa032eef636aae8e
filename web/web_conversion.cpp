#include "web/web_conversion.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <system_error>
#include <vector>

#include "convert/convert_to_format.h"
#include "convert/failure_description.h"
#include "convert/file_kinds.h"

namespace zentoro {

namespace {

namespace fs = std::filesystem;

// The last part of a path as the page gives it, never one that climbs or
// names nothing.
std::string baseName(std::string_view name) {
    size_t slash = name.find_last_of("/\\");
    std::string base(slash == std::string_view::npos ? name : name.substr(slash + 1));
    if (base.empty() || base == "." || base == "..") return "document";
    return base;
}

bool failedOnInput(Failure failure) { return failure == Failure::DocumentDamaged || failure == Failure::LimitReached; }

// The pictures Markdown wrote beside its text, in the order of their
// numbers, taken into memory and removed.
bool takePictures(const fs::path& folder, const std::string& prefix, std::vector<ConvertedFile>& files) {
    std::error_code error;
    std::vector<std::pair<size_t, fs::path>> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::string file = entry.path().filename().string();
        found.push_back({file.size(), entry.path()});
    }
    if (error) return false;
    // PREFIX-2.png before PREFIX-10.png: shorter numbers first, then by name.
    std::sort(found.begin(), found.end());
    bool read = true;
    for (const auto& [length, path] : found) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        read = read && !in.bad();
        files.push_back({path.filename().string().substr(std::min(prefix.size(), length)), std::move(bytes)});
        fs::remove(path, error);
    }
    return read;
}

std::string summaryOf(const std::vector<ConvertedFile>& files) {
    if (files.empty()) return "nothing";
    size_t pictures = files.size() - 1;
    if (pictures == 0) return "1 document";
    return "1 document and " + std::to_string(pictures) + (pictures == 1 ? " picture" : " pictures");
}

}  // namespace

std::optional<OutputFormat> webFormatNamed(std::string_view name) {
    if (name == "rtf-faithful") return OutputFormat::RtfFaithful;
    if (name == "rtf-original") return OutputFormat::Rtf;
    return outputFormatNamed(name);
}

KindConversion convertNamedFile(std::span<const unsigned char> bytes, std::string_view name, OutputFormat format,
                                const std::string& scratchFolder) {
    KindConversion conversion;
    try {
        // Files of other kinds convert to their own outputs, whatever the format.
        const FileKindEntry* kind = kindOf(bytes.data(), bytes.size());
        if (kind && kind->convert && !isWordDocumentKind(*kind)) return kind->convert(bytes.data(), bytes.size(), {});
        WriteOptions options;
        options.documentName = baseName(name);
        if (format == OutputFormat::Markdown) {
            options.pictureFolder = scratchFolder;
            options.pictureNamePrefix = options.documentName;
        }
        std::string written;
        conversion.result = convertDocumentBytesToString(format, bytes.data(), bytes.size(), written, options);
        bool keep = conversion.result.succeeded() || (failedOnInput(conversion.result.failure) && !written.empty());
        if (keep) conversion.files.push_back({std::string(outputExtension(format)), std::move(written)});
        if (format == OutputFormat::Markdown && !scratchFolder.empty()) {
            std::vector<ConvertedFile> pictures;
            bool taken = takePictures(scratchFolder, options.documentName, pictures);
            if (keep) std::move(pictures.begin(), pictures.end(), std::back_inserter(conversion.files));
            if (!taken && conversion.result.succeeded()) conversion.result = {Failure::OutputUnwritable};
        }
    } catch (const std::bad_alloc&) {
        conversion = {};
        conversion.result = {Failure::OutOfMemory};
    }
    if (conversion.result.failure == Failure::OutputUnwritable) conversion.files.clear();
    conversion.summary = summaryOf(conversion.files);
    return conversion;
}

}  // namespace zentoro
