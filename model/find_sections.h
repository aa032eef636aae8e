// Where the sections of a Word document lie. The section table at the end
// of the file says so; a file cut short has lost it, and a damaged one may
// name places that hold something else. The sections follow the header in
// a known order (styles, page layout, text, text layout), so each can be
// found by its structure where the table fails.
#pragma once

#include <cstdint>

#include "model/load_state.h"

namespace zentoro {

// Where the sections the model is built from lie; 0 where none is known.
struct SectionPositions {
    uint32_t styles = 0;
    uint32_t pageLayout = 0;
    uint32_t text = 0;
    uint32_t textLayout = 0;
};

// The text section found: its characters, the whole of them or, where the
// file ends inside them, those up to the last whole word.
struct TextSectionFound {
    uint32_t start = 0;  // the first character
    uint32_t length = 0;
    bool whole = false;
    uint32_t layout = 0;  // a text layout that fits it, right after it; 0 if none
};

struct FoundSections {
    SectionPositions at;
    TextSectionFound text;
};

// Each section the table names that reads as that section and, where the
// table is lost (`tableLost`) or names a place that holds something else,
// each one found by its structure. A section named but found nowhere else
// is read where named, as far as it goes. Moved sections are noted as damage.
FoundSections checkedSections(LoadState& s, const SectionPositions& listed, bool tableLost);

}  // namespace zentoro
