// The system's open-file dialog, as the converter uses it to pick a document.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace zentoro {

// The full path of the one existing file the user chose, or nothing when the
// user cancelled or the dialog could not be shown.
std::optional<std::string> browseForWordFile(HWND owner);

}  // namespace zentoro
