#include "write/bullet_marker.h"

namespace zentoro {

char32_t shownBullet(char32_t character) {
    bool control = character < 0x20 || (character >= 0x7F && character < 0xA0);
    bool unshowable = character == 0xFFFD || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF);
    return control || unshowable || character == ' ' ? U'\u2022' : character;
}

std::string_view BulletTabSkipper::next(const Run& run, std::string_view text) {
    if (!pending_) return text;
    if (run.kind == RunKind::Object) {
        pending_ = false;
        return text;
    }
    if (text.empty()) return text;
    pending_ = false;
    return text.front() == '\t' ? text.substr(1) : text;
}

}  // namespace zentoro
