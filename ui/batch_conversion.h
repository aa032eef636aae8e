// Runs what the command line asked for over its files and folders: each
// named file as the dialog would handle it, each folder walked for the Word
// documents in it, with a progress line and a closing summary for folders.
#pragma once

#include "ui/console_options.h"

namespace zentoro {

// Returns the exit status: ExitSuccess when nothing failed, else ExitSomeFailed.
int runConversions(const ConsoleOptions& options);

}  // namespace zentoro
