// A document with sketches of every kind of picture the device draws, and a
// spreadsheet: the example for the pictures of the faithful conversion.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/builder/sketch_builder.h"

namespace zentoro::testing {

// The sketches of sketchSampleDocument(), in document order.
std::vector<Sketch> sampleSketches();

// One paragraph per sketch, then a spreadsheet, then a line of text.
DocumentWithObjects sketchSampleDocument();

}  // namespace zentoro::testing
