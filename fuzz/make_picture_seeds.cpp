// Writes the sketch decoder fuzzer's seeds into a folder: documents with
// sketches of every depth and compression, each behind the position of its
// Embedded Object Section, as picture_fuzzer reads them.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/sketch_sample.h"

int main(int argc, char** argv) {
    using namespace zentoro::testing;
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture_seeds FOLDER\n");
        return 2;
    }
    std::vector<Sketch> sketches = sampleSketches();
    // Every depth and compression once, small, so that mutations stay quick.
    const std::vector<std::pair<uint32_t, uint32_t>> kinds = {
        {1, ByteRuns}, {2, Uncompressed}, {4, ByteRuns}, {8, Uncompressed},
        {12, TwelveBitRuns}, {16, SixteenBitRuns}, {24, TwentyFourBitRuns}, {24, ByteRuns}};
    for (auto [bits, compression] : kinds) {
        Sketch sketch{7, 5, bits, bits >= 4, compression};
        for (uint32_t i = 0; i < 35; ++i) sketch.pixels.push_back((i / 3) * 0x010203u & ((1u << (bits > 16 ? 24 : bits)) - 1));
        sketch.cuts[0] = 12;
        sketches.push_back(sketch);
    }
    int n = 0;
    for (const Sketch& sketch : sketches) {
        DocumentWithObjects document = documentWithObjects({sketchBlock(sketch)});
        Bytes seed;
        seed.u32(document.sectionPositions[0]);
        seed.data.insert(seed.data.end(), document.bytes.begin(), document.bytes.end());
        writeFile(std::string(argv[1]) + "/sketch" + std::to_string(++n) + ".bin", seed.data);
    }
    return 0;
}
