// Joins pieces of text into one string in a single allocation.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace zentoro {

inline std::string concat(std::initializer_list<std::string_view> pieces) {
    size_t size = 0;
    for (std::string_view piece : pieces) size += piece.size();
    std::string joined;
    joined.reserve(size);
    for (std::string_view piece : pieces) joined += piece;
    return joined;
}

}  // namespace zentoro
