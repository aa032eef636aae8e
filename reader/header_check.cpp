#include "reader/header_check.h"

#include <cstdio>

#include "reader/input_readers.h"
#include "reader/word_uids.h"
#include "reader/zentoro.h"

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

bool hasWordHeaderUids(InputStream& in) { return firstMismatchedUid(in) == nullptr; }

int checkWordFile(const char* filePath) {
    std::FILE* file = std::fopen(filePath, "rb");
    if (file == nullptr) return 1;
    unsigned char header[WordHeaderCheckSize];
    InputStream in{header, std::fread(header, 1, sizeof header, file), 0};
    std::fclose(file);
    return checkHeaderUids(in) ? 0 : 1;
}

}  // namespace zentoro
