#include "convert/extract_pictures.h"
#include "convert/native_path.h"

#include <filesystem>
#include <new>
#include <system_error>

#include "convert/request_input.h"
#include "model/read_document.h"
#include "write/open_for_writing.h"
#include "picture/png_encoder.h"
#include "write/picture_data.h"

namespace zentoro {

namespace {

// The document at `path`, read whole (the model's reading is not guarded
// against a mapped file shrinking under it).
ConversionResult readInput(const char* path, RequestInput& input) {
    ConversionRequest request;
    request.inputPath = path;
    request.diagnostics = nullptr;
    ConversionResult read = readRequestInput(request, InputMapping::Never, input);
    if (read.succeeded() && input.readError != 0) return {Failure::InputUnreadable, input.readError};
    return read;
}

bool standsThere(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

// A picture that cannot be stored whole is removed, not left in part.
ConversionResult writePng(const std::filesystem::path& path, const std::vector<uint8_t>& png) {
    int error = 0;
    if (writeWholeFile(path, png, error)) return {};
    return {Failure::OutputUnwritable, error};
}

// A picture file named like the document itself would overwrite it.
bool namesTheInput(const std::filesystem::path& picture, const char* inputPath) {
    std::error_code error;
    return std::filesystem::equivalent(picture, pathFromNative(inputPath), error);
}

}  // namespace

std::string pictureFileName(const std::string& documentPath, int objectNumber) {
    return pngFileName(nativeFromPath(pathFromNative(documentPath).filename()), objectNumber - 1);
}

PictureExtraction extractPictures(const char* inputPath, const char* outputDir, ExistingPictures existing) {
    PictureExtraction extraction;
    try {
        RequestInput input;
        extraction.result = readInput(inputPath, input);
        if (!extraction.result.succeeded()) return extraction;
        Document document;
        extraction.result = readDocument(input.bytes.bytes(), document);
        if (!extraction.result.succeeded()) return extraction;
        for (size_t i = 0; i < document.objects.size(); ++i) {
            const EmbeddedObject& object = document.objects[i];
            if (object.kind != ObjectKind::Sketch) continue;
            int number = static_cast<int>(i + 1);
            std::vector<uint8_t> png = encodePng(object.picture);
            if (png.empty()) {
                const std::string reason = object.problem.empty() ? "the sketch could not be drawn" : object.problem;
                extraction.warnings.push_back("object " + std::to_string(number) + ": " + reason);
                continue;
            }
            std::filesystem::path path = pathFromNative(outputDir) / pathFromNative(pictureFileName(inputPath, number));
            if (namesTheInput(path, inputPath)) {
                extraction.result = {Failure::SameFile};
                return extraction;
            }
            if (existing == ExistingPictures::ListOnly) {
                extraction.paths.push_back(nativeFromPath(path));
                continue;
            }
            if (existing == ExistingPictures::Keep && standsThere(path)) {
                ++extraction.kept;
                continue;
            }
            extraction.result = writePng(path, png);
            if (!extraction.result.succeeded()) return extraction;
            extraction.paths.push_back(nativeFromPath(path));
            ++extraction.written;
        }
    } catch (const std::bad_alloc&) {
        extraction.result = {Failure::OutOfMemory};
    }
    return extraction;
}

}  // namespace zentoro
