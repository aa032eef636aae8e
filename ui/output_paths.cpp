#include "ui/output_paths.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include <sys/stat.h>
#include "convert/native_path.h"

namespace zentoro {

namespace fs = std::filesystem;

// The path made absolute and normalised; on Windows and macOS folded to
// lower case as well. The working folder is asked for once: the run never
// changes it. Windows resolves a path itself (a drive-relative "C:x" needs
// the drive's own folder).
fs::path OutputClaims::normalised(const std::string& path) {
    fs::path native = pathFromNative(path);
#ifdef _WIN32
    std::error_code error;
    fs::path absolute = fs::absolute(native, error);
    if (error) absolute = native;
#else
    if (native.is_relative() && workingFolder_.empty()) {
        std::error_code error;
        workingFolder_ = fs::current_path(error);
    }
    fs::path absolute = native.is_relative() && !workingFolder_.empty() ? workingFolder_ / native : native;
#endif
    fs::path normal = absolute.lexically_normal();
#if defined(_WIN32) || defined(__APPLE__)
    std::string folded = nativeFromPath(normal);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return pathFromNative(folded);
#else
    return normal;
#endif
}

std::string outputPathFor(const std::string& input, const fs::path& relative,
                          const std::optional<std::string>& outputDir, const char* extension) {
    if (!outputDir) return input + extension;
    return nativeFromPath(pathFromNative(*outputDir) / relative) + extension;
}

std::optional<std::string> OutputClaims::claim(const std::string& output, const std::string& input) {
    // Normalised paths are equal exactly when their text is: compared as
    // text, not part by part.
    auto [claimed, isNew] = claims_.try_emplace(nativeFromPath(normalised(output)), input);
    if (isNew || normalised(claimed->second) == normalised(input)) return std::nullopt;
    return claimed->second;
}

std::optional<WrittenOutputs::Identity> WrittenOutputs::identityOf(const std::string& path) {
#ifndef _WIN32
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0) return std::nullopt;
    return Identity{static_cast<std::uintmax_t>(status.st_dev), static_cast<std::uintmax_t>(status.st_ino)};
#else
    (void)path;
    return std::nullopt;  // Windows relies on the case-folded claims
#endif
}

void WrittenOutputs::record(const std::string& output, const std::string& input) {
    unidentified_.emplace_back(output, input);
}

void WrittenOutputs::identifyRecorded() {
    for (const auto& [output, input] : unidentified_) {
        if (std::optional<Identity> identity = identityOf(output)) writers_[*identity] = input;
    }
    unidentified_.clear();
}

std::optional<std::string> WrittenOutputs::writerOf(const std::string& output) {
    std::optional<Identity> identity = identityOf(output);
    if (identity) identifyRecorded();
    if (!identity) return std::nullopt;
    auto writer = writers_.find(*identity);
    if (writer == writers_.end()) return std::nullopt;
    return writer->second;
}

}  // namespace zentoro
