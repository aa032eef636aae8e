#include "rtf/style_sheet.h"

namespace zentoro {

void writeStyleSheet(ConversionState&) {}

}  // namespace zentoro
