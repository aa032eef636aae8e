// libFuzzer target over raw bytes: every road converts any byte string as a
// Word document, from memory. Whatever the bytes, each must return 0 or 1
// and write the same output when run again, without a crash, a sanitizer
// report, a leak or a time-out.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/road_checks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The header check writes its messages to standard output; millions of
    // them would bury libFuzzer's own report, which goes to standard error.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string problem = zentoro::fuzzing::checkAnyInput({data, size});
    if (!problem.empty()) {
        std::fprintf(stderr, "check failed: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
