// Writes the fuzzer's seed corpus into a folder: valid documents that use
// every feature, and small hostile ones, all made by the document builder.
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
    };
    for (const auto& [name, bytes] : seeds) writeFile(std::string(argv[1]) + "/" + name + ".wrd", bytes);
    return 0;
}
