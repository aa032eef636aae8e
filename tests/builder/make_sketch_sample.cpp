// Writes a Word document with sketches of every kind: make_sketch_sample OUTPUT
#include <cstdio>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/sketch_sample.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sketch_sample OUTPUT\n");
        return 2;
    }
    zentoro::testing::writeFile(argv[1], zentoro::testing::sketchSampleDocument().bytes);
    return 0;
}
