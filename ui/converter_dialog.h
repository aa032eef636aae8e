// The converter dialog's behaviour: what each message and command does to
// the fields, the files and the message boxes.
#pragma once

#include "ui/dialog_control_ids.h"
#include "ui/window_operations.h"

namespace zentoro {

inline constexpr int ProcessFileButton = ZENTORO_PROCESS_FILE_BUTTON;
inline constexpr int CancelButton = ZENTORO_CANCEL_BUTTON;
inline constexpr int BrowseButton = ZENTORO_BROWSE_BUTTON;

class ConverterDialog {
public:
    explicit ConverterDialog(WindowOperations& window) : window_(window) {}

    // The dialog has just been created: it opens restored.
    void initialise();
    // The close box was pressed.
    void close();
    // A command from the control `controlId`. True when the dialog acted on
    // it as its own (Process File, Browse), which the dialog procedure
    // passes on as its result.
    bool command(int controlId);

    // Converts the file named in the input field to the output field's path
    // and reports the outcome.
    void process();
    // Lets the user pick a Word document and shows its paths in the fields.
    void browse();

private:
    WindowOperations& window_;
};

}  // namespace zentoro
