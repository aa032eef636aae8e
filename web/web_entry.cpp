// The C entry the page calls through WebAssembly: one conversion, whose
// outcome the page reads through the accessors and then frees.
#include "web/web_entry.h"

#include <filesystem>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <system_error>

#include "convert/failure_description.h"
#include "web/web_conversion.h"

struct ZentoroOutcome {
    zentoro::KindConversion conversion;
    int failure = 0;
    std::string reason;
};

namespace {

// Pictures of Markdown outputs pass through here for a moment.
#ifdef __EMSCRIPTEN__
constexpr const char* ScratchFolder = "/tmp/zentoro-pictures";
#endif

const zentoro::ConvertedFile* fileAt(const ZentoroOutcome* outcome, size_t index) {
    if (outcome == nullptr || index >= outcome->conversion.files.size()) return nullptr;
    return &outcome->conversion.files[index];
}

}  // namespace

extern "C" {

ZentoroOutcome* zentoro_convert(const unsigned char* data, size_t size, const char* name, const char* format) {
    auto* outcome = new (std::nothrow) ZentoroOutcome;
    if (outcome == nullptr) return nullptr;
    std::optional<zentoro::OutputFormat> chosen = zentoro::webFormatNamed(format == nullptr ? "" : format);
    if (!chosen) {
        outcome->failure = ZENTORO_UNKNOWN_FORMAT;
        outcome->reason = "unknown output format";
        outcome->conversion.summary = "nothing";
        return outcome;
    }
    if (data == nullptr) size = 0;
    std::string scratch;
#ifdef __EMSCRIPTEN__
    std::error_code error;
    std::filesystem::create_directories(ScratchFolder, error);
    if (!error) scratch = ScratchFolder;
#endif
    outcome->conversion = zentoro::convertNamedFile(std::span<const unsigned char>(data, size),
                                                    name == nullptr ? "" : name, *chosen, scratch);
    outcome->failure = static_cast<int>(outcome->conversion.result.failure);
    outcome->reason = zentoro::describeFailure(outcome->conversion.result.failure);
    return outcome;
}

int zentoro_status(const ZentoroOutcome* outcome) {
    if (outcome == nullptr) return ZENTORO_NOT_CONVERTED;
    if (outcome->failure == 0) return ZENTORO_CONVERTED;
    if (!outcome->conversion.files.empty()) return ZENTORO_PARTLY_RECOVERED;
    if (outcome->conversion.result.failure == zentoro::Failure::NotWordDocument) return ZENTORO_NOT_A_DOCUMENT;
    return ZENTORO_NOT_CONVERTED;
}

int zentoro_failure(const ZentoroOutcome* outcome) { return outcome == nullptr ? ZENTORO_NO_MEMORY : outcome->failure; }

const char* zentoro_reason(const ZentoroOutcome* outcome) {
    return outcome == nullptr ? "not enough memory" : outcome->reason.c_str();
}

const char* zentoro_summary(const ZentoroOutcome* outcome) {
    return outcome == nullptr ? "nothing" : outcome->conversion.summary.c_str();
}

size_t zentoro_file_count(const ZentoroOutcome* outcome) {
    return outcome == nullptr ? 0 : outcome->conversion.files.size();
}

const char* zentoro_file_suffix(const ZentoroOutcome* outcome, size_t index) {
    const zentoro::ConvertedFile* file = fileAt(outcome, index);
    return file == nullptr ? "" : file->suffix.c_str();
}

const unsigned char* zentoro_file_bytes(const ZentoroOutcome* outcome, size_t index) {
    const zentoro::ConvertedFile* file = fileAt(outcome, index);
    return file == nullptr ? nullptr : reinterpret_cast<const unsigned char*>(file->bytes.data());
}

size_t zentoro_file_size(const ZentoroOutcome* outcome, size_t index) {
    const zentoro::ConvertedFile* file = fileAt(outcome, index);
    return file == nullptr ? 0 : file->bytes.size();
}

void zentoro_free(ZentoroOutcome* outcome) { delete outcome; }

}  // extern "C"
