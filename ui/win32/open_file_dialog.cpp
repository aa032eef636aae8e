#include "ui/win32/open_file_dialog.h"

#include <commdlg.h>

#include <vector>

namespace zentoro {

namespace {

// The most the open-file dialog may write, terminator included.
constexpr DWORD FileNameBufferSize = 66560;
// One filter, then the empty string that ends the list.
constexpr char AllFilesFilter[] = "All files (*.*)\0*.*\0";
constexpr const char* OpenFileTitle = "Load Text file(s)...";
constexpr DWORD OpenFileFlags = OFN_LONGNAMES | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
static_assert(OpenFileFlags == 0x281008);

}  // namespace

std::optional<std::string> browseForWordFile(HWND owner) {
    std::vector<char> fileName(FileNameBufferSize, '\0');
    OPENFILENAMEA request{};
    // The size of this structure version as compiled: 76 only in a 32-bit
    // build; a 64-bit GetOpenFileNameA rejects 76 and shows nothing.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = owner;
    request.lpstrFilter = AllFilesFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = fileName.data();
    request.nMaxFile = FileNameBufferSize;
    request.lpstrInitialDir = "";
    request.lpstrTitle = OpenFileTitle;
    request.Flags = OpenFileFlags;
    request.lpstrDefExt = "*.*";
    if (GetOpenFileNameA(&request) == 0) return std::nullopt;
    // The whole path, however long: the buffer is zero-terminated within its size.
    return std::string(fileName.data());
}

}  // namespace zentoro
