#include "tests/support/output_checks.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "model/code_page.h"

namespace zentoro::testing {

namespace {

struct Run {
    int status = -1;
    std::string output;  // standard output and standard error together
};

std::string quoted(const std::string& path) {
    std::string result = "'";
    for (char c : path) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

Run run(const std::string& command) {
    Run result;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
    int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

bool available(const std::string& probe) { return run(probe + " >/dev/null").status == 0; }

constexpr const char* Python = "/usr/bin/python3";

}  // namespace

std::optional<ToolVerdict> html5libCheck(const std::string& htmlPath) {
    if (!available(std::string(Python) + " -c 'import html5lib'")) return std::nullopt;
    Run check = run(std::string(Python) +
                    " -c 'import sys, html5lib; html5lib.HTMLParser(strict=True).parse(open(sys.argv[1], \"rb\").read())' " +
                    quoted(htmlPath));
    return ToolVerdict{check.status == 0, check.output};
}

std::optional<ToolVerdict> tidyCheck(const std::string& htmlPath) {
    if (!available("tidy -v")) return std::nullopt;
    // Status 2 means errors, 1 warnings, which -errors does not print: the
    // warnings are asked for again to say what they were.
    Run check = run("tidy -errors -q " + quoted(htmlPath));
    if (check.status == 1) check.output += run("tidy -q -e " + quoted(htmlPath)).output;
    return ToolVerdict{check.status == 0, check.output};
}

std::optional<std::string> cmarkHtml(const std::string& markdownPath, bool safe) {
    if (!available("cmark --version")) return std::nullopt;
    Run rendering = run(std::string(safe ? "cmark " : "cmark --unsafe ") + quoted(markdownPath));
    if (rendering.status != 0) return std::nullopt;
    return rendering.output;
}

std::optional<std::string> pandocHtml(const std::string& markdownPath) {
    if (!available("pandoc --version")) return std::nullopt;
    Run rendering = run("pandoc -f commonmark -t html --wrap=none " + quoted(markdownPath));
    if (rendering.status != 0) return std::nullopt;
    return rendering.output;
}

namespace {

void appendReference(std::string& text, std::string_view name) {
    static constexpr std::pair<std::string_view, char32_t> Named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"nbsp", 0xA0}, {"shy", 0xAD}};
    for (auto [entity, c] : Named) {
        if (name == entity) return appendUtf8(text, c);
    }
    if (name.size() > 1 && name[0] == '#') {
        bool hex = name[1] == 'x' || name[1] == 'X';
        std::string digits{name.substr(hex ? 2 : 1)};
        appendUtf8(text, static_cast<char32_t>(std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10)));
        return;
    }
    text.append("&").append(name).append(";");
}

bool endsLine(std::string_view tag) {
    for (std::string_view name : {"br", "/p", "/li", "/h1", "/h2", "/h3", "/h4", "/h5", "/h6", "hr"}) {
        if (tag.substr(0, name.size()) == name &&
            (tag.size() == name.size() || tag[name.size()] == ' ' || tag[name.size()] == '/')) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string visibleText(const std::string& html) {
    std::string_view rest = html;
    if (size_t head = rest.find("</head>"); head != std::string_view::npos) rest.remove_prefix(head + 7);
    std::string text;
    while (!rest.empty()) {
        char c = rest.front();
        if (c == '<') {
            size_t end = rest.find('>');
            if (end == std::string_view::npos) break;
            if (endsLine(rest.substr(1, end - 1))) text += '\n';
            rest.remove_prefix(end + 1);
            if (!rest.empty() && rest.front() == '\n') rest.remove_prefix(1);  // the markup's own line end
        } else if (c == '&' && rest.find(';') != std::string_view::npos && rest.find(';') < 12) {
            size_t end = rest.find(';');
            appendReference(text, rest.substr(1, end - 1));
            rest.remove_prefix(end + 1);
        } else {
            text += c;
            rest.remove_prefix(1);
        }
    }
    return text;
}

}  // namespace zentoro::testing
