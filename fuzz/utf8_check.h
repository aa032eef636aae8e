// Whether a writer's text output is valid UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace zentoro::fuzzing {

// Empty when `text` is valid UTF-8 (shortest forms only, no surrogates,
// nothing above U+10FFFF); otherwise what is wrong, and where.
std::string utf8Problem(std::string_view text);

}  // namespace zentoro::fuzzing
