// Writes the sketch decoder fuzzer's seeds into a folder: documents with
// sketches of every depth and compression, each behind the position of its
// Embedded Object Section, as picture_fuzzer reads them. Given a second
// folder, writes picture files there for picture_file_fuzzer: multi-bitmap,
// ROM multi-bitmap and Sketch files of the same bitmaps, one with its
// trailer cut off.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/picture_file_builder.h"
#include "tests/builder/sketch_sample.h"

int main(int argc, char** argv) {
    using namespace zentoro::testing;
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_picture_seeds FOLDER [FILES_FOLDER]\n");
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
    if (argc == 3) {
        std::string folder = argv[2];
        std::vector<Sketch> small(sketches.end() - static_cast<std::ptrdiff_t>(kinds.size()), sketches.end());
        writeFile(folder + "/library.mbm", multiBitmapFile({small, MultiBitmapUid, 8, 4}));
        MultiBitmapFile cut{{small[0], small[1]}};
        std::vector<uint8_t> cutBytes = multiBitmapFile(cut);
        cutBytes.resize(cutBytes.size() - 6);
        writeFile(folder + "/cut.mbm", cutBytes);
        writeFile(folder + "/rom.mbm", romBitmapFile({small[1], small[3]}));
        writeFile(folder + "/sketch", sketchFile(small[1]));
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
