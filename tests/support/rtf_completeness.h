// Whether an RTF file is whole: one document group, opened at the first
// byte and closed by the last brace, with every group inside it closed.
#pragma once

#include <string>
#include <string_view>

namespace zentoro::testing {

// Empty when the RTF is complete, otherwise what is wrong with it. Escaped
// braces and backslashes (\{ \} \\) are text, not group marks; whitespace
// may follow the closing brace.
std::string rtfCompletenessProblem(std::string_view rtf);

}  // namespace zentoro::testing
