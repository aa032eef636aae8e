#include "ui/converter_dialog.h"

#include <string>

#include "convert/zentoro.h"
#include "ui/dialog_messages.h"

namespace zentoro {

void ConverterDialog::initialise() { window_.showRestored(); }

void ConverterDialog::close() { window_.endDialog(); }

bool ConverterDialog::command(int controlId) {
    switch (controlId) {
    case ProcessFileButton:
        process();
        return true;
    case BrowseButton:
        browse();
        return true;
    case CancelButton:
        window_.endDialog();
        return false;
    default:
        return false;
    }
}

void ConverterDialog::process() {
    std::string input = window_.readField(DialogField::InputPath);
    std::string output = window_.readField(DialogField::OutputPath);
    if (convertDocument(input.c_str(), output.c_str()) == 0) {
        window_.showMessage(ConvertedMessage, SuccessCaption);
    } else {
        window_.showMessage(ConversionFailedMessage, FailedCaption);
    }
}

void ConverterDialog::browse() {
    std::optional<std::string> chosen = window_.pickFile();
    if (!chosen) return;
    if (checkWordFile(chosen->c_str()) != 0) {
        window_.showMessage(NotWordFileMessage, FailedCaption);
        return;
    }
    window_.setField(DialogField::InputPath, *chosen);
    window_.setField(DialogField::OutputPath, *chosen + OutputSuffix);
}

}  // namespace zentoro
