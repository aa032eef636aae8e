#include "ui/folder_listing.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zentoro {

namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

// The folder's absolute path in the form that lifts the 260-character limit
// ("\\?\C:\..." or "\\?\UNC\server\share\..."). MinGW's directory iterator
// goes through a 260-character buffer, and past it lists some other folder
// (the current one) instead of failing.
std::wstring extendedLengthPath(const fs::path& dir) {
    std::error_code error;
    fs::path absolute = fs::absolute(dir, error);
    if (error) absolute = dir;
    std::wstring path = absolute.make_preferred().native();
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool isDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::string messageFor(DWORD error) { return std::error_code(static_cast<int>(error), std::system_category()).message(); }

}  // namespace

std::string listFolder(const fs::path& dir, std::vector<fs::path>& names) {
    std::wstring pattern = extendedLengthPath(dir);
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? std::string() : messageFor(error);
    }
    do {
        if (!isDotEntry(found.cFileName)) names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    DWORD error = GetLastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES ? std::string() : messageFor(error);
}

#else

std::string listFolder(const fs::path& dir, std::vector<fs::path>& names) {
    std::error_code error;
    fs::directory_iterator it(dir, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) names.push_back(it->path().filename());
    return error ? error.message() : std::string();
}

#endif

}  // namespace zentoro
