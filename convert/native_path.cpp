#include "convert/native_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zentoro {

#ifdef _WIN32

std::filesystem::path pathFromNative(std::string_view text) {
    if (text.empty()) return {};
    int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return std::filesystem::path(std::move(wide));
}

std::string nativeFromPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    int size = static_cast<int>(wide.size());
    // UTF-8 takes no flags; a legacy code page must not swap a character
    // for a look-alike ("best fit"), which could name a different file.
    DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int length = WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

namespace {

bool startsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// What GetFullPathNameW makes of the path, or the path itself when it fails.
std::wstring fullPath(const std::wstring& path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

}  // namespace

std::wstring extendedLengthPath(std::string_view text) {
    std::wstring path = pathFromNative(text).native();
    if (path.empty() || startsWith(path, L"\\\\?\\") || startsWith(path, L"\\\\.\\")) return path;
    // An extended-length path is passed to the file system untouched, so it
    // is resolved here first, exactly as a plain call would resolve it.
    std::wstring full = fullPath(path);
    if (startsWith(full, L"\\\\?\\") || startsWith(full, L"\\\\.\\")) return full;
    if (startsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    bool drive = full.size() >= 3 && full[1] == L':' && full[2] == L'\\';
    return drive ? L"\\\\?\\" + full : full;
}

#else

std::filesystem::path pathFromNative(std::string_view text) { return std::filesystem::path(text); }

std::string nativeFromPath(const std::filesystem::path& path) { return path.native(); }

#endif

}  // namespace zentoro
