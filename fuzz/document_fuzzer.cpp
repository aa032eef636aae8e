// libFuzzer target over document descriptions: the input's bytes are read as
// choices that build a Word document with the test-side builder (sections,
// styles, layers, paragraphs, phrases, objects, header and footer), mostly
// consistent and sometimes deliberately broken. Every road converts it; a
// document built consistent must come out with all of its text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzzed_document.h"
#include "fuzz/road_checks.h"

namespace {

// With ZENTORO_FUZZ_DOCUMENT_OUT set, each document built is also written
// there: run the target on one input to see the document it stands for.
const char* documentOut = nullptr;

void writeDocument(const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(documentOut, "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    documentOut = std::getenv("ZENTORO_FUZZ_DOCUMENT_OUT");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zentoro::fuzzing::FuzzedDocument document = zentoro::fuzzing::decodeFuzzedDocument({data, size});
    if (documentOut != nullptr) writeDocument(document.bytes);
    std::string problem = zentoro::fuzzing::checkBuiltDocument(document);
    if (!problem.empty()) {
        std::fprintf(stderr, "check failed (%s document): %s\n", document.wellFormed ? "well-formed" : "broken",
                     problem.c_str());
        std::abort();
    }
    return 0;
}
