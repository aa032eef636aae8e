#include "reader/input_readers.h"

namespace zentoro {

int32_t readCardinality(ReaderState& s) {
    int b = readByte(s);
    if ((b & 1) == 0) {
        s.lastCardinality = b / 2;
    } else if ((b & 3) == 1) {
        int c = readByte(s);
        s.lastCardinality = (b >> 2) + c * 64;
    } else if ((b & 7) == 3) {
        seek(s, tell(s) - 1);
        s.lastCardinality = static_cast<int32_t>(readU32(s) >> 3);
    }
    return s.lastCardinality;
}

}  // namespace zentoro
