#include "rtf/basic_sections.h"

#include <cstdio>

#include "reader/input_readers.h"
#include "reader/word_uids.h"

namespace zentoro {

void readApplicationIdSection(ConversionState& s) {
    uint32_t applicationUid = readU32(s);
    writeByte(s.output, '\n');
    if (applicationUid != WordDocumentUid) {
        if (s.diagnostics != nullptr) std::fputs("This is not an EPOC32 Word file. Exiting program.\n", s.diagnostics);
    }
}

void readIgnoredSection(ConversionState& s) {
    for (int i = 0; i < 5; ++i) readByte(s);
    readU32(s);
    readU32(s);
}

void readTextSection(ConversionState& s) {
    s.textLength = readCardinality(s);
    s.textStart = tell(s);
}

}  // namespace zentoro
