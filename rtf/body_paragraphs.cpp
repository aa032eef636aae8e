#include "rtf/body_paragraphs.h"

namespace zentoro {

void writeTextLayout(ConversionState&) {}

void writeUnformattedBody(ConversionState&) {}

}  // namespace zentoro
