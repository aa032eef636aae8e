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

#else

std::filesystem::path pathFromNative(std::string_view text) { return std::filesystem::path(text); }

std::string nativeFromPath(const std::filesystem::path& path) { return path.native(); }

#endif

}  // namespace zentoro
