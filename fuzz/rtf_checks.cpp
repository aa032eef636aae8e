#include "fuzz/rtf_checks.h"

#include <cctype>
#include <string_view>

namespace zentoro::fuzzing {

namespace {

constexpr char ParagraphEnd = 6;
constexpr char LineBreak = 7;
constexpr char PageBreak = 8;
constexpr char Tab = 9;
constexpr char UnbreakableTab = 10;
constexpr char HardHyphen = 11;
constexpr char SoftHyphen = 12;
constexpr char VisibleSpace = 15;
constexpr char HardSpace = 16;

std::string at(size_t pos) { return " at byte " + std::to_string(pos); }

bool isHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (c | 0x20) - 'a' + 10;
}

// Groups whose content is not text.
bool isDestination(std::string_view word) {
    for (std::string_view destination : {"fonttbl", "stylesheet", "colortbl", "field", "fldinst", "info", "pict"}) {
        if (word == destination) return true;
    }
    return false;
}

char textOfWord(std::string_view word) {
    if (word == "par") return ParagraphEnd;
    if (word == "line") return LineBreak;
    if (word == "page") return PageBreak;
    if (word == "tab") return Tab;
    return 0;
}

// Reads one control word at `pos` (just past the backslash): letters, an
// optional signed number and one optional space. Returns the letters.
std::string_view readControlWord(std::string_view rtf, size_t& pos) {
    size_t start = pos;
    while (pos < rtf.size() && isLetter(rtf[pos])) ++pos;
    std::string_view word = rtf.substr(start, pos - start);
    if (pos < rtf.size() && rtf[pos] == '-') ++pos;
    while (pos < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[pos]))) ++pos;
    if (pos < rtf.size() && rtf[pos] == ' ') ++pos;
    return word;
}

}  // namespace

std::string rtfWellFormednessProblem(std::string_view rtf) {
    long depth = 0;
    for (size_t pos = 0; pos < rtf.size(); ++pos) {
        unsigned char c = static_cast<unsigned char>(rtf[pos]);
        if (c < 32 && c != '\n') return "raw byte " + std::to_string(c) + at(pos);
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth < 0) return "a brace closes a group that was never opened" + at(pos);
        } else if (c == '\\') {
            if (pos + 1 == rtf.size()) return "a backslash ends the RTF";
            if (rtf[pos + 1] == '\'') {
                if (pos + 3 >= rtf.size() || !isHexDigit(rtf[pos + 2]) || !isHexDigit(rtf[pos + 3])) {
                    return "\\' without two hex digits" + at(pos);
                }
                pos += 3;
            } else {
                ++pos;  // an escaped brace or backslash is text
                if (static_cast<unsigned char>(rtf[pos]) < 32 && rtf[pos] != '\n') {
                    return "raw byte " + std::to_string(static_cast<unsigned char>(rtf[pos])) + at(pos);
                }
            }
        }
    }
    if (depth != 0) return std::to_string(depth) + " group(s) left open at the end";
    return {};
}

std::string visibleRtfText(std::string_view rtf) {
    std::string text;
    long depth = 0;
    long skipBelow = -1;  // inside a destination: its depth, else -1
    bool groupStart = false;
    for (size_t pos = 0; pos < rtf.size();) {
        char c = rtf[pos];
        bool atGroupStart = groupStart;
        groupStart = false;
        if (c == '{') {
            ++depth;
            groupStart = true;
            ++pos;
            continue;
        }
        if (c == '}') {
            if (depth == skipBelow) skipBelow = -1;
            --depth;
            ++pos;
            continue;
        }
        bool skipping = skipBelow != -1;
        if (c == '\n' || c == '\r') {
            ++pos;
            continue;
        }
        if (c != '\\') {
            // Raw control bytes show nothing.
            if (!skipping && static_cast<unsigned char>(c) >= 32) text += c;
            ++pos;
            continue;
        }
        ++pos;
        if (pos == rtf.size()) break;
        char next = rtf[pos];
        if (isLetter(next)) {
            std::string_view word = readControlWord(rtf, pos);
            if (skipping) continue;
            if (atGroupStart && isDestination(word)) {
                skipBelow = depth;
            } else if (char mark = textOfWord(word)) {
                text += mark;
            }
            continue;
        }
        ++pos;
        if (next == '*' && atGroupStart && !skipping) {
            skipBelow = depth;
            continue;
        }
        if (skipping) {
            if (next == '\'') pos += 2;
            continue;
        }
        switch (next) {
            case '\\':
            case '{':
            case '}': text += next; break;
            case '_': text += HardHyphen; break;
            case '-': text += SoftHyphen; break;
            case '~': text += HardSpace; break;
            case '\n':
            case '\r': text += ParagraphEnd; break;
            case '\'':
                if (pos + 1 < rtf.size() && isHexDigit(rtf[pos]) && isHexDigit(rtf[pos + 1])) {
                    text += static_cast<char>(hexValue(rtf[pos]) * 16 + hexValue(rtf[pos + 1]));
                    pos += 2;
                }
                break;
            default: break;
        }
    }
    return text;
}

std::string expectedVisibleText(std::string_view documentText) {
    std::string text;
    for (char c : documentText) {
        switch (c) {
            case ParagraphEnd:
            case LineBreak:
            case PageBreak:
            case Tab:
            case HardHyphen:
            case SoftHyphen:
            case HardSpace: text += c; break;
            case UnbreakableTab: text += Tab; break;
            case VisibleSpace: text += ' '; break;
            default:
                if (static_cast<unsigned char>(c) >= 32) text += c;
                break;
        }
    }
    return text;
}

}  // namespace zentoro::fuzzing
