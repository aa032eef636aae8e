// File names as report lines show them: a name may hold a line feed, which
// would fake a report line, or an escape sequence, which would drive the
// terminal.
#pragma once

#include <string>

namespace zentoro {

// The name with control characters (C0, DEL and, in UTF-8, C1) written as
// C escapes: "\n", "\t", "\r", "\x1b", "\xc2\x9b". Everything else, a
// backslash included, stays as it is.
std::string escapedName(const std::string& name);

}  // namespace zentoro
