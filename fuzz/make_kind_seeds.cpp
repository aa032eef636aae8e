// Writes the kinds fuzzer's seeds into a folder: a recording, a program
// text, the example spreadsheet and the sample databases (when the samples
// are at hand), each without its UID header and behind the byte that
// chooses its kind, as kinds_fuzzer reads them.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/builder/conversion_harness.h"
#include "tests/builder/kind_builder.h"

namespace {

using namespace zentoro::testing;

void writeSeed(const std::string& folder, const std::string& name, int kind, const std::vector<uint8_t>& file) {
    if (file.size() < 16) return;
    std::vector<uint8_t> seed{static_cast<uint8_t>(kind)};
    seed.insert(seed.end(), file.begin() + 16, file.end());
    writeFile(folder + "/" + name, seed);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_kind_seeds FOLDER SAMPLES\n");
        return 2;
    }
    std::string folder = argv[1];
    writeSeed(folder, "record", 0x40, recordFile({.samples = {0xD5, 0xAA, 0x2A}, .repeats = 1, .pauseMicroseconds = 1000}).data);
    writeSeed(folder, "texted", 1, textEdFile("PROC main:\x06\x09PRINT\x10\"hi\"\x06" "ENDP\x06").data);
    writeSeed(folder, "sheet", 2, sheetFile(exampleWorkbook()).data);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(argv[2]) + "/opl-database", error)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        writeSeed(folder, entry.path().filename().string(), 3, file);
    }
    return 0;
}
