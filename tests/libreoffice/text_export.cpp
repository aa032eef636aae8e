#include "tests/libreoffice/text_export.h"

#include <sys/wait.h>

#include <cstdlib>

namespace zentoro::testing {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view BulletFieldCharacter = "\xC2\x95";  // U+0095 in UTF-8
constexpr int NoExitStatus = -1;

// One word for the shell, whatever the path holds.
std::string shellQuoted(const std::string& word) {
    constexpr std::string_view QuoteInsideQuotes = "'\\''";
    std::string quoted(1, '\'');
    for (char c : word) {
        if (c == '\'') {
            quoted.append(QuoteInsideQuotes);
        } else {
            quoted.push_back(c);
        }
    }
    quoted.push_back('\'');
    return quoted;
}

std::string commandLine(const TextExport& run, const std::vector<std::filesystem::path>& files) {
    std::string profile = "-env:UserInstallation=file://";
    profile.append(run.profileDir.string());
    std::string command = "timeout ";
    command.append(std::to_string(run.timeoutSeconds)).append(" ").append(shellQuoted(run.soffice.string()));
    command.append(" ").append(shellQuoted(profile));
    command.append(" --headless --convert-to txt:Text --outdir ").append(shellQuoted(run.outputDir.string()));
    for (const auto& file : files) command.append(" ").append(shellQuoted(file.string()));
    command.append(" >").append(shellQuoted(run.logFile.string())).append(" 2>&1");
    return command;
}

}  // namespace

std::optional<std::filesystem::path> findOnPath(std::string_view program) {
    const char* path = std::getenv("PATH");
    std::string_view dirs = path == nullptr ? "" : path;
    while (!dirs.empty()) {
        size_t colon = dirs.find(':');
        std::filesystem::path candidate = std::filesystem::path(dirs.substr(0, colon)) / program;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) return candidate;
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
    }
    return std::nullopt;
}

int exportAsText(const TextExport& run, const std::vector<std::filesystem::path>& files) {
    int raw = std::system(commandLine(run, files).c_str());
    return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : NoExitStatus;
}

std::filesystem::path exportedTextPath(const TextExport& run, const std::filesystem::path& rtfFile) {
    return run.outputDir / rtfFile.stem().concat(".txt");
}

std::string textOfExport(std::string_view exported) {
    if (exported.starts_with(ByteOrderMark)) exported.remove_prefix(ByteOrderMark.size());
    std::string text;
    text.reserve(exported.size());
    for (size_t pos = 0; pos < exported.size();) {
        size_t bullet = exported.find(BulletFieldCharacter, pos);
        text.append(exported.substr(pos, bullet - pos));
        pos = bullet == std::string_view::npos ? exported.size() : bullet + BulletFieldCharacter.size();
    }
    return text;
}

}  // namespace zentoro::testing
