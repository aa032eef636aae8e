// A number as the fewest digits that read back as exactly it: plain or
// with an exponent, whichever is shorter (plain on a tie), as
// std::to_chars writes a double. Where the C++ library lacks to_chars for
// doubles (the WebAssembly build's), the same text is found through printf.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zentoro {

inline std::string shortestDecimal(double value) {
    char buffer[64];
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc{} ? std::string(buffer, end) : std::string{};
#else
    if (!std::isfinite(value)) {
        return std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan") : (value < 0 ? "-inf" : "inf");
    }
    int digits = 1;
    for (; digits < 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
        if (std::strtod(buffer, nullptr) == value) break;
    }
    int length = std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
    std::string scientific(buffer, static_cast<size_t>(length));
    int exponent = std::atoi(scientific.c_str() + scientific.find('e') + 1);
    int decimals = digits - 1 - exponent < 0 ? 0 : digits - 1 - exponent;
    length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string plain = length > 0 && length < static_cast<int>(sizeof buffer) ? std::string(buffer, static_cast<size_t>(length))
                                                                               : scientific;
    return plain.size() <= scientific.size() ? plain : scientific;
#endif
}

}  // namespace zentoro
