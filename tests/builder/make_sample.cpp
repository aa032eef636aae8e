// Writes the sample Word document that the README converts.
#include <cstdio>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample OUTPUT\n");
        return 2;
    }
    zentoro::testing::writeFile(argv[1], zentoro::testing::sampleDocument());
    return 0;
}
