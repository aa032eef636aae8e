#include "ui/escaped_name.h"

#include <cstdio>

namespace zentoro {

namespace {

constexpr unsigned char Delete = 0x7F;
constexpr unsigned char Utf8C1Lead = 0xC2;

bool isC1InUtf8(const std::string& name, size_t i) {
    if (static_cast<unsigned char>(name[i]) != Utf8C1Lead || i + 1 >= name.size()) return false;
    unsigned char next = static_cast<unsigned char>(name[i + 1]);
    return next >= 0x80 && next <= 0x9F;
}

void appendHex(std::string& out, unsigned char byte) {
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    out += escape;
}

}  // namespace

std::string escapedName(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == Delete) {
            appendHex(out, c);
        } else if (isC1InUtf8(name, i)) {
            appendHex(out, c);
            appendHex(out, static_cast<unsigned char>(name[++i]));
        } else {
            out += name[i];
        }
    }
    return out;
}

}  // namespace zentoro
