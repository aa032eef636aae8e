#include "ui/output_paths.h"

#include <system_error>

#include "ui/dialog_messages.h"

namespace zentoro {

namespace fs = std::filesystem;

namespace {

fs::path normalised(const std::string& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    return (error ? fs::path(path) : absolute).lexically_normal();
}

}  // namespace

std::string outputPathFor(const std::string& input, const fs::path& relative,
                          const std::optional<std::string>& outputDir, std::string_view extension) {
    std::string base = outputDir ? (fs::path(*outputDir) / relative).string() : input;
    return base.append(extension);
}

std::optional<std::string> OutputClaims::claim(const std::string& output, const std::string& input) {
    auto [claimed, isNew] = claims_.try_emplace(normalised(output), input);
    if (isNew || normalised(claimed->second) == normalised(input)) return std::nullopt;
    return claimed->second;
}

}  // namespace zentoro
