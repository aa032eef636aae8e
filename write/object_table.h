// The embedded spreadsheets that the writers show as tables.
#pragma once

#include "model/document.h"

namespace zentoro {

// The spreadsheet an object run shows as a table, or null when the run is
// anything else (a spreadsheet without cells to show keeps its placeholder).
inline const EmbeddedObject* tableOf(const Document& document, const Run& run) {
    if (run.kind != RunKind::Object || run.object < 0 || static_cast<size_t>(run.object) >= document.objects.size()) {
        return nullptr;
    }
    const EmbeddedObject& object = document.objects[static_cast<size_t>(run.object)];
    return object.kind == ObjectKind::Spreadsheet && !object.table.empty() ? &object : nullptr;
}

}  // namespace zentoro
