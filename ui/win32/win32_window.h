// The converter dialog's window operations on a real Win32 dialog.
#pragma once

#include <windows.h>

#include "ui/window_operations.h"

namespace zentoro {

class Win32Window : public WindowOperations {
public:
    // The dialog window, known once it has been created.
    void attach(HWND dialog) { dialog_ = dialog; }

    std::string readField(DialogField field) override;
    void setField(DialogField field, const std::string& text) override;
    void showMessage(const char* text, const char* caption) override;
    std::optional<std::string> pickFile() override;
    void endDialog() override;
    void showRestored() override;

private:
    HWND dialog_ = nullptr;
};

}  // namespace zentoro
