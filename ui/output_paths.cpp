#include "ui/output_paths.h"

#include <system_error>

#include "convert/native_path.h"
#include "ui/dialog_messages.h"

namespace zentoro {

namespace fs = std::filesystem;

namespace {

fs::path normalised(const std::string& path) {
    std::error_code error;
    fs::path native = pathFromNative(path);
    fs::path absolute = fs::absolute(native, error);
    return (error ? native : absolute).lexically_normal();
}

}  // namespace

std::string outputPathFor(const std::string& input, const fs::path& relative,
                          const std::optional<std::string>& outputDir) {
    if (!outputDir) return input + OutputSuffix;
    return nativeFromPath(pathFromNative(*outputDir) / relative) + OutputSuffix;
}

std::optional<std::string> OutputClaims::claim(const std::string& output, const std::string& input) {
    auto [claimed, isNew] = claims_.try_emplace(normalised(output), input);
    if (isNew || normalised(claimed->second) == normalised(input)) return std::nullopt;
    return claimed->second;
}

}  // namespace zentoro
