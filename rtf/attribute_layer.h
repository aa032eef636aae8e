// Attribute layers: the length-prefixed lists of formatting records that
// describe every style, paragraph format, phrase and header of a document.
#pragma once

#include "rtf/conversion_state.h"

namespace zentoro {

inline constexpr int SkipLayer = 1;
inline constexpr int TranslateLayer = 0;

// Reads the layer at the input position. Skip mode (1), or any call while
// the current paragraph is one character long, passes over it; translate
// mode writes each record's RTF control words as soon as it is read.
void translateAttributeLayer(ConversionState& s, int skipOnly);

}  // namespace zentoro
