#include "tests/libreoffice/text_export.h"

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>

#include "tests/support/cp1252.h"

namespace zentoro::testing {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view BulletFieldCharacter = "\xC2\x95";  // U+0095 in UTF-8
constexpr int NoExitStatus = -1;

// The character that a character reference such as "&amp;" or "&#x2011;" stands for.
void appendReference(std::string& out, std::string_view name) {
    if (name == "amp") {
        out.push_back('&');
    } else if (name == "lt") {
        out.push_back('<');
    } else if (name == "gt") {
        out.push_back('>');
    } else if (name == "quot") {
        out.push_back('"');
    } else if (name == "apos") {
        out.push_back('\'');
    } else if (name.starts_with('#')) {
        bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        uint32_t code = static_cast<uint32_t>(std::strtoul(std::string(name.substr(hex ? 2 : 1)).c_str(), nullptr, hex ? 16 : 10));
        appendUtf8(out, static_cast<char32_t>(code));
    }
}

// The number in a text:s element's text:c attribute, 1 without one.
size_t spaceCount(std::string_view tag) {
    size_t at = tag.find("text:c=\"");
    if (at == std::string_view::npos) return 1;
    return std::strtoul(std::string(tag.substr(at + 8)).c_str(), nullptr, 10);
}

// The text of an element's content: what a reader sees of it.
std::string textOfXml(std::string_view xml) {
    std::string text;
    for (size_t pos = 0; pos < xml.size();) {
        char c = xml[pos];
        if (c == '<') {
            size_t close = xml.find('>', pos);
            if (close == std::string_view::npos) break;
            std::string_view tag = xml.substr(pos + 1, close - pos - 1);
            std::string_view name = tag.substr(0, tag.find_first_of(" /"));
            if (name == "text:tab") text.push_back('\t');
            if (name == "text:line-break" || tag == "/text:p" || tag == "/text:h") text.push_back('\n');
            if (name == "text:s") text.append(spaceCount(tag), ' ');
            if ((name == "text:p" || name == "text:h") && tag.ends_with('/')) text.push_back('\n');
            pos = close + 1;
        } else if (c == '&') {
            size_t end = xml.find(';', pos);
            if (end == std::string_view::npos) break;
            appendReference(text, xml.substr(pos + 1, end - pos - 1));
            pos = end + 1;
        } else {
            text.push_back(c);
            ++pos;
        }
    }
    return text;
}

// The content of the first element named `name` ("<name>" or "<name ...>",
// not "<name-...>"), up to its closing tag; empty when there is none or it
// is empty.
std::string_view firstElementContent(std::string_view xml, std::string_view name) {
    std::string open(1, '<');
    open.append(name);
    std::string closing("</");
    closing.append(name).push_back('>');
    for (size_t at = xml.find(open); at != std::string_view::npos; at = xml.find(open, at + 1)) {
        char after = at + open.size() < xml.size() ? xml[at + open.size()] : '\0';
        if (after != '>' && after != ' ' && after != '/') continue;
        size_t start = xml.find('>', at);
        if (start == std::string_view::npos || xml[start - 1] == '/') return {};
        size_t end = xml.find(closing, start);
        if (end == std::string_view::npos) return {};
        return xml.substr(start + 1, end - start - 1);
    }
    return {};
}

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
    command.append(" --headless --convert-to ").append(shellQuoted(run.format));
    command.append(" --outdir ").append(shellQuoted(run.outputDir.string()));
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
    return run.outputDir / rtfFile.stem().concat(run.extension);
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

HeaderFooterRead headerAndFooterOfFlatOdt(std::string_view fodt) {
    std::string_view masterPage = firstElementContent(fodt, "style:master-page");
    return {textOfXml(firstElementContent(masterPage, "style:header")),
            textOfXml(firstElementContent(masterPage, "style:footer"))};
}

}  // namespace zentoro::testing
