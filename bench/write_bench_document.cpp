// Writes a benchmark document to disk, for measuring the converter as a
// whole program: write_bench_document OUTPUT TEXT_MEGABYTES
#include <cstdio>
#include <cstdlib>

#include "bench/bench_documents.h"
#include "tests/builder/conversion_harness.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: write_bench_document OUTPUT TEXT_MEGABYTES\n");
        return 2;
    }
    size_t megabytes = std::strtoul(argv[2], nullptr, 10);
    zentoro::testing::writeFile(argv[1], zentoro::bench::benchDocument(megabytes * zentoro::bench::Megabyte));
    return 0;
}
