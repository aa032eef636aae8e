#include "ui/folder_listing.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>

#include <cerrno>
#include <memory>
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

std::string listFolder(const fs::path& dir, std::vector<ListedName>& names) {
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
        if (!isDotEntry(found.cFileName)) names.push_back({found.cFileName, false});
    } while (FindNextFileW(search, &found));
    DWORD error = GetLastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES ? std::string() : messageFor(error);
}

#else

namespace {

struct ListingCloser {
    void operator()(DIR* listing) const { ::closedir(listing); }
};

bool isDotEntry(const char* name) { return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')); }

std::string messageFor(int error) { return std::error_code(error, std::generic_category()).message(); }

}  // namespace

// Read with readdir rather than a directory iterator, for the kind of entry
// the listing gives: a regular file need not be looked up again.
std::string listFolder(const fs::path& dir, std::vector<ListedName>& names) {
    std::unique_ptr<DIR, ListingCloser> listing(::opendir(dir.c_str()));
    if (!listing) return messageFor(errno);
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(listing.get());
        if (entry == nullptr) break;
        if (isDotEntry(entry->d_name)) continue;
#ifdef DT_REG
        bool regularFile = entry->d_type == DT_REG;
#else
        bool regularFile = false;
#endif
        names.push_back({entry->d_name, regularFile});
    }
    return errno != 0 ? messageFor(errno) : std::string();
}

#endif

}  // namespace zentoro
