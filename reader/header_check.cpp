#include "reader/header_check.h"

#include <cstdio>

#include "reader/input_readers.h"
#include "reader/word_uids.h"

namespace zentoro {

namespace {

struct ExpectedUid {
    uint32_t uid;
    const char* mismatchMessage;
};

constexpr ExpectedUid HeaderUids[] = {
    {EpocFileUid, "This isn't an EPOC file - exiting program.\n"},
    {StandardDocumentUid, "This isn't a standard document - exiting program.\n"},
    {WordDocumentUid, "This isn't a Word document - exiting program.\n"},
};

// Reads the UIDs up to the first mismatch; null when all three match.
const ExpectedUid* firstMismatchedUid(InputStream& in) {
    for (const ExpectedUid& expected : HeaderUids) {
        if (readU32(in) != expected.uid) return &expected;
    }
    return nullptr;
}

}  // namespace

bool checkHeaderUids(InputStream& in) {
    const ExpectedUid* mismatch = firstMismatchedUid(in);
    if (mismatch != nullptr) std::fputs(mismatch->mismatchMessage, stdout);
    return mismatch == nullptr;
}

const char* headerMismatchMessage(InputStream& in) {
    const ExpectedUid* mismatch = firstMismatchedUid(in);
    return mismatch == nullptr ? nullptr : mismatch->mismatchMessage;
}

bool hasWordHeaderUids(InputStream& in) { return firstMismatchedUid(in) == nullptr; }

}  // namespace zentoro
