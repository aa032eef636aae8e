#include "rtf/page_layout.h"

namespace zentoro {

void writePageLayout(ConversionState&) {}

}  // namespace zentoro
