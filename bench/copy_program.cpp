// The whole-program floor: a fresh process that copies a file as the
// converter would write it, in 64 KiB blocks, to an output of a given size.
// zentoro_copy INPUT OUTPUT OUTPUT_BYTES
#include <cstdio>
#include <cstdlib>

#include "bench/copy_floor.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: zentoro_copy INPUT OUTPUT OUTPUT_BYTES\n");
        return 2;
    }
    return zentoro::bench::copyToSize(argv[1], argv[2], std::strtoull(argv[3], nullptr, 10)) ? 0 : 1;
}
