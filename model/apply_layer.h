// Applies attribute layers to the formatting they change.
#pragma once

#include <string_view>

#include "model/document.h"
#include "model/load_state.h"

namespace zentoro {

// What one stretch of text looks like: its paragraph's formatting and its
// characters'. A layer may hold records of either kind.
struct Formats {
    ParagraphFormat paragraph;
    CharacterFormat character;
};

// The most tab stops a paragraph keeps: a damaged shared format with
// thousands of them would otherwise be copied into every paragraph.
inline constexpr size_t MaxTabStops = 64;

// The built-in formatting beneath every layer: the model's defaults in the
// document's default font.
Formats builtInFormats(Document& document);

// The index of a font in the document's font table, added when new.
int fontIndex(Document& document, std::string_view name, FontFamily family);

// Reads the attribute layer at the input position and applies each of its
// records over `formats`; the input moves to the layer's end. A record of an
// unknown id ends the layer's reading there; a layer that runs past the end
// of the input marks it damaged.
void applyLayer(LoadState& s, Formats& formats);
void applyLayer(LoadState& s, ParagraphFormat& paragraph, CharacterFormat& character);

// A phrase's layer over its character format: the paragraph records such a
// layer may hold apply to nothing. A layer read before over the same format
// is taken from the state's cache.
void applyCharacterLayer(LoadState& s, CharacterFormat& character);

// Reads the layer at the input position without applying it.
void skipLayer(LoadState& s);

}  // namespace zentoro
