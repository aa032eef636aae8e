// The command-line front end: the terminal stands in for the dialog and
// reports, for each file, what the dialog's message boxes would say.
#pragma once

namespace zentoro {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitSomeFailed = 1;
inline constexpr int ExitUsage = 2;

int runConsole(int argc, char** argv);

}  // namespace zentoro
