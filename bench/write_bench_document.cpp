// Writes a benchmark document to disk, for measuring the converter as a
// whole program: write_bench_document OUTPUT TEXT_MEGABYTES
#include <cstdio>
#include <cstdlib>

#include "tests/builder/scaled_document.h"
#include "tests/builder/conversion_harness.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: write_bench_document OUTPUT TEXT_MEGABYTES\n");
        return 2;
    }
    size_t megabytes = std::strtoul(argv[2], nullptr, 10);
    zentoro::testing::writeFile(argv[1], zentoro::testing::scaledDocument(megabytes * zentoro::testing::Megabyte));
    return 0;
}
