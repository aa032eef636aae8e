// The parts of a sketch shared by sketches embedded in documents and Sketch
// files: section tables, and the Sketch Section drawn as the device shows it.
#pragma once

#include <cstdint>
#include <optional>

#include "model/document.h"
#include "picture/object_bytes.h"
#include "picture/picture_failure.h"

namespace zentoro {

inline constexpr uint32_t SketchSectionId = 0x1000007D;
inline constexpr uint32_t ApplicationIdSectionId = 0x10000089;

// A list of (id, position) pairs after a list count, as section tables and
// the Embedded Object Section hold them: the position of `id`, if listed.
std::optional<uint32_t> findListedSection(ObjectBytes& in, uint64_t listStart, uint32_t id);

// Draws the Sketch Section at `position`: its displayed area on white, the
// bitmap placed inside it, the cuts taken off. Positions inside the section
// are relative to nothing: the section's own fields follow one another.
// A damaged section may still give a picture (its rows and area that are
// left) beside its failure.
PictureFailure drawSketchSection(ObjectBytes& in, uint64_t position, uint64_t maxPixels, Picture& out);

}  // namespace zentoro
