// What the converter dialog needs of the window system, so that its logic
// runs the same on a real window and on a stand-in.
#pragma once

#include <optional>
#include <string>

#include "ui/dialog_control_ids.h"

namespace zentoro {

enum class DialogField : int {
    InputPath = ZENTORO_INPUT_PATH_EDIT,
    OutputPath = ZENTORO_OUTPUT_PATH_EDIT,
};

class WindowOperations {
public:
    virtual ~WindowOperations() = default;

    // The field's whole text.
    virtual std::string readField(DialogField field) = 0;
    virtual void setField(DialogField field, const std::string& text) = 0;
    // Shows a modal message box with an OK button; returns when it is closed.
    virtual void showMessage(const char* text, const char* caption) = 0;
    // The full path of one existing file the user picked, or nothing when
    // the user cancelled.
    virtual std::optional<std::string> pickFile() = 0;
    virtual void endDialog() = 0;
    virtual void showRestored() = 0;
};

}  // namespace zentoro
