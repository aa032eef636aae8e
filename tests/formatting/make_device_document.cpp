// Writes the builder's device document, which uses what the faithful
// conversion shows, for the formatting read-back: make_device_document OUTPUT
#include <cstdio>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/stress_documents.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_device_document OUTPUT\n", stderr);
        return 2;
    }
    zentoro::testing::writeFile(argv[1], zentoro::testing::deviceDocument());
    return 0;
}
