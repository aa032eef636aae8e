// The page layout section: margins, paper, header and footer.
#pragma once

#include "rtf/conversion_state.h"

namespace zentoro {

void writePageLayout(ConversionState& s);

}  // namespace zentoro
