// The reason a report line gives for a failed conversion, after the
// dialog's own message where the dialog would have shown one:
// "Conversion failed: cannot write letter.rtf: No space left on device".
#pragma once

#include <string>

#include "reader/failure.h"

namespace zentoro {

// `shownOutput` is the output's name as the report shows it; `toStream`
// says that the RTF went straight to a stream such as standard output.
std::string failureReason(const ConversionResult& result, const std::string& shownOutput, bool toStream = false);

// "damaged (the file ends early)", and what can be recovered: for a check
// or a dry run, which write nothing.
std::string damageFound(const ConversionResult& result);

}  // namespace zentoro
