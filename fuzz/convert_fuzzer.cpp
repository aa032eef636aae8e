// libFuzzer target: converts any byte string as a Word document, from memory
// to a discarding output, by both conversions. Whatever the bytes, each must
// return its result without a crash, a sanitizer report, a leak or a
// time-out, and the faithful one must name a reason when it fails.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "convert/zentoro.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The header check writes its messages to standard output; millions of
    // them would bury libFuzzer's own report, which goes to standard error.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int result = zentoro::convertDocumentBytes(data, size, nullptr);
    if (result != 0 && result != 1) std::abort();
    zentoro::ConversionResult faithful = zentoro::convertDocumentFaithfulBytes(data, size, nullptr);
    if (faithful.failure == zentoro::Failure::OutputUnwritable) std::abort();
    return 0;
}
