// Writes a benchmark document to disk, for measuring the converter as a
// whole program: write_bench_document OUTPUT TEXT_MEGABYTES [scaled|phrases]
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/builder/scaled_document.h"
#include "tests/builder/conversion_harness.h"

int main(int argc, char** argv) {
    std::string_view shape = argc == 4 ? argv[3] : "scaled";
    if ((argc != 3 && argc != 4) || (shape != "scaled" && shape != "phrases")) {
        std::fprintf(stderr, "usage: write_bench_document OUTPUT TEXT_MEGABYTES [scaled|phrases]\n");
        return 2;
    }
    size_t textBytes = static_cast<size_t>(std::strtod(argv[2], nullptr) * zentoro::testing::Megabyte);
    zentoro::testing::writeFile(argv[1], shape == "phrases" ? zentoro::testing::manyPhrasesDocument(textBytes)
                                                            : zentoro::testing::scaledDocument(textBytes));
    return 0;
}
