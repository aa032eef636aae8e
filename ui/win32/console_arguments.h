// The console program's arguments on Windows, read from the wide command line.
#pragma once

#include <string>
#include <vector>

namespace zentoro {

// The arguments in the ANSI code page, as argv holds them, except that a
// character the code page lacks becomes '?' (which no file name holds)
// rather than the look-alike the C runtime picks, which could name some
// other file. Under the manifest's UTF-8 code page they equal argv.
// Empty if the command line cannot be read.
std::vector<std::string> commandLineArguments();

}  // namespace zentoro
