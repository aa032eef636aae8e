// Names compared as file systems and users type them: ASCII letters in any
// case alike.
#pragma once

#include <cstddef>
#include <string_view>

namespace zentoro {

// Whether `typed` is `lower` (which is lower case) in any case.
inline bool equalIgnoringCase(std::string_view typed, std::string_view lower) {
    if (typed.size() != lower.size()) return false;
    for (size_t i = 0; i < typed.size(); ++i) {
        char c = typed[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i]) return false;
    }
    return true;
}

}  // namespace zentoro
