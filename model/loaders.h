// The loaders of the model builder, one per section, called top-down by
// readDocument over one LoadState.
#pragma once

#include <cstdint>
#include <vector>

#include "model/apply_layer.h"
#include "model/load_state.h"

namespace zentoro {

// The style section: Normal and the other styles, each resolved over
// Normal. Fills document.styles and returns each style's formatting, in
// the same order, for the text layout to build on.
std::vector<Formats> loadStyles(LoadState& s);

// The page layout section: page set-up, header and footer.
void loadPageLayout(LoadState& s);

struct TextSectionFound;

// The text section found: remembers where the document's characters lie.
void loadText(LoadState& s, const TextSectionFound& text);

// The body's text layout, over the text and the styles.
void loadBody(LoadState& s, const std::vector<Formats>& styleFormats);
// The body of a document without a text layout: its text in Normal's formatting.
void loadUnformattedBody(LoadState& s, const Formats& normal);

}  // namespace zentoro
