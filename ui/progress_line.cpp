#include "ui/progress_line.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace zentoro {

namespace {

constexpr size_t DefaultTerminalWidth = 80;
constexpr const char* Ellipsis = "...";
constexpr size_t EllipsisLength = 3;

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// The last `room` bytes of `path` at most, not starting inside a character.
std::string tailOf(const std::string& path, size_t room) {
    size_t start = path.size() - room;
    while (start < path.size() && isContinuationByte(path[start])) ++start;
    std::string tail(Ellipsis);
    tail.append(path, start);
    return tail;
}

std::string printable(std::string text) {
    for (char& c : text) {
        if (isControl(c)) c = '?';
    }
    return text;
}

size_t standardErrorWidth() {
#ifdef _WIN32
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
        int columns = info.srWindow.Right - info.srWindow.Left + 1;
        if (columns > 0) return static_cast<size_t>(columns);
    }
#else
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
#endif
    return DefaultTerminalWidth;
}

bool standardErrorIsTerminal() {
#ifdef _WIN32
    // A console answers GetConsoleMode; a file, a pipe or the NUL device does not.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
#else
    return ::isatty(STDERR_FILENO) == 1;
#endif
}

}  // namespace

std::string progressText(size_t done, size_t total, const std::string& current, size_t width) {
    std::string counter = std::string("[").append(std::to_string(done)).append("/");
    counter.append(std::to_string(total)).append("] ");
    // One column stays free so that the terminal never wraps the line.
    size_t usable = width > 1 ? width - 1 : 0;
    if (counter.size() >= usable) return counter.substr(0, usable);
    size_t room = usable - counter.size();
    std::string shown = printable(current);
    if (shown.size() <= room) return counter + shown;
    if (room <= EllipsisLength) return counter;
    return counter + tailOf(shown, room - EllipsisLength);
}

ProgressLine::ProgressLine(std::FILE* terminal, bool enabled, size_t width)
    : terminal_(terminal), enabled_(enabled), width_(width) {}

ProgressLine ProgressLine::onStandardError() {
    return ProgressLine(stderr, standardErrorIsTerminal(), standardErrorWidth());
}

void ProgressLine::show(size_t done, size_t total, const std::string& current) {
    if (!enabled_) return;
    clear();
    std::string text = progressText(done, total, current, width_);
    std::fputs(text.c_str(), terminal_);
    std::fflush(terminal_);
    drawn_ = text.size();
}

void ProgressLine::clear() {
    if (!enabled_ || drawn_ == 0) return;
    std::fprintf(terminal_, "\r%*s\r", static_cast<int>(drawn_), "");
    std::fflush(terminal_);
    drawn_ = 0;
}

}  // namespace zentoro
