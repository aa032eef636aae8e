// Real readers of what the writers make: an HTML5 parser in strict mode,
// tidy, and cmark. Each answers nothing when its tool is missing, so that
// tests can skip with the reason.
#pragma once

#include <optional>
#include <string>

namespace zentoro::testing {

struct ToolVerdict {
    bool passed = false;
    std::string messages;  // what the tool reported
};

// html5lib's parser with strict=True (Python 3); nothing without it.
std::optional<ToolVerdict> html5libCheck(const std::string& htmlPath);

// `tidy -errors -q`: passes when it finds nothing to report, neither an
// error nor a warning (such as an empty element it would trim); nothing
// without tidy.
std::optional<ToolVerdict> tidyCheck(const std::string& htmlPath);

// The HTML that cmark makes of a Markdown file, inline HTML passed
// through (or, in safe mode, left out as renderers of notes do); nothing
// without cmark.
std::optional<std::string> cmarkHtml(const std::string& markdownPath, bool safe = false);

// The HTML that pandoc makes of a CommonMark file; nothing without pandoc.
std::optional<std::string> pandocHtml(const std::string& markdownPath);

// The text of an HTML fragment or page as a reader sees it: tags dropped
// (<br> and block ends read as line ends), character references decoded,
// the head left out.
std::string visibleText(const std::string& html);

}  // namespace zentoro::testing
