// The Windows program: runs the converter dialog modally and ends with it.
#include <windows.h>

#include <new>

#include "ui/converter_dialog.h"
#include "ui/win32/win32_window.h"

namespace zentoro {

namespace {

// One run of the dialog: its window and its behaviour.
struct DialogSession {
    Win32Window window;
    ConverterDialog dialog{window};
};

DialogSession* sessionOf(HWND dialog) {
    return reinterpret_cast<DialogSession*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR startSession(HWND dialog, LPARAM session) {
    SetWindowLongPtrA(dialog, DWLP_USER, session);
    auto* started = reinterpret_cast<DialogSession*>(session);
    started->window.attach(dialog);
    started->dialog.initialise();
    return FALSE;
}

INT_PTR handleMessage(DialogSession& session, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_CLOSE:
        session.dialog.close();
        return FALSE;
    case WM_COMMAND:
        // Only the control id decides; the notification code is not looked at.
        return session.dialog.command(LOWORD(wParam)) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK converterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return startSession(dialog, lParam);
    DialogSession* session = sessionOf(dialog);
    if (session == nullptr) return FALSE;
    // Nothing may unwind into the window system's frames.
    try {
        return handleMessage(*session, message, wParam);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

}  // namespace

}  // namespace zentoro

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    zentoro::DialogSession session;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(ZENTORO_CONVERTER_DIALOG), nullptr, zentoro::converterDialogProc,
                    reinterpret_cast<LPARAM>(&session));
    return 0;
}
