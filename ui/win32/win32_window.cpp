#include "ui/win32/win32_window.h"

#include "ui/win32/open_file_dialog.h"

namespace zentoro {

namespace {

int controlId(DialogField field) { return static_cast<int>(field); }

}  // namespace

std::string Win32Window::readField(DialogField field) {
    // Sized from the field itself, so that a long path comes back whole.
    LRESULT length = SendDlgItemMessageA(dialog_, controlId(field), WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = SendDlgItemMessageA(dialog_, controlId(field), WM_GETTEXT, text.size(),
                                         reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

void Win32Window::setField(DialogField field, const std::string& text) {
    SendDlgItemMessageA(dialog_, controlId(field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32Window::showMessage(const char* text, const char* caption) { MessageBoxA(dialog_, text, caption, MB_OK); }

std::optional<std::string> Win32Window::pickFile() { return browseForWordFile(dialog_); }

void Win32Window::endDialog() { EndDialog(dialog_, 0); }

void Win32Window::showRestored() { ShowWindow(dialog_, SW_RESTORE); }

}  // namespace zentoro
