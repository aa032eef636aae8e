#include "write/date_picture.h"

#include <cctype>
#include <vector>

namespace zentoro {

namespace {

// The runs of non-digits between the digit runs of an expansion such as
// "03-02-2004": the date separators the device used.
std::vector<std::string> separatorsOf(std::string_view expansion) {
    std::vector<std::string> separators;
    std::string current;
    bool seenDigit = false;
    for (char c : expansion) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            if (seenDigit && !current.empty()) separators.push_back(current);
            current.clear();
            seenDigit = true;
        } else if (seenDigit) {
            current.push_back(c);
        }
    }
    return separators;
}

std::string component(char code, bool shortForm) {
    switch (code) {
        case 'D': return shortForm ? "d" : "dd";
        case 'M': return shortForm ? "M" : "MM";
        case 'Y': return shortForm ? "yy" : "yyyy";
        default: return "";
    }
}

// Letters in a picture are codes; anything else the pattern holds literally
// is quoted.
void appendLiteral(std::string& picture, char c) {
    if (std::isalpha(static_cast<unsigned char>(c))) {
        picture += '\'';
        picture += c;
        picture += '\'';
    } else if (c != '"' && c != '\\') {
        picture += c;
    }
}

}  // namespace

DatePicture datePicture(std::string_view pattern, std::string_view expansion) {
    DatePicture result;
    std::vector<std::string> separators = separatorsOf(expansion);
    // With numbered places (%1 %2 %3), %D %M %Y only give the order of the parts.
    bool numbered = pattern.find("%1") != std::string_view::npos;
    std::string order;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            appendLiteral(result.picture, c);
            continue;
        }
        bool shortForm = pattern[i + 1] == '*';
        if (shortForm) ++i;
        if (i + 1 >= pattern.size()) break;
        char code = pattern[++i];
        auto digitAfter = [&]() -> int {
            if (i + 1 < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[i + 1]))) return pattern[++i] - '0';
            return -1;
        };
        switch (code) {
            case 'D':
            case 'M':
            case 'Y':
                if (numbered) {
                    order += code;
                } else {
                    result.picture += component(code, shortForm);
                }
                result.hasDate = true;
                break;
            case '1':
            case '2':
            case '3': {
                size_t place = static_cast<size_t>(code - '1');
                if (place < order.size()) result.picture += component(order[place], shortForm);
                break;
            }
            case '/': {
                int n = digitAfter();
                if (n >= 1 && n <= 2) {
                    size_t index = static_cast<size_t>(n - 1);
                    result.picture += index < separators.size() ? separators[index] : "/";
                }
                break;
            }
            case ':': {
                int n = digitAfter();
                if (n >= 1 && n <= 2) result.picture += ':';
                break;
            }
            case 'H': result.picture += shortForm ? "H" : "HH"; break;
            case 'I':
            case 'J': result.picture += shortForm ? "h" : "hh"; break;
            case 'T': result.picture += "mm"; break;
            case 'S': result.picture += "ss"; break;
            case 'A':
            case 'B': result.picture += "am/pm"; break;
            case '%': result.picture += '%'; break;
            default: break;
        }
    }
    return result;
}

}  // namespace zentoro
