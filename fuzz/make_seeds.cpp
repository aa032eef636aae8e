// Writes the raw-bytes fuzzer's seeds into a folder: valid documents that
// use every feature, and hostile ones, all made by the document builder.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/document_builder.h"
#include "tests/builder/stress_documents.h"

int main(int argc, char** argv) {
    using namespace zentoro::testing;
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> seeds = {
        {"sample", sampleDocument()},
        {"rich", richDocument()},
        {"device", deviceDocument()},
        {"repeated-text-layout", repeatedTextLayoutDocument(12)},
        {"rewinding-text", rewindingTextDocument(8, 16)},
        {"heavy-style-writing", heavyStyleDocument(16, 8, StyleRecords::Writing)},
        {"heavy-style-silent", heavyStyleDocument(16, 8, StyleRecords::Silent)},
        // RTF several times the output buffer long, from 1.3 KB.
        {"heavy-style-several-buffers", heavyStyleDocument(100, 200, StyleRecords::Writing)},
        // A document that stops at the output limit, so that fuzzing starts
        // with that path reached. (One that reaches the read limit must read
        // over 16 MiB, which takes longer than the fuzzers' time-out.)
        {"output-limit", heavyStyleDocument(1000, 3000, StyleRecords::Writing)},
    };
    for (const auto& [name, bytes] : seeds) writeFile(std::string(argv[1]) + "/" + name + ".wrd", bytes);
    return 0;
}
