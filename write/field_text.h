// What a field shows in a written document.
#pragma once

#include <string_view>

#include "model/document.h"
#include "write/write_options.h"

namespace zentoro {

// The field's latest expansion; a file name field shows the name of the
// document being converted when the caller gives one.
inline std::string_view fieldText(const Run& run, const WriteOptions& options) {
    if (run.field == FieldKind::FileName && !options.documentName.empty()) return options.documentName;
    return run.text;
}

}  // namespace zentoro
